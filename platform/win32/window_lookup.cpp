#include "platform/win32/window_lookup.h"

#include <unistd.h>

#include <cstdio>

#include "compat/win32/atoms.h"

namespace {
ATOM atom = 0;
int platforms = 0;

std::string& AtomName() {
  static std::string name;
  return name;
}
}  // namespace

void AddWindowAtom() {
  if (platforms++ > 0) return;
  char name[16];
  std::snprintf(name, sizeof(name), "Some%.8X", static_cast<unsigned>(getpid()));
  AtomName() = name;
  atom = GlobalAddAtomA(name);
}

void DeleteWindowAtom() {
  if (platforms == 0 || --platforms > 0) return;
  if (atom) GlobalDeleteAtom(atom);
  atom = 0;
  AtomName().clear();
}

const std::string& WindowAtomName() { return AtomName(); }

void AttachWindowRecord(HWND handle, TWindow* window) {
  if (handle && atom) SetPropA(handle, MAKEINTATOM(atom), window);
}

TWindow* FindWindowRecord(HWND handle) {
  if (!handle || !atom || AtomName().empty() || GlobalFindAtomA(AtomName().c_str()) != atom) return nullptr;
  return static_cast<TWindow*>(GetPropA(handle, MAKEINTATOM(atom)));
}
