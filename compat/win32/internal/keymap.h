#pragma once
// The characters the system's keymap gives a key, for keys the user has not
// typed: the display server's keymap where the display system is X11, else the
// keymap the environment names (XKB_DEFAULT_LAYOUT and its kin, US English
// when nothing is named).
#include <SDL2/SDL.h>

#include <string>

// The text of the key in the shift state `level` (KeyShiftLevel bits), with
// num lock on or off; empty for keys that type nothing there (and for control
// characters, which the caller gives itself).
std::u16string KeymapText(SDL_Scancode scancode, int level, bool numLock);

// The keymap changed (a layout switch): it is read again when next asked.
void ForgetKeymap();
