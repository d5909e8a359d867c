#pragma once
// The class registry: classes registered by name at start-up and found by name
// when object files, scripts and the design tools create objects.
#include <string_view>
#include <vector>

#include "core/objects/class_info.h"

class TGComponent;

// Registers a class and each ancestor up to the first one already registered.
// A second class of an already registered name is logged and appended; the
// first of a name stays the one found.
void RegisterClass(const ClassInfo& cls);
void RegisterClasses(std::initializer_list<const ClassInfo*> classes);

// The registered class of that name (ignoring ASCII case), or nil; silent.
const ClassInfo* GetClass(std::string_view name);
// As GetClass; logs "Class not found " + name when there is none.
const ClassInfo* FindClass(std::string_view name);

// Every registered class, in registration order.
const std::vector<const ClassInfo*>& RegisteredClasses();

// A lookup made by the object reader for one class context. All the program's
// classes live in one group, so every context sees the same classes.
class TClassFinder {
 public:
  TClassFinder(const ClassInfo* context, bool includeActiveGroups);
  const ClassInfo* GetClass(std::string_view name) const;
};

// Hooks through which the object reader finds components outside the object
// being read (a reference to another object file's root, say).
using FindGlobalComponentHook = TGComponent* (*)(std::string_view name);
void AddFindGlobalComponent(FindGlobalComponentHook hook);
void RemoveFindGlobalComponent(FindGlobalComponentHook hook);
TGComponent* FindGlobalComponent(std::string_view name);
bool IsUniqueGlobalComponentName(std::string_view name);
