#include "gui/console/console_registration.h"

#include "core/objects/class_registry.h"
#include "gui/console/console.h"
#include "gui/console/console_edit.h"

void RegisterConsole() { RegisterClasses({&TConsole::staticClassInfo(), &TConsoleEdit::staticClassInfo()}); }
