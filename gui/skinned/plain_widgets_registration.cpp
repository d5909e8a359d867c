#include "gui/skinned/plain_widgets_registration.h"

#include "core/class_registry.h"
#include "gui/skinned/background.h"
#include "gui/skinned/image.h"
#include "gui/skinned/preview.h"
#include "gui/skinned/screen.h"
#include "gui/skinned/splash.h"
#include "gui/skinned/static_text.h"

void RegisterPlainWidgets() {
  RegisterClasses({&StaticText::staticClassInfo(), &Image::staticClassInfo(), &Background::staticClassInfo(),
                   &Splash::staticClassInfo(), &Preview::staticClassInfo(), &Screen::staticClassInfo()});
}
