#include "gui/design/design_registration.h"

#include "core/class_registry.h"
#include "gui/design/design_target.h"
#include "gui/design/frame.h"

void RegisterDesignTools() {
  RegisterClass(Frame::staticClassInfo());
  InstallDesignSelection();
}
