#include "engine/registration.h"

#include "core/core_registration.h"

void RegisterAllClasses() { RegisterCoreClasses(); }
