#include "core/objects/class_registry.h"

#include <algorithm>

#include "core/system/log.h"
#include "core/text/ascii_name_map.h"

namespace {
struct Registry {
  std::vector<const ClassInfo*> classes;
  AsciiNameMap<const ClassInfo*> byName;  // the first class of each name
  std::vector<FindGlobalComponentHook> globalHooks;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

bool IsRegistered(const ClassInfo& cls) {
  const auto& classes = TheRegistry().classes;
  return std::find(classes.begin(), classes.end(), &cls) != classes.end();
}

void RegisterInGroup(const ClassInfo& cls) {
  if (GetClass(cls.name())) LogInfo(u"Duplicate class " + AnsiToWide(cls.name()));
  TheRegistry().classes.push_back(&cls);
  TheRegistry().byName.emplace(cls.name(), &cls);
}
}  // namespace

void RegisterClass(const ClassInfo& cls) {
  // Descendants land before their ancestors; the walk stops at the first
  // class already known, or at the persistent base.
  for (const ClassInfo* c = &cls; c && !IsRegistered(*c); c = c->parent()) {
    RegisterInGroup(*c);
    if (c == &TPersistent::staticClassInfo()) break;
  }
}

void RegisterClasses(std::initializer_list<const ClassInfo*> classes) {
  for (const ClassInfo* c : classes) RegisterClass(*c);
}

const ClassInfo* GetClass(std::string_view name) {
  const auto& byName = TheRegistry().byName;
  const auto found = byName.find(name);
  return found == byName.end() ? nullptr : found->second;
}

const ClassInfo* FindClass(std::string_view name) {
  const ClassInfo* c = GetClass(name);
  if (!c) LogInfo(u"Class not found " + AnsiToWide(name));
  return c;
}

const std::vector<const ClassInfo*>& RegisteredClasses() { return TheRegistry().classes; }

TClassFinder::TClassFinder(const ClassInfo*, bool) {}

const ClassInfo* TClassFinder::GetClass(std::string_view name) const { return ::GetClass(name); }

void AddFindGlobalComponent(FindGlobalComponentHook hook) {
  auto& hooks = TheRegistry().globalHooks;
  if (std::find(hooks.begin(), hooks.end(), hook) == hooks.end()) hooks.push_back(hook);
}

void RemoveFindGlobalComponent(FindGlobalComponentHook hook) {
  auto& hooks = TheRegistry().globalHooks;
  hooks.erase(std::remove(hooks.begin(), hooks.end(), hook), hooks.end());
}

TGComponent* FindGlobalComponent(std::string_view name) {
  const auto& hooks = TheRegistry().globalHooks;
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
    if (TGComponent* found = (*it)(name)) return found;
  }
  return nullptr;
}

bool IsUniqueGlobalComponentName(std::string_view name) { return FindGlobalComponent(name) == nullptr; }
