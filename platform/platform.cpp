#include "platform/platform.h"

#include "core/objects/class_builder.h"
#include "core/objects/engine.h"

const ClassInfo& TPlatform::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TPlatform>("TPlatform").build();
  return info;
}

TPlatform* Platform() {
  SomeEngine* engine = Engine();
  return engine ? dynamic_cast<TPlatform*>(engine->platform()) : nullptr;
}
