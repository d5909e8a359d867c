#include "engine/media/font_object.h"

#include "engine/media/font_persistent.h"

const ClassInfo& Font::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<Font>("Font").property("font", &Font::font, &Font::setFont).build();
  return info;
}

void Font::Create(TObject* owner) {
  // The description exists before the inherited construction, which may
  // read the object's stored properties into it.
  auto* ownerObject = dynamic_cast<BaseObject*>(owner);
  font_ = New<TFontPersistent>(ownerObject ? ownerObject->applet() : nullptr);
  inherited::Create(owner);
}

void Font::Destroy() {
  FreeAndNil(font_);
  inherited::Destroy();
}

void Font::setFont(TFontPersistent* value) {
  if (value && font_) font_->Assign(*value);
}
