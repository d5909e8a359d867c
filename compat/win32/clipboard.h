#pragma once
// The system clipboard's text. Windows hands clipboard text over in global
// memory blocks opened and closed around each use; the one use here is plain
// UTF-16 text, so the layer passes the text itself.
#include <string>

#include "compat/win32/win_types.h"

// The clipboard's text, empty when it holds none (or no display is there).
std::u16string GetClipboardTextW();
// Replaces the clipboard's content by the text; FALSE when that failed.
BOOL SetClipboardTextW(const std::u16string& text);
