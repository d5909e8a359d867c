#pragma once
// What the layer follows of the keyboard: every key event of the display
// system (with the state of all keys right after it and the text it typed),
// and which of them the program has read as key messages.
//
// Keys read as they were when the key message being handled was made, as on
// the system: a program that reads shift while handling "a" sees it as it was
// when "a" went down, even when the display system has since reported shift's
// release.
#include <SDL2/SDL.h>

#include <string>

#include "compat/win32/win_types.h"

// Every key as the keyboard holds it now: 0x80 down, 0x01 toggled.
void ReadLiveKeyState(BYTE* state);
// Every key as of the key message last read (live when none has been).
void ReadKeyState(BYTE* state);

// The text the key typed when its press was last read, when it was typed in
// the given shift level.
std::u16string TextOfReadPress(int scancode, int level);

// Shift and control as mouse-message flags (MK_SHIFT, MK_CONTROL): as they
// are now, and as they were when the display system reported a mouse event
// (now, for an event it was not seen to report).
WPARAM ModifierFlagsNow();
WPARAM ModifierFlagsAtMouseEvent(const SDL_Event& event);

// Test hooks' share of the live state.
bool TestKeyHeld(int virtualKey);
bool TestCapsToggled();
