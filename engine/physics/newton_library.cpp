#include "engine/physics/newton_library.h"

#include "core/system/library_loader.h"
#include "core/system/log.h"
#include "core/text/text.h"

namespace {
struct LoadedLibrary {
  TLibEntry* entry = nullptr;
  TNewtonLibrary table;
  bool bound = false;
};

std::string& LibraryName() {
  static std::string name = kNewtonLibraryName;
  return name;
}

int users = 0;
LoadedLibrary* loaded = nullptr;

// Binds every function; the name of the first one missing, or nil.
const char* Bind(LoadedLibrary& library) {
#define Q_NEWTON_BIND(name)                                                                  \
  library.table.name = reinterpret_cast<decltype(library.table.name)>(GetProc(library.entry, #name)); \
  if (!library.table.name) return #name;
  Q_NEWTON_FUNCTIONS(Q_NEWTON_BIND)
#undef Q_NEWTON_BIND
  return nullptr;
}

LoadedLibrary* Load() {
  auto* library = new LoadedLibrary();
  library->entry = LoadLib(LibraryName());
  if (!library->entry) {
    LogError(u"Physics library not loaded: the game runs without physics");
    return library;
  }
  if (const char* missing = Bind(*library)) {
    LogError(u"Physics library lacks " + AnsiToWide(missing) + u": the game runs without physics");
    return library;
  }
  library->bound = true;
  return library;
}
}  // namespace

void SetNewtonLibraryName(const std::string& name) { LibraryName() = name; }

const TNewtonLibrary* AcquireNewtonLibrary() {
  if (users++ == 0) loaded = Load();
  return NewtonLibrary();
}

void ReleaseNewtonLibrary() {
  if (users == 0 || --users > 0) return;
  FreeLib(loaded->entry);
  delete loaded;
  loaded = nullptr;
}

const TNewtonLibrary* NewtonLibrary() { return loaded && loaded->bound ? &loaded->table : nullptr; }
