// Creation and destruction of the Direct3D 8 device: the library, the
// vertex-processing choice, the desktop and the screen modes, the present
// parameters, the hardware log, and the class description.
#include "platform/d3d8/dx8_device.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "compat/d3d8/library.h"
#include "compat/win32/gdi.h"
#include "core/objects/class_builder.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "platform/device_window.h"

namespace {
// The library, loaded by the first device and freed after the last.
struct TDX8Library {
  HMODULE module = nullptr;
  Direct3DCreate8Proc create = nullptr;
  int users = 0;
};
TDX8Library& Library() {
  static TDX8Library library;
  return library;
}

const WideString kHardwareLine = W("Hardware info ==================================================");

WideString Number(uint64_t value) { return AnsiToWide(std::to_string(value)); }

WideString Hex8(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "%.8X", value);
  return AnsiToWide(text);
}

WideString ShaderVersion(DWORD version) {
  return Number(D3DSHADER_VERSION_MAJOR(version)) + W(".") + Number(D3DSHADER_VERSION_MINOR(version));
}

// "800x600x32" for a mode of the two formats the program offers; empty for others.
WideString ModeText(const D3DDISPLAYMODE& mode) {
  const char* bits = mode.Format == D3DFMT_X8R8G8B8 ? "x32" : (mode.Format == D3DFMT_R5G6B5 ? "x16" : nullptr);
  if (!bits) return {};
  return Number(mode.Width) + W("x") + Number(mode.Height) + W(bits);
}
}  // namespace

const ClassInfo& TWin32DX8Device::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TWin32DX8Device>("TWin32DX8Device")
                                    .method("RenderToARGB", &TWin32DX8Device::scriptRenderToARGB)
                                    .build();
  return info;
}

uint32_t TWin32DX8Device::scriptRenderToARGB(int32_t x, int32_t y) {
  TWindowSize size = WindowAppliedSize(window());
  if (x < 0 || y < 0 || x >= size.width || y >= size.height) return 0;
  std::vector<uint32_t> frame(static_cast<size_t>(size.width) * static_cast<size_t>(size.height));
  if (!RenderToARGB(frame.data(), size.width, size.height)) return 0;
  return frame[static_cast<size_t>(y) * static_cast<size_t>(size.width) + static_cast<size_t>(x)];
}

int TWin32DX8Device::LiveCount() { return Library().users; }

// ---- creation ------------------------------------------------------------------------------

bool TWin32DX8Device::LoadD3DLibrary() {
  TDX8Library& library = Library();
  if (!library.module) {
    library.module = LoadDirect3DLibrary("d3d8.dll");
    library.create = library.module ? reinterpret_cast<Direct3DCreate8Proc>(
                                          GetDirect3DProcAddress(library.module, "Direct3DCreate8"))
                                    : nullptr;
    if (!library.create) {
      if (library.module) FreeDirect3DLibrary(library.module);
      library.module = nullptr;
      LogError(W("Can't load DX8"));
      return false;
    }
  }
  library.users += 1;
  holdsLibrary_ = true;
  return true;
}

// Creation stops at the first failure: the device then stays without a
// Direct3D device and draws nothing.
void TWin32DX8Device::CreateOnWindow(TWindow* window) {
  bool loaded = LoadD3DLibrary();
  inherited::CreateOnWindow(window);
  setPixelOffset(-0.5f);
  if (!loaded) return;
  direct3d_ = Library().create(D3D_SDK_VERSION);
  // Without the Direct3D object the program cannot go on.
  if (!direct3d_) std::exit(1);
  HWND handle = WindowHandle(window);
  if (!handle || !GetDC(handle)) {
    LogError(W("Can't create DX Device"));
    return;
  }
  DWORD behaviour = ChooseBehaviour();
  ReadDesktopMode();
  FillScreenModes();
  BuildPresentParameters();
  HRESULT created = direct3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, handle, behaviour,
                                            &presentParameters_, &d3dDevice_);
  if (FAILED(created) || !d3dDevice_) {
    d3dDevice_ = nullptr;
    LogError(W("Can't create DX Device"));
    return;
  }
  if (isLayered()) CreateLayeredSurfaces();
  StartUnlit();
  d3dDevice_->GetDeviceCaps(&caps_);
  LogHardware();
  CreateDynamicMesh();
}

DWORD TWin32DX8Device::ChooseBehaviour() {
  direct3d_->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps_);
  if (!(caps_.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT)) {
    LogInfo(W("soft VP"));
    return D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  }
  if (caps_.DevCaps & D3DDEVCAPS_PUREDEVICE) {
    LogInfo(W("pure hard VP"));
    return D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE;
  }
  LogInfo(W("hard VP"));
  return D3DCREATE_HARDWARE_VERTEXPROCESSING;
}

