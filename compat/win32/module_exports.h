#pragma once
// Loaded modules and the entry points looked up by name at run time in an
// already loaded system library, for functions that older releases of the
// system lack.
#include "compat/win32/win_types.h"

// Null: the running program. Otherwise a system library the layer provides
// ("user32.dll", compared ignoring case), or null when there is no such one.
HMODULE GetModuleHandleA(const char* libraryName);
// The entry point of that name in the module, or null.
FARPROC GetProcAddress(HMODULE module, const char* name);
