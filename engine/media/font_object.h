#pragma once
// A named font of the applet's tree. Font descriptions name it through their
// `fontName`; the applet makes "default" and "system" when its file has none.
#include "core/objects/base_object.h"

class TFontPersistent;

class Font : public BaseObject {
  Q_OBJECT(Font, BaseObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  TFontPersistent* font() const { return font_; }
  // Copies the given description into the owned one.
  void setFont(TFontPersistent* value);

 private:
  TFontPersistent* font_ = nullptr;
};
