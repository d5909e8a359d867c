#pragma once
// The message queue as the rest of the layer feeds it.
#include <string>

#include "compat/win32/win_types.h"

// Appends a message; its time and pointer position are taken now.
void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Attaches text to the last key-down message waiting for the window (the
// character its key produced); TranslateMessage posts it as WM_CHAR.
void AttachTextToLastKeyDown(HWND window, const std::u16string& text);
// Takes the text attached to a key message, or empty.
std::u16string TextOfKeyMessage(const MSG& message);
// Drops every queued message of a window (it is being destroyed).
void RemoveQueuedMessages(HWND window);
// Turns every waiting display-system event into messages.
void PumpDisplayEvents();
