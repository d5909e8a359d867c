#pragma once
// Atoms (names kept in a table, compared ignoring case, counted by reference)
// and window properties (named values attached to a window).
#include "compat/win32/win_types.h"

// An integer atom passed where a name is expected.
inline const char* MAKEINTATOM(ATOM atom) { return reinterpret_cast<const char*>(static_cast<uintptr_t>(atom)); }

// Adds the name (or counts one more use of it); 0 for an empty or too long name.
ATOM GlobalAddAtomA(const char* name);
// 0 when the name is not in the table.
ATOM GlobalFindAtomA(const char* name);
// Counts one use less; the atom goes when no use is left. Answers 0.
ATOM GlobalDeleteAtom(ATOM atom);
UINT GlobalGetAtomNameA(ATOM atom, char* buffer, int capacity);

// `name` is a string or MAKEINTATOM(atom). Properties go with the window.
BOOL SetPropA(HWND window, const char* name, HANDLE data);
HANDLE GetPropA(HWND window, const char* name);
HANDLE RemovePropA(HWND window, const char* name);
