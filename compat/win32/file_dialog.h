#pragma once
// The file-open dialog.
//
// Shown through the desktop's dialog program (zenity, else kdialog), run as a
// child process; with neither on the PATH no file is chosen.
#include "compat/win32/win_types.h"

struct OPENFILENAMEW {
  DWORD lStructSize = sizeof(OPENFILENAMEW);
  HWND hwndOwner = nullptr;
  // Pairs of description and pattern list ("*.png;*.jpg"), each ended by a
  // 0 code unit, the whole ended by a second 0.
  const char16_t* lpstrFilter = nullptr;
  // Receives the chosen path (UTF-16, 0-terminated); its size in code units.
  char16_t* lpstrFile = nullptr;
  DWORD nMaxFile = 0;
  const char16_t* lpstrTitle = nullptr;
  DWORD Flags = 0;
};

// TRUE when a file was chosen and its path fits the buffer.
BOOL GetOpenFileNameW(OPENFILENAMEW* dialog);
