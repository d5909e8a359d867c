#pragma once
// The skinned push button: the skin's "button" element under its text.
#include "gui/widgets/std_button.h"

class TSkinPixmapPersistent;

class Button : public TStdButton {
  Q_OBJECT(Button, TStdButton)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void drawSelf() override;

  TSkinPixmapPersistent* pixmap() const { return pixmap_; }
  // Copies the given description into the own pixmap.
  void setPixmap(TSkinPixmapPersistent* value);

 private:
  TSkinPixmapPersistent* pixmap_ = nullptr;
};
