#pragma once
// One system window of an applet, as the platform, the devices and the applet
// share it: its kind, its sizes, the letterbox margins, the device's per-window
// parts (camera, lights, caret), the off-screen bitmap of a layered window and
// the skin of a shaped one.
//
// The platform creates and destroys window records (TPlatform::CreateWindow,
// DestroyWindow); the applet owns the one it was given.
#include <cstdint>
#include <vector>

#include "compat/win32/win_types.h"
#include "core/geometry/geometry.h"
#include "core/objects/component.h"
#include "platform/platform.h"
#include "platform/win32/window_owner.h"
#include "platform/win32/window_view.h"

class TCaret;
class TPlatformWin32;

// Stacking state.
enum class TWindowStacking : uint8_t { Normal = 0, Topmost = 1, Bottom = 2 };

class TWindow : public TSomePersistent {
  Q_OBJECT(TWindow, TSomePersistent)

 public:
  void Destroy() override;

  // Requested client size (what the next ResizeWindow applies).
  int32_t width = 0;
  int32_t height = 0;
  // Outer top-left on the screen; follows the system window when it moves.
  int32_t top = 0;
  int32_t left = 0;
  TWindowStacking place = TWindowStacking::Normal;
  TWindowKind kind = TWindowKind::Framed;
  HWND handle = nullptr;
  TWindowOwner* applet = nullptr;
  // The platform that made the window (its procedure works through it).
  TPlatformWin32* platform = nullptr;

  // Mouse state of the input translation.
  uint8_t leftHeld = 0;
  uint8_t rightHeld = 0;
  int32_t lastMouseX = 0;
  int32_t lastMouseY = 0;
  // Depth of relative-mouse mode; 0 is off.
  int32_t acquireCount = 0;

  // The device's per-window parts.
  TCameraRecord camera;
  TLightTable lights;
  TCaret* caret = nullptr;
  bool caretUpdating = false;
  // The planes of the 2D projection, for 2D culling.
  TFrustumF screenFrustum;

  // Letterbox margins in pixels, set by the applet's screen-mode rule.
  int32_t marginX = 0;
  int32_t marginY = 0;
  // Back-buffer size chosen by the applet's screen-mode rule.
  int32_t backBufferWidth = 0;
  int32_t backBufferHeight = 0;

  // The size last put into effect, and 0, 0, applied width - 1, applied height - 1.
  int32_t appliedWidth = 0;
  int32_t appliedHeight = 0;
  TRectF clientRect;

  // Layered windows: the off-screen 32-bit bitmap the device renders into
  // (rows bottom-up), the memory context that holds it, and its pixel bits.
  HBITMAP layeredBitmap = nullptr;
  HDC layeredDC = nullptr;
  void* layeredBits = nullptr;

  // The window itself while the cursor is being re-centred, else nil.
  TWindow* warpGuard = nullptr;

  // Skin of a popup window: margins, pixmap name, and its 32-bit copy made on
  // first use (pixels whose alpha is 0 set to the key 0xFFFF00FF).
  float maskLeft = 0;
  float maskTop = 0;
  float maskRight = 0;
  float maskBottom = 0;
  AnsiString maskFile;
  bool skinLoaded = false;
  AnsiString skinName;  // the mask file the copy was made from
  TArgbImage skin;

  WideString title;
  HICON icon = nullptr;

  // Frees the off-screen bitmap and its context of a layered window.
  void FreeLayeredBitmap();
};
