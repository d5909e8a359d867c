#include "compat/win32/internal/handles.h"

#include <unordered_map>

namespace {
// Handle values start well above the small constants that stand in for
// handles in some calls (HWND_BOTTOM is 1, integer atoms are below 0x10000).
uintptr_t nextId = 0x10000;

std::unordered_map<uintptr_t, std::shared_ptr<HandleObject>>& Table() {
  // Never destroyed: objects still alive at exit must not reach back into a
  // display system that is already gone.
  static auto* table = new std::unordered_map<uintptr_t, std::shared_ptr<HandleObject>>();
  return *table;
}
}  // namespace

uintptr_t AddHandle(std::shared_ptr<HandleObject> object) {
  nextId += 4;
  object->id = nextId;
  Table()[nextId] = std::move(object);
  return nextId;
}

void RemoveHandle(uintptr_t id) {
  // The object may still be in use further up the stack (a window destroyed
  // from inside its own procedure); the shared pointer keeps it until then.
  Table().erase(id);
}

std::shared_ptr<HandleObject> FindHandle(uintptr_t id, HandleKind kind) {
  auto found = Table().find(id);
  if (found == Table().end() || found->second->kind != kind) return nullptr;
  return found->second;
}
