#include "engine/program_classes.h"

#include "engine/registration.h"

// Built into the program and the tools that need its full class list, not
// into the engine library: libraries above the engine register here.
void RegisterProgramClasses() {
  RegisterAllClasses();
  // The GUI library's registration call goes here once it provides one.
}
