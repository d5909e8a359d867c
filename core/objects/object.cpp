#include "core/objects/object.h"

#include "core/objects/class_info.h"

const ClassInfo& TObject::staticClassInfo() {
  static const ClassInfo info("TObject", nullptr, nullptr, {}, {});
  return info;
}

const ClassInfo& TPersistent::staticClassInfo() {
  static const ClassInfo info("TPersistent", &TObject::staticClassInfo(), nullptr, {}, {});
  return info;
}

void TObject::Create(TObject* /*owner*/) {}

void TObject::Free() {
  if (destroying_) return;  // a second Free from inside Destroy
  if (deferFree()) return;
  destroying_ = true;
  Destroy();
  delete this;
}

const std::string& TObject::className() const { return classInfo().name(); }

bool TObject::inheritsFrom(const ClassInfo& ancestor) const { return classInfo().inheritsFrom(ancestor); }
