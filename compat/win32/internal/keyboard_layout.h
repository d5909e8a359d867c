#pragma once
// Where the virtual keys sit on the display system's keyboard, and the shift
// state a character is typed in.
#include <SDL2/SDL.h>

#include <string>
#include <vector>

#include "compat/win32/win_types.h"

// The shift state a character is typed in: part of what selects it.
enum KeyShiftLevel : int { kLevelShift = 1, kLevelCaps = 2, kLevelAltGr = 4 };

int LevelOfMods(Uint16 mods);
// From a keyboard state: shift held, caps lock on, AltGr (right alt, or
// control and alt together as the system reports it).
int LevelOfState(const BYTE* state);

// The display system's keys that stand for a virtual key (letters and digits
// through the layout: the key that types "a" is 'A').
std::vector<SDL_Scancode> ScancodesOf(int virtualKey);
// The virtual key of a key of the display system, or 0.
int VirtualKeyOfScancode(SDL_Scancode scancode);
// The left or right variant of a shift, control or alt key.
int SidedVirtualKeyOfScancode(SDL_Scancode scancode);
