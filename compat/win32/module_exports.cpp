#include "compat/win32/module_exports.h"

#include <cstring>
#include <strings.h>

#include "compat/win32/keyboard.h"
#include "compat/win32/last_error.h"
#include "compat/win32/layered_window.h"
#include "compat/win32/test_hooks.h"

namespace {
struct Export {
  const char* name;
  FARPROC procedure;
  bool hidden;
};

Export user32Exports[] = {
    {"UpdateLayeredWindow", reinterpret_cast<FARPROC>(&UpdateLayeredWindow), false},
    {"ToUnicodeEx", reinterpret_cast<FARPROC>(&ToUnicodeEx), false},
};

// Fixed handle values for the modules the layer knows; they are never given
// to any other object.
HMODULE const programModule = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x400000));
HMODULE const user32Module = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x7E410000));
}  // namespace

HMODULE GetModuleHandleA(const char* libraryName) {
  if (!libraryName) return programModule;
  if (strcasecmp(libraryName, "user32.dll") == 0 || strcasecmp(libraryName, "user32") == 0) return user32Module;
  SetLastError(126);  // the module is not loaded
  return nullptr;
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
  if (module == user32Module && name) {
    for (const Export& entry : user32Exports) {
      if (std::strcmp(entry.name, name) == 0 && !entry.hidden) return entry.procedure;
    }
  }
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}

void win32_test::HideExport(const char* name, bool hidden) {
  for (Export& entry : user32Exports) {
    if (std::strcmp(entry.name, name) == 0) entry.hidden = hidden;
  }
}
