#include "gui/gui_registration.h"

#include "core/objects/class_registry.h"
#include "engine/applet/applet.h"
#include "engine/registration.h"
#include "gui/align_children.h"
#include "gui/console/console_registration.h"
#include "gui/design/design_registration.h"
#include "gui/forms/forms_registration.h"
#include "gui/gui_object.h"
#include "gui/gui_parts.h"
#include "gui/skinned/skinned_widgets_registration.h"
#include "gui/widgets/widgets_registration.h"

namespace {
void AlignTreeChildren(BaseObject* holder, float& previousWidth, float& previousHeight, const TRectF& area) {
  AlignChildren(previousWidth, previousHeight, holder->count(), TreeChildAt, holder, area.left, area.top, area.right,
                area.bottom);
}
}  // namespace

void RegisterGuiClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterAllClasses();
  RegisterClass(GuiObject::staticClassInfo());
  // Each folder of the GUI registers its own classes here, one line each.
  RegisterStandardWidgets();
  RegisterSkinnedWidgets();
  RegisterForms();
  RegisterConsole();
  RegisterDesignTools();
  AlignChildrenHook = AlignTreeChildren;
  SetAppletPartsFactory(NewGuiParts);
}
