#pragma once
// The platform: the one object through which the rest of the system reaches
// the operating system: windows, the message pump, the clock, the mouse,
// icons, screenshots, the file-open dialog, the per-user application-data
// folder, opening an address and the text console.
//
// `TPlatform` is abstract; the Windows platform (platform/win32) is its one
// implementation. The engine root creates the platform from the class
// reference `PlatformClass` (core/objects/engine.h), which the Windows platform's
// registration sets, and frees it at shut-down.
#include <cstdint>

#include "core/geometry/geometry.h"
#include "core/objects/object.h"
#include "core/text/text.h"

class TWindow;
class TWindowOwner;

// The three kinds of applet window.
enum class TWindowKind : uint8_t {
  Framed = 0,   // caption, system menu and minimise box
  Popup = 1,    // no frame; shaped by the applet's skin
  Layered = 2,  // no frame; per-pixel alpha from the rendered frame
};

class TPlatform : public TPersistent {
  Q_OBJECT(TPlatform, TPersistent)

 public:
  virtual void CreateConsole() = 0;
  virtual void DestroyConsole() = 0;
  // Writes the text and a line end to standard output.
  virtual void Writeln(const WideString& text) = 0;

  // Handles one waiting message without blocking; true when there was one.
  virtual bool PeekHandler() = 0;
  // Blocks for one message and handles it.
  virtual void WaitHandler() = 0;
  // Seconds since the platform was created.
  virtual float GetCurrentTime() = 0;
  // Logs the system's last error as an error line (nothing when there is none).
  virtual void LogLastOSError() = 0;

  // A window record and its system window; the record comes back even when
  // the system window could not be made (its handle is then null).
  virtual TWindow* CreateWindow(TWindowOwner* applet, const AnsiString& className, const WideString& title,
                                TWindowKind kind, int32_t width, int32_t height, int32_t left, int32_t top) = 0;
  // Destroys the system window and frees the record.
  virtual void DestroyWindow(TWindow* window) = 0;
  // Replaces the system window by a new one (after a change of kind) and moves
  // the applet's device onto it.
  virtual void RecreateWnd(TWindow* window) = 0;
  virtual void ShowWindow(TWindow* window) = 0;
  // Applies a client size; -1, -1 re-applies the current one.
  virtual void ResizeWindow(TWindow* window, int32_t width, int32_t height) = 0;
  virtual void ReposWindow(TWindow* window, int32_t x, int32_t y) = 0;
  // The window's icon from a pixmap file (the built-in icon when it is missing).
  virtual void SetIcon(TWindow* window, const AnsiString& pixmapFile) = 0;
  virtual bool WindowVisible(TWindow* window) = 0;
  // Applies the stacking state and the title.
  virtual void UpdateWindowState(TWindow* window) = 0;
  // Renders a frame; a layered window is also put on the screen (its size
  // follows width and height).
  virtual void UpdateWindow(TWindow* window, float width, float height) = 0;
  // Saves the rendered frame as a PNG file through the applet's resources.
  virtual void MakePng(TWindow* window, const AnsiString& fileName) = 0;

  // Routes all mouse messages to the window, until ReleaseMouse.
  virtual void CaptureMouse(TWindow* window) = 0;
  virtual void ReleaseMouse() = 0;
  // Enters (or nests) relative-mouse mode; the cursor is centred on entry.
  virtual void AcquireMouse(TWindow* window) = 0;
  // Leaves one level of relative-mouse mode.
  virtual void AcquireDisable(TWindow* window) = 0;
  // The cursor in client coordinates (screen coordinates in full screen).
  virtual TPointF curMousePos(TWindow* window) = 0;

  // A per-user settings store of the process; the running system does not use it.
  virtual WideString ReadValue(const WideString& key) = 0;
  virtual void WriteValue(const WideString& key, const WideString& value) = 0;

  // The file-open dialog: the filter is added after "all files|"; on
  // confirmation the chosen path goes to fileName (else it is left as it was).
  virtual bool SelectExternalFile(const WideString& filter, WideString& fileName) = 0;
  // The per-user application-data folder, created when missing, ending in a
  // separator.
  virtual void getAppDataFolder(WideString& folder) = 0;
  // Opens the address with the desktop's handler for it.
  virtual void openUrl(const WideString& url) = 0;

  // The system clipboard's text (empty when it holds none), for the edits.
  virtual WideString GetClipboardText() { return WideString(); }
  virtual void SetClipboardText(const WideString& /*text*/) {}
};

// The engine's platform, or nil before the engine exists.
TPlatform* Platform();
