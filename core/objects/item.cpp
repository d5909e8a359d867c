#include "core/objects/item.h"

#include "core/objects/class_registry.h"

const ClassInfo& Item::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<Item>("Item").build();
  return info;
}

BaseObject* FindEnclosingMission(BaseObject* object) {
  const ClassInfo* mission = GetClass("Mission");
  if (!mission) return nullptr;
  for (BaseObject* node = object; node; node = node->parent()) {
    if (node->inheritsFrom(*mission)) return node;
  }
  return nullptr;
}
