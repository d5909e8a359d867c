#include "gui/design/design_registration.h"

#include "core/objects/class_registry.h"
#include "gui/design/design_target.h"
#include "gui/design/frame.h"
#include "gui/design/inspector.h"
#include "gui/design/inspector_form.h"

void RegisterDesignTools() {
  RegisterClass(Frame::staticClassInfo());
  RegisterClass(Inspector::staticClassInfo());
  RegisterClass(InspectorForm::staticClassInfo());
  InstallDesignSelection();
}
