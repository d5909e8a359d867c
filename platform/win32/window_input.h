#pragma once
// The input unit's part in the window procedure.
//
// Turning keyboard, mouse, wheel and window messages into input records and
// posting them to the applet's event queue is the input unit's work; it puts
// its functions here when it starts. Until it does, the window procedure
// handles no input message itself and window activations post nothing.
#include <cstdint>

#include "compat/win32/win_types.h"

class TWindow;

struct TWindowInput {
  // Runs first for every message of a window that has a live applet; true when
  // the message was handled, with the procedure's result in `result`.
  bool (*Translate)(TWindow& window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = nullptr;
  // Posts a window-action record (1 activated, 2 deactivated) to the applet's
  // event queue when the applet has one.
  void (*PostWindowAction)(TWindow& window, int32_t code) = nullptr;
};

TWindowInput& WindowInput();
