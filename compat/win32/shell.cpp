#include "compat/win32/shell.h"

#include <cstring>

#include "compat/win32/internal/child_process.h"
#include "compat/win32/last_error.h"

namespace {
constexpr uintptr_t kStarted = 42;
constexpr uintptr_t kNoAssociation = 31;

HINSTANCE Answer(uintptr_t value) { return reinterpret_cast<HINSTANCE>(value); }

int consoles = 0;
}  // namespace

HINSTANCE ShellExecuteA(HWND, const char* verb, const char* file, const char*, const char*, int) {
  if (verb && std::strcmp(verb, "open") != 0) return Answer(kNoAssociation);
  if (!file || !*file) return Answer(ERROR_FILE_NOT_FOUND);
  std::string opener = FindOnPath("xdg-open");
  if (opener.empty()) return Answer(ERROR_FILE_NOT_FOUND);
  return StartDetached(opener, {file}) ? Answer(kStarted) : Answer(ERROR_FILE_NOT_FOUND);
}

BOOL AllocConsole() {
  ++consoles;
  return TRUE;
}

BOOL FreeConsole() {
  if (consoles == 0) return FALSE;
  --consoles;
  return TRUE;
}
