#include "gui/forms/close_button.h"

#include "gui/forms/form.h"

const ClassInfo& CloseButton::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<CloseButton>("CloseButton").build();
  return info;
}

void CloseButton::Create(TObject* owner) {
  inherited::Create(owner);
  clickCallback.set([this](TStdButton*) { closeForm(); });
}

void CloseButton::closeForm() {
  // The button's own click runs first; when its handler disposed of the
  // form, the button goes with it and closes nothing.
  auto* form = dynamic_cast<Form*>(parent());
  if (form && !form->isDisposed()) form->close();
}
