#include "engine/dummy.h"

const ClassInfo& Dummy::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<Dummy>("Dummy").build();
  return info;
}
