#pragma once
// The window procedure's first step for every applet window: keyboard, mouse,
// wheel, cursor and window messages become input records posted to the
// applet's event queue. Messages it does not handle go on to the platform's
// own handling.
#include <cstdint>

#include "compat/win32/win_types.h"

class TWindow;

// True when the message was handled, with the procedure's result in `result`.
bool TranslateInputMessage(TWindow& window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
// Posts a window-action record (1 activated, 2 deactivated, 0 close) when the
// applet has an event queue.
void PostWindowAction(TWindow& window, int32_t code);

// Puts the two functions above into the window procedure's input seam.
void InstallInputTranslation();
