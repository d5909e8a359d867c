#pragma once
// Outside libraries loaded by base name at run time (the audio and physics
// layers): each is a shared module next to the program, named base name +
// ".so". Callers bind their function tables through GetProc and take a nil
// answer as a missing library, so the game runs on without that service.
#include <string>

struct TLibEntry {
  // The base name as given.
  std::string name;
  // The path that was tried: the program's folder + name + ".so".
  std::string path;
  // The name of a built-in copy of the library (name upper-cased, "." as "_");
  // this program carries none.
  std::string resourceKey;
  // The loaded module; nil when not loaded.
  void* handle = nullptr;
};

// Loads the library, logging each step; nil when it cannot be loaded.
TLibEntry* LoadLib(const std::string& name);
// Unloads the module and frees the entry; nil is ignored.
void FreeLib(TLibEntry* entry);
// The address of an exported symbol; nil when the entry, its module or the
// symbol is missing.
void* GetProc(const TLibEntry* entry, const char* symbol);
