#pragma once
// Finding a window record from a system window handle.
//
// The record is stored as a property of the system window, named by a global
// atom whose name is made from the process id ("Some" and eight upper-case
// hexadecimal digits), so that a window of another program using the same
// scheme is never taken for one of ours.
#include <string>

#include "compat/win32/win_types.h"

class TWindow;

// Adds the process's atom (once a platform starts).
void AddWindowAtom();
// Deletes it (when the platform ends).
void DeleteWindowAtom();
const std::string& WindowAtomName();

void AttachWindowRecord(HWND handle, TWindow* window);
// The record of the handle; nil for a null handle, a handle without one, or
// when the atom under our name is not the one this process added.
TWindow* FindWindowRecord(HWND handle);
