#include "compat/d3d8/library.h"

#include <strings.h>

#include <cstring>

#include "compat/d3d8/d3d8.h"
#include "compat/d3d8/internal/settings.h"
#include "compat/win32/last_error.h"

namespace {
// A fixed handle value for the library; never given to any other object.
HMODULE const d3d8Module = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x6D9E0000));
constexpr DWORD kModuleNotFound = 126;
}  // namespace

HMODULE LoadDirect3DLibrary(const char* fileName) {
  using d3d8_internal::CurrentSettings;
  if (!fileName || CurrentSettings().libraryMissing || strcasecmp(fileName, "d3d8.dll") != 0) {
    SetLastError(kModuleNotFound);
    return nullptr;
  }
  d3d8_internal::CurrentCounts().loadedLibraries += 1;
  return d3d8Module;
}

FARPROC GetDirect3DProcAddress(HMODULE module, const char* name) {
  const auto& hidden = d3d8_internal::CurrentSettings().hiddenEntryPoints;
  if (module == d3d8Module && name && std::strcmp(name, "Direct3DCreate8") == 0 && !hidden.count(name)) {
    return reinterpret_cast<FARPROC>(&Direct3DCreate8);
  }
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}

BOOL FreeDirect3DLibrary(HMODULE module) {
  int& loaded = d3d8_internal::CurrentCounts().loadedLibraries;
  if (module != d3d8Module || loaded == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  loaded -= 1;
  return TRUE;
}
