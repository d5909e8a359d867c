#include "engine/registration.h"

#include "core/class_registry.h"
#include "core/core_registration.h"
#include "engine/dummy.h"

void RegisterAllClasses() {
  RegisterCoreClasses();
  RegisterClasses({&Dummy::staticClassInfo()});
}
