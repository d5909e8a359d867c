#include "core/core_registration.h"

#include "core/class_registry.h"
#include "core/effect.h"
#include "core/engine.h"

void RegisterCoreClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({&BaseObject::staticClassInfo(), &Effect::staticClassInfo(), &SomeEngine::staticClassInfo()});
}
