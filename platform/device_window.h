#pragma once
// How a device reads the window it draws into: sizes, letterbox margins, kind,
// the system window, the off-screen bits of a layered window, the owning
// applet and the device's per-window parts (camera, lights, caret). Every
// device reads the window through these; each answers a neutral value for no
// window, and a device without a window keeps its parts itself.
#include <cstdint>

#include "compat/win32/win_types.h"
#include "platform/win32/window_view.h"

class TCaret;
class TDeviceHost;
class TObject;
class TWindow;

struct TWindowSize {
  int32_t width = 0;
  int32_t height = 0;
};

// The size last put into effect (the client size the device renders).
TWindowSize WindowAppliedSize(const TWindow* window);
// Letterbox margins in pixels (set by the applet's screen-mode rule).
int32_t WindowMarginX(const TWindow* window);
int32_t WindowMarginY(const TWindow* window);
// A layered window shows a 32-bit bitmap with per-pixel alpha that the device
// renders into instead of a swapped back buffer.
bool WindowIsLayered(const TWindow* window);
// Its pixel bits: applied width x height words, rows bottom-up; nil without.
uint32_t* WindowLayeredBits(TWindow* window);
HWND WindowHandle(const TWindow* window);
// The applet that owns the window, as an object and as the devices' host.
TObject* WindowAppletObject(const TWindow* window);
TDeviceHost* WindowDeviceHost(const TWindow* window);

// The parts a device keeps on its window.
struct TDeviceParts {
  TCameraRecord camera;
  TLightTable lights;
  TCaret* caret = nullptr;
  bool caretUpdating = false;
  TFrustumF screenFrustum;
};
struct TDevicePartsRef {
  TCameraRecord& camera;
  TLightTable& lights;
  TCaret*& caret;
  bool& caretUpdating;
  TFrustumF& screenFrustum;
};
// The window's parts, or `own` when there is no window.
TDevicePartsRef WindowDeviceParts(TWindow* window, TDeviceParts& own);
