#include "core/system/library_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "compat/win32/system.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"

namespace {
std::string ResourceKeyOf(const std::string& name) {
  std::string key = name;
  std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) {
    return c == '.' ? '_' : static_cast<char>(std::toupper(c));
  });
  return key;
}

void Log(const std::string& text) { LogInfo(Utf8ToWide(text)); }
}  // namespace

TLibEntry* LoadLib(const std::string& name) {
  Log("Try to load library " + name);
  auto* entry = new TLibEntry();
  entry->name = name;
  entry->resourceKey = ResourceKeyOf(name);
  entry->path = ExtractFilePath(GetProgramFileName()) + name + ".so";
  std::string failure;
  if (access(entry->path.c_str(), F_OK) == 0) {
    Log("Library exists and try load shared library " + entry->path);
    entry->handle = dlopen(entry->path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!entry->handle) {
      // Why the system refused the file (not a library, a missing dependency,
      // an unresolved symbol): the one line that tells the user what to fix.
      const char* reason = dlerror();
      failure = reason ? reason : "";
    }
  } else {
    // A built-in copy would be written out and loaded here; the program
    // carries none, so nothing more is tried.
    Log("Shared library " + entry->path + " not exists");
  }
  if (entry->handle) {
    Log("Library " + entry->path + " was loaded successul");
    return entry;
  }
  Log("Library " + entry->path + " loading failed.");
  if (!failure.empty()) LogError(Utf8ToWide(failure));
  delete entry;
  return nullptr;
}

void FreeLib(TLibEntry* entry) {
  if (!entry) return;
  if (entry->handle) dlclose(entry->handle);
  delete entry;
}

void* GetProc(const TLibEntry* entry, const char* symbol) {
  if (!entry || !entry->handle || !symbol) return nullptr;
  return dlsym(entry->handle, symbol);
}
