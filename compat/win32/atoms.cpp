#include "compat/win32/atoms.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "compat/win32/internal/window_state.h"
#include "compat/win32/last_error.h"

namespace {
struct AtomEntry {
  std::string name;
  int uses = 0;
};

// String atoms live in the range above the integer atoms (0xC000 on).
constexpr ATOM kFirstStringAtom = 0xC000;
constexpr size_t kMaxNameLength = 255;

std::map<ATOM, AtomEntry>& Atoms() {
  static auto* atoms = new std::map<ATOM, AtomEntry>();
  return *atoms;
}

bool IsIntegerAtom(const char* name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

std::string Lower(const char* text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

// "#123" names the integer atom 123.
ATOM IntegerAtomOfText(const char* name) {
  if (name[0] != '#' || !name[1]) return 0;
  char* end = nullptr;
  long value = std::strtol(name + 1, &end, 10);
  return (*end == 0 && value > 0 && value < kFirstStringAtom) ? static_cast<ATOM>(value) : 0;
}

ATOM FindByName(const std::string& lowered) {
  for (const auto& [atom, entry] : Atoms()) {
    if (Lower(entry.name.c_str()) == lowered) return atom;
  }
  return 0;
}

ATOM FreeAtom() {
  ATOM atom = kFirstStringAtom;
  while (Atoms().count(atom)) ++atom;
  return atom;
}

// The atom a property name stands for; 0 when it has none.
ATOM PropertyAtom(const char* name, bool add) {
  if (!name) return 0;
  if (IsIntegerAtom(name)) return static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
  return add ? GlobalAddAtomA(name) : GlobalFindAtomA(name);
}
}  // namespace

ATOM GlobalAddAtomA(const char* name) {
  if (!name) return 0;
  if (IsIntegerAtom(name)) return static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
  if (ATOM integer = IntegerAtomOfText(name)) return integer;
  size_t length = std::strlen(name);
  if (length == 0 || length > kMaxNameLength) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  ATOM atom = FindByName(Lower(name));
  if (!atom) {
    atom = FreeAtom();
    if (atom < kFirstStringAtom) {  // the table is full and the counter wrapped
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return 0;
    }
    Atoms()[atom] = AtomEntry{name, 0};
  }
  Atoms()[atom].uses++;
  return atom;
}

ATOM GlobalFindAtomA(const char* name) {
  if (!name) return 0;
  if (IsIntegerAtom(name)) return static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
  if (ATOM integer = IntegerAtomOfText(name)) return integer;
  return FindByName(Lower(name));
}

ATOM GlobalDeleteAtom(ATOM atom) {
  auto found = Atoms().find(atom);
  if (found != Atoms().end() && --found->second.uses <= 0) Atoms().erase(found);
  return 0;
}

UINT GlobalGetAtomNameA(ATOM atom, char* buffer, int capacity) {
  auto found = Atoms().find(atom);
  if (found == Atoms().end() || !buffer || capacity <= 0) return 0;
  size_t n = std::min(found->second.name.size(), static_cast<size_t>(capacity - 1));
  std::memcpy(buffer, found->second.name.data(), n);
  buffer[n] = 0;
  return static_cast<UINT>(n);
}

BOOL SetPropA(HWND window, const char* name, HANDLE data) {
  auto state = FindWindowState(window);
  ATOM atom = state ? PropertyAtom(name, true) : 0;
  if (!atom) {
    SetLastError(state ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  state->properties[atom] = data;
  return TRUE;
}

HANDLE GetPropA(HWND window, const char* name) {
  auto state = FindWindowState(window);
  ATOM atom = state ? PropertyAtom(name, false) : 0;
  if (!atom) return nullptr;
  auto found = state->properties.find(atom);
  return found == state->properties.end() ? nullptr : found->second;
}

HANDLE RemovePropA(HWND window, const char* name) {
  auto state = FindWindowState(window);
  ATOM atom = state ? PropertyAtom(name, false) : 0;
  if (!atom) return nullptr;
  auto found = state->properties.find(atom);
  if (found == state->properties.end()) return nullptr;
  HANDLE data = found->second;
  state->properties.erase(found);
  return data;
}
