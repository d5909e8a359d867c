#pragma once
// The Direct3D 8 library as the program finds it at run time: loaded by file
// name ("d3d8.dll"), its entry point looked up by name ("Direct3DCreate8"),
// freed when no longer needed. The layer is linked with the program, so
// loading only counts its users; the test hooks can make the library or an
// entry point missing, as on a system without Direct3D 8.
#include "compat/win32/win_types.h"

// The library's module, or null (last error set) when there is no library of
// that name. Every successful load needs one FreeDirect3DLibrary.
HMODULE LoadDirect3DLibrary(const char* fileName);
// An entry point of the library, or null.
FARPROC GetDirect3DProcAddress(HMODULE module, const char* name);
BOOL FreeDirect3DLibrary(HMODULE module);
