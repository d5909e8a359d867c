#include "gui/skinned/skinned_widgets_registration.h"

#include "core/class_registry.h"
#include "gui/console/console.h"
#include "gui/console/console_edit.h"
#include "gui/forms/close_button.h"
#include "gui/skinned/button.h"
#include "gui/skinned/checkbox.h"
#include "gui/skinned/color_dropdown.h"
#include "gui/skinned/dropdown.h"
#include "gui/skinned/edit.h"
#include "gui/skinned/image_list.h"
#include "gui/skinned/list.h"
#include "gui/skinned/object_list.h"
#include "gui/skinned/toggle.h"
#include "gui/skinned/track_bar.h"

void RegisterSkinnedStandardWidgets() {
  for (const ClassInfo* info :
       {&Button::staticClassInfo(), &Edit::staticClassInfo(), &List::staticClassInfo(),
        &ObjectList::staticClassInfo(), &ImageList::staticClassInfo(), &Dropdown::staticClassInfo(),
        &ColorDropdown::staticClassInfo(), &Checkbox::staticClassInfo(), &TrackBar::staticClassInfo(),
        &Toggle::staticClassInfo(), &CloseButton::staticClassInfo(), &TConsole::staticClassInfo(),
        &TConsoleEdit::staticClassInfo()}) {
    RegisterClass(*info);
  }
}
