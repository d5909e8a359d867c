#include "gui/skinned/skinned_widgets_registration.h"

#include "core/objects/class_registry.h"
#include "gui/skinned/background.h"
#include "gui/skinned/button.h"
#include "gui/skinned/checkbox.h"
#include "gui/skinned/color_dropdown.h"
#include "gui/skinned/dropdown.h"
#include "gui/skinned/edit.h"
#include "gui/skinned/image.h"
#include "gui/skinned/image_list.h"
#include "gui/skinned/list.h"
#include "gui/skinned/object_list.h"
#include "gui/skinned/preview.h"
#include "gui/skinned/screen.h"
#include "gui/skinned/splash.h"
#include "gui/skinned/static_text.h"
#include "gui/skinned/toggle.h"
#include "gui/skinned/track_bar.h"

void RegisterSkinnedWidgets() {
  RegisterClasses({&Button::staticClassInfo(), &Edit::staticClassInfo(), &List::staticClassInfo(),
                   &ObjectList::staticClassInfo(), &ImageList::staticClassInfo(), &Dropdown::staticClassInfo(),
                   &ColorDropdown::staticClassInfo(), &Checkbox::staticClassInfo(), &TrackBar::staticClassInfo(),
                   &Toggle::staticClassInfo()});
  RegisterClasses({&StaticText::staticClassInfo(), &Image::staticClassInfo(), &Background::staticClassInfo(),
                   &Splash::staticClassInfo(), &Preview::staticClassInfo(), &Screen::staticClassInfo()});
}
