#include "gui/widgets/widgets_registration.h"

#include "core/objects/class_registry.h"
#include "gui/widgets/std_button.h"
#include "gui/widgets/std_check_box.h"
#include "gui/widgets/std_dropdown.h"
#include "gui/widgets/std_edit.h"
#include "gui/widgets/std_list.h"
#include "gui/widgets/std_toggle.h"
#include "gui/widgets/std_trackbar.h"

void RegisterStandardWidgets() {
  RegisterClasses({&TStdButton::staticClassInfo(), &TStdEdit::staticClassInfo(), &TStdList::staticClassInfo(),
                   &TStdDropdown::staticClassInfo(), &TStdCheckBox::staticClassInfo(),
                   &TStdTrackbar::staticClassInfo(), &TStdToggle::staticClassInfo()});
}
