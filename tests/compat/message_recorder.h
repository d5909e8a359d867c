#pragma once
// A window class whose procedure writes down every message it receives, for
// tests that check which messages arrive and in what order.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "compat/win32/message_queue.h"
#include "compat/win32/window.h"
#include "compat/win32/window_class.h"
#include "compat/win32/window_messages.h"

struct Received {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  WINDOWPOS pos;  // a copy, for the two position messages
};

class MessageRecorder {
 public:
  MessageRecorder() {
    current() = this;
    WNDCLASSA windowClass;
    windowClass.lpfnWndProc = &Procedure;
    windowClass.lpszClassName = className();
    RegisterClassA(&windowClass);  // the class outlives each recorder
  }
  ~MessageRecorder() {
    for (HWND w : made_) {
      if (IsWindow(w)) DestroyWindow(w);
    }
    current() = nullptr;
  }

  static const char* className() { return "RecorderWnd"; }

  HWND make(DWORD style, DWORD exStyle, int x, int y, int width, int height) {
    HWND w = CreateWindowExA(exStyle, className(), "recorder", style, x, y, width, height, GetDesktopWindow(),
                             nullptr, nullptr, nullptr);
    made_.push_back(w);
    return w;
  }

  std::vector<Received> received;
  // Answers for messages handled by the test instead of the default handling.
  std::map<UINT, std::function<LRESULT(HWND, WPARAM, LPARAM)>> handlers;

  std::vector<UINT> messagesOf(HWND window) const {
    std::vector<UINT> out;
    for (const Received& r : received) {
      if (r.window == window) out.push_back(r.message);
    }
    return out;
  }
  std::vector<Received> of(HWND window, UINT message) const {
    std::vector<Received> out;
    for (const Received& r : received) {
      if (r.window == window && r.message == message) out.push_back(r);
    }
    return out;
  }
  void clear() { received.clear(); }

  // Reads and dispatches every waiting message (WM_PAINT validated by the
  // default handling, so the loop ends).
  void pump() {
    MSG m;
    for (int i = 0; i < 10000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
  }

 private:
  static MessageRecorder*& current() {
    static MessageRecorder* recorder = nullptr;
    return recorder;
  }

  static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageRecorder* self = current();
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    Received r{window, message, wParam, lParam, {}};
    if (message == WM_WINDOWPOSCHANGED || message == WM_WINDOWPOSCHANGING) {
      r.pos = *reinterpret_cast<const WINDOWPOS*>(lParam);
    }
    self->received.push_back(r);
    auto handler = self->handlers.find(message);
    if (handler != self->handlers.end()) return handler->second(window, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
  }

  std::vector<HWND> made_;
};
