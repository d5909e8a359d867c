#include "compat/d3d8/internal/direct3d.h"

#include <memory>

#include "compat/d3d8/internal/adapter.h"
#include "compat/d3d8/internal/device.h"
#include "compat/d3d8/internal/settings.h"
#include "compat/win32/gdi.h"
#include "compat/win32/gl_context.h"
#include "compat/win32/window.h"

namespace d3d8_internal {

uint32_t Direct3D::Release() {
  uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

UINT Direct3D::GetAdapterModeCount(UINT adapter) {
  return adapter == D3DADAPTER_DEFAULT ? static_cast<UINT>(AdapterModes().size()) : 0;
}

HRESULT Direct3D::EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) {
  if (adapter != D3DADAPTER_DEFAULT || !displayMode) return D3DERR_INVALIDCALL;
  std::vector<D3DDISPLAYMODE> modes = AdapterModes();
  if (mode >= modes.size()) return D3DERR_INVALIDCALL;
  *displayMode = modes[mode];
  return D3D_OK;
}

HRESULT Direct3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) {
  if (adapter != D3DADAPTER_DEFAULT || !displayMode) return D3DERR_INVALIDCALL;
  return CurrentMode(*displayMode) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) {
  if (adapter != D3DADAPTER_DEFAULT || !caps) return D3DERR_INVALIDCALL;
  if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  *caps = AdapterCaps();
  return D3D_OK;
}

namespace {
// Exactly one way of processing vertices, and only ways the adapter has.
bool BehaviourAllowed(DWORD flags) {
  const DWORD processing = flags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                    D3DCREATE_MIXED_VERTEXPROCESSING);
  if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING && processing != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
      processing != D3DCREATE_MIXED_VERTEXPROCESSING) {
    return false;
  }
  DWORD caps = AdapterCaps().DevCaps;
  if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING && !(caps & D3DDEVCAPS_HWTRANSFORMANDLIGHT)) return false;
  if (flags & D3DCREATE_PUREDEVICE) {
    return processing == D3DCREATE_HARDWARE_VERTEXPROCESSING && (caps & D3DDEVCAPS_PUREDEVICE);
  }
  return true;
}
}  // namespace

HRESULT Direct3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviourFlags,
                               D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) {
  if (!device || !parameters || adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
  *device = nullptr;
  if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  if (!BehaviourAllowed(behaviourFlags)) return D3DERR_INVALIDCALL;
  if (CurrentSettings().createDeviceFails) return D3DERR_NOTAVAILABLE;
  HWND window = parameters->hDeviceWindow ? parameters->hDeviceWindow : focusWindow;
  if (!window || !IsWindow(window) || (focusWindow && !IsWindow(focusWindow))) return D3DERR_INVALIDCALL;
  HDC dc = GetDC(window);
  HGLRC context = dc ? wglCreateContext(dc) : nullptr;
  if (!context) {
    if (dc) ReleaseDC(window, dc);
    return D3DERR_NOTAVAILABLE;
  }
  auto core = std::make_shared<DeviceCore>(window, dc, context);
  if (!core->MakeCurrent() || !core->gl.Load()) return D3DERR_NOTAVAILABLE;
  NoteMaxTextureSize(core->gl.maxTextureSize);
  auto* made = new Device(this, core, focusWindow ? focusWindow : window, behaviourFlags);
  HRESULT result = made->Start(*parameters);
  if (FAILED(result)) {
    made->Release();
    return result;
  }
  *device = made;
  return D3D_OK;
}

}  // namespace d3d8_internal

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
  if (sdkVersion != D3D_SDK_VERSION || d3d8_internal::CurrentSettings().createFails) return nullptr;
  return new d3d8_internal::Direct3D();
}
