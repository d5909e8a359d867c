#include "gui/forms/forms_registration.h"

#include "core/objects/class_registry.h"
#include "gui/forms/close_button.h"
#include "gui/forms/debug_form.h"
#include "gui/forms/effect_text.h"
#include "gui/forms/form.h"
#include "gui/forms/painter.h"
#include "gui/forms/panel.h"

void RegisterForms() {
  RegisterClasses({&Form::staticClassInfo(), &ImageForm::staticClassInfo(), &DebugForm::staticClassInfo(),
                   &Panel::staticClassInfo(), &Painter::staticClassInfo(), &EffectText::staticClassInfo(),
                   &CloseButton::staticClassInfo()});
}