void TWin32DX8Device::ReadDesktopMode() {
  D3DDISPLAYMODE mode;
  if (FAILED(direct3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) return;
  setDesktopSize(static_cast<int32_t>(mode.Width), static_cast<int32_t>(mode.Height));
  desktopFormat_ = mode.Format;
}

// Modes of at least 640 x 400 in the two formats, each text once; the
// desktop's own mode goes last and is remembered there.
void TWin32DX8Device::FillScreenModes() {
  std::vector<WideString>& modes = screenModes();
  modes.clear();
  desktopModeIndex_ = -1;
  D3DDISPLAYMODE desktop;
  bool knowDesktop = SUCCEEDED(direct3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop));
  WideString desktopText;
  UINT count = direct3d_->GetAdapterModeCount(D3DADAPTER_DEFAULT);
  for (UINT i = 0; i < count; ++i) {
    D3DDISPLAYMODE mode;
    if (FAILED(direct3d_->EnumAdapterModes(D3DADAPTER_DEFAULT, i, &mode))) continue;
    if (mode.Width < 640 || mode.Height < 400) continue;
    WideString text = ModeText(mode);
    if (text.empty()) continue;
    if (knowDesktop && mode.Width == desktop.Width && mode.Height == desktop.Height &&
        mode.RefreshRate == desktop.RefreshRate && mode.Format == desktop.Format) {
      desktopText = text;
    }
    if (std::find(modes.begin(), modes.end(), text) == modes.end()) modes.push_back(text);
  }
  auto found = std::find(modes.begin(), modes.end(), desktopText);
  if (desktopText.empty() || found == modes.end()) return;
  modes.erase(found);
  modes.push_back(desktopText);
  desktopModeIndex_ = static_cast<int32_t>(modes.size()) - 1;
}

void TWin32DX8Device::BuildPresentParameters() {
  D3DPRESENT_PARAMETERS p;
  p.hDeviceWindow = WindowHandle(window());
  if (fullScreen_.requested) {
    p.Windowed = FALSE;
    p.BackBufferWidth = static_cast<UINT>(fullScreen_.width);
    p.BackBufferHeight = static_cast<UINT>(fullScreen_.height);
    p.BackBufferFormat = fullScreen_.format;
    p.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  } else {
    TWindowSize size = WindowAppliedSize(window());
    p.Windowed = TRUE;
    p.BackBufferWidth = static_cast<UINT>(std::max(size.width, 0));
    p.BackBufferHeight = static_cast<UINT>(std::max(size.height, 0));
    p.BackBufferFormat = desktopFormat_;
  }
  p.BackBufferCount = 1;
  p.SwapEffect = D3DSWAPEFFECT_DISCARD;
  p.EnableAutoDepthStencil = TRUE;
  p.AutoDepthStencilFormat = D3DFMT_D16;
  presentParameters_ = p;
}

void TWin32DX8Device::LogHardware() {
  LogInfo(kHardwareLine);
  LogInfo(W("Available tex mem ") + Number(d3dDevice_->GetAvailableTextureMem()));
  LogInfo(W("Line caps ") + Hex8(caps_.LineCaps));
  LogInfo(W("StencilCaps ") + Hex8(caps_.StencilCaps));
  LogInfo(W("FVFCaps ") + Hex8(caps_.FVFCaps));
  LogInfo(W("DevCaps ") + Hex8(caps_.DevCaps));
  LogInfo(W("TextureCaps ") + Hex8(caps_.TextureCaps));
  LogInfo(W("Max pixmap size ") + Number(caps_.MaxTextureWidth));
  LogInfo(W("Max primitive count ") + Number(caps_.MaxPrimitiveCount));
  LogInfo(W("MaxTextureRepeat ") + Number(caps_.MaxTextureRepeat));
  LogInfo(W("MaxVertexW ") + FloatToWideStr(caps_.MaxVertexW));
  LogInfo(W("MaxActiveLights ") + Number(caps_.MaxActiveLights));
  LogInfo(W("MaxVertexIndex ") + Number(caps_.MaxVertexIndex));
  LogInfo(W("MaxStreams ") + Number(caps_.MaxStreams));
  LogInfo(W("MaxStreamStride ") + Number(caps_.MaxStreamStride));
  LogInfo(W("VertexShaderVersion ") + ShaderVersion(caps_.VertexShaderVersion));
  LogInfo(W("MaxVertexShaderConst ") + Number(caps_.MaxVertexShaderConst));
  LogInfo(W("PixelShaderVersion ") + ShaderVersion(caps_.PixelShaderVersion));
  LogInfo(W("MaxPixelShaderValue ") + FloatToWideStr(caps_.MaxPixelShaderValue));
  LogInfo(kHardwareLine);
}

// Direct3D starts with lighting on; the device starts as its material says,
// unlit (as the OpenGL device does).
void TWin32DX8Device::StartUnlit() { d3dDevice_->SetRenderState(D3DRS_LIGHTING, FALSE); }

// ---- destruction ---------------------------------------------------------------------------

void TWin32DX8Device::Destroy() {
  DestroyResources();
  ReleaseLayeredSurfaces();
  if (d3dDevice_) d3dDevice_->Release();
  d3dDevice_ = nullptr;
  if (direct3d_) direct3d_->Release();
  direct3d_ = nullptr;
  inherited::Destroy();
  if (!holdsLibrary_) return;
  holdsLibrary_ = false;
  TDX8Library& library = Library();
  library.users -= 1;
  if (library.users == 0 && library.module) {
    FreeDirect3DLibrary(library.module);
    library.module = nullptr;
    library.create = nullptr;
  }
}
