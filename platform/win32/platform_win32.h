#pragma once
// The Windows platform: windows of the three kinds on the windows layer, the
// message pump, the clock, the mouse, icons, screenshots, the file dialog, the
// application-data folder, opening addresses and the console.
#include <map>

#include "compat/win32/window_class.h"
#include "platform/platform.h"
#include "platform/win32/window.h"

class TPlatformWin32 : public TPlatform {
  Q_OBJECT(TPlatformWin32, TPlatform)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  void CreateConsole() override;
  void DestroyConsole() override;
  void Writeln(const WideString& text) override;
  bool PeekHandler() override;
  void WaitHandler() override;
  float GetCurrentTime() override;
  void LogLastOSError() override;

  TWindow* CreateWindow(TWindowOwner* applet, const AnsiString& className, const WideString& title,
                        TWindowKind kind, int32_t width, int32_t height, int32_t left, int32_t top) override;
  void DestroyWindow(TWindow* window) override;
  void RecreateWnd(TWindow* window) override;
  void ShowWindow(TWindow* window) override;
  void ResizeWindow(TWindow* window, int32_t width, int32_t height) override;
  void ReposWindow(TWindow* window, int32_t x, int32_t y) override;
  void SetIcon(TWindow* window, const AnsiString& pixmapFile) override;
  bool WindowVisible(TWindow* window) override;
  void UpdateWindowState(TWindow* window) override;
  void UpdateWindow(TWindow* window, float width, float height) override;
  void MakePng(TWindow* window, const AnsiString& fileName) override;

  void CaptureMouse(TWindow* window) override;
  void ReleaseMouse() override;
  void AcquireMouse(TWindow* window) override;
  void AcquireDisable(TWindow* window) override;
  TPointF curMousePos(TWindow* window) override;

  WideString ReadValue(const WideString& key) override;
  void WriteValue(const WideString& key, const WideString& value) override;
  bool SelectExternalFile(const WideString& filter, WideString& fileName) override;
  void getAppDataFolder(WideString& folder) override;
  void openUrl(const WideString& url) override;
  WideString GetClipboardText() override;
  void SetClipboardText(const WideString& text) override;

  // The window-class record registered for the window being created, its
  // class name and title, the clock at start, and the frame of the last framed
  // window (outer size minus client size; 0 after a popup or layered window).
  WNDCLASSA windowClass;
  AnsiString windowClassName;
  AnsiString windowTitle;
  uint32_t startTime = 0;
  int32_t frameExtraWidth = 0;
  int32_t frameExtraHeight = 0;

 private:
  void CreateSystemWindow(TWindow* window);
  void RegisterWindowClass();
  HWND MakeSystemWindow(TWindow* window);
  void AskSystemForSize(TWindow* window, int32_t width, int32_t height);
  void ApplyPopupSize(TWindow* window);
  void ApplyLayeredSize(TWindow* window);
  void PutLayeredOnScreen(TWindow* window);

  std::map<WideString, WideString> values_;
};

// Sets the platform class reference to the Windows platform, registers the
// class and resolves the system entry points. The program calls it once at
// start-up with the other registrations.
void RegisterWin32Platform();
