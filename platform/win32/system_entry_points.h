#pragma once
// Entry points the Windows platform looks up by name in the already loaded
// user-interface library when it starts, because some systems lack them.
#include "compat/win32/layered_window.h"
#include "compat/win32/win_types.h"

// Required for layered windows; null where the system has none.
UpdateLayeredWindowProc UpdateLayeredWindowEntry();
// Used by the key translation of the input unit; null where the system has none.
FARPROC ToUnicodeExEntry();

void ResolveSystemEntryPoints();
void ForgetSystemEntryPoints();
