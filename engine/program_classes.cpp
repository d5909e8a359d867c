#include "engine/program_classes.h"

#include "gui/gui_registration.h"

// Built into the program and the tools that need its full class list, not
// into the engine library: the GUI's registration registers the engine's
// classes first, then its own.
void RegisterProgramClasses() { RegisterGuiClasses(); }
