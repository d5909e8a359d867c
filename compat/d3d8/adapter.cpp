// The adapter's display modes come from the display system; full screen
// changes only what the adapter reports as its mode (the window is not taken
// over), and the caps describe what the layer offers on OpenGL.
#include "compat/d3d8/internal/adapter.h"

#include <SDL2/SDL.h>

#include "compat/d3d8/internal/settings.h"
#include "compat/win32/window.h"

namespace d3d8_internal {
namespace {
// The display system starts with the windows layer; asking it for the
// screen's size starts it when nothing has yet.
bool DisplaySystem() { return GetSystemMetrics(SM_CXSCREEN) > 0 && SDL_WasInit(SDL_INIT_VIDEO) != 0; }

D3DFORMAT FormatOf(Uint32 pixelFormat) {
  switch (SDL_BITSPERPIXEL(pixelFormat)) {
    case 24:
    case 32:
      return D3DFMT_X8R8G8B8;
    case 16:
      return D3DFMT_R5G6B5;
    case 15:
      return D3DFMT_X1R5G5B5;
    default:
      return D3DFMT_UNKNOWN;
  }
}

D3DDISPLAYMODE ModeOf(const SDL_DisplayMode& mode) {
  return D3DDISPLAYMODE{static_cast<UINT>(mode.w), static_cast<UINT>(mode.h),
                        static_cast<UINT>(mode.refresh_rate > 0 ? mode.refresh_rate : 0), FormatOf(mode.format)};
}

struct FullScreenState {
  const void* owner = nullptr;
  D3DDISPLAYMODE mode;
};
FullScreenState& FullScreen() {
  static FullScreenState state;
  return state;
}

int& MaxTextureSize() {
  static int size = 0;
  return size;
}
}  // namespace

bool DesktopMode(D3DDISPLAYMODE& mode) {
  if (CurrentSettings().desktop) {
    mode = *CurrentSettings().desktop;
    return true;
  }
  SDL_DisplayMode desktop;
  if (!DisplaySystem() || SDL_GetDesktopDisplayMode(0, &desktop) != 0) return false;
  mode = ModeOf(desktop);
  return mode.Width > 0 && mode.Height > 0 && mode.Format != D3DFMT_UNKNOWN;
}

// A display system that lists no usable mode (a virtual one) still shows
// its desktop: that mode is the one offered.
std::vector<D3DDISPLAYMODE> AdapterModes() {
  if (CurrentSettings().modes) return *CurrentSettings().modes;
  std::vector<D3DDISPLAYMODE> modes;
  if (DisplaySystem()) {
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
      SDL_DisplayMode mode;
      if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
      D3DDISPLAYMODE made = ModeOf(mode);
      if (made.Width > 0 && made.Height > 0 && made.Format != D3DFMT_UNKNOWN) modes.push_back(made);
    }
  }
  D3DDISPLAYMODE desktop;
  if (modes.empty() && DesktopMode(desktop)) modes.push_back(desktop);
  return modes;
}

bool HasMode(UINT width, UINT height, D3DFORMAT format) {
  for (const D3DDISPLAYMODE& mode : AdapterModes()) {
    if (mode.Width == width && mode.Height == height && mode.Format == format) return true;
  }
  return false;
}

void EnterFullScreenMode(const void* owner, const D3DDISPLAYMODE& mode) { FullScreen() = {owner, mode}; }

void LeaveFullScreenMode(const void* owner) {
  if (FullScreen().owner == owner) FullScreen() = {};
}

bool CurrentMode(D3DDISPLAYMODE& mode) {
  if (FullScreen().owner) {
    mode = FullScreen().mode;
    return true;
  }
  return DesktopMode(mode);
}

void NoteMaxTextureSize(int size) { MaxTextureSize() = size; }

D3DCAPS8 AdapterCaps() {
  const Settings& settings = CurrentSettings();
  D3DCAPS8 caps;
  caps.DeviceType = D3DDEVTYPE_HAL;
  caps.AdapterOrdinal = 0;
  caps.DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY | D3DDEVCAPS_TEXTUREVIDEOMEMORY |
                 D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_CANRENDERAFTERFLIP | D3DDEVCAPS_DRAWPRIMITIVES2EX |
                 D3DDEVCAPS_HWRASTERIZATION;
  if (settings.hardwareVertexProcessing) caps.DevCaps |= D3DDEVCAPS_HWTRANSFORMANDLIGHT;
  if (settings.hardwareVertexProcessing && settings.pureDevice) caps.DevCaps |= D3DDEVCAPS_PUREDEVICE;
  caps.LineCaps = D3DLINECAPS_TEXTURE | D3DLINECAPS_ZTEST | D3DLINECAPS_BLEND | D3DLINECAPS_ALPHACMP;
  caps.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP;
  caps.StencilCaps = 0;
  caps.FVFCaps = 1 | D3DFVFCAPS_DONOTSTRIPELEMENTS;
  DWORD maxSize = MaxTextureSize() > 0 ? static_cast<DWORD>(MaxTextureSize()) : 2048;
  caps.MaxTextureWidth = maxSize;
  caps.MaxTextureHeight = maxSize;
  caps.MaxTextureRepeat = 8192;
  caps.MaxVertexW = 1e10f;
  caps.MaxTextureBlendStages = D3D8_TEXTURE_STAGES;
  caps.MaxSimultaneousTextures = D3D8_TEXTURE_STAGES;
  caps.MaxActiveLights = 8;
  caps.MaxPrimitiveCount = 0xFFFFF;
  caps.MaxVertexIndex = 0xFFFFFF;
  caps.MaxStreams = 1;
  caps.MaxStreamStride = 256;
  // No programmable shaders: the fixed-function pipeline only.
  caps.VertexShaderVersion = D3DVS_VERSION(0, 0);
  caps.MaxVertexShaderConst = 0;
  caps.PixelShaderVersion = D3DPS_VERSION(0, 0);
  caps.MaxPixelShaderValue = 0;
  return caps;
}

}  // namespace d3d8_internal
