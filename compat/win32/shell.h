#pragma once
// The desktop shell: opening a document or address with the user's program
// for it, and the process's text console.
#include "compat/win32/win_types.h"

// Performs `verb` ("open" or null) on `file` (UTF-8) through the desktop's
// opener (xdg-open). Answers a value above 32 when the opener was started,
// else an error code (ERROR_FILE_NOT_FOUND when there is no opener).
HINSTANCE ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                        const char* directory, int showCommand);

// The process always has its standard streams here; these only keep count.
BOOL AllocConsole();
BOOL FreeConsole();
