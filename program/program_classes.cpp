#include "program/program_classes.h"

#include "gui/gui_registration.h"

// Built into the program and the tools that need its full class list, not
// into the engine library: libraries above the engine register here. The
// GUI's registration registers the engine's subsystems first.
void RegisterProgramClasses() { RegisterGuiClasses(); }
