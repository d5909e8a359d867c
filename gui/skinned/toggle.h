#pragma once
// The skinned toggle: the skin's "button" element under the shown entry.
#include "gui/widgets/std_toggle.h"

class TSkinPixmapPersistent;

class Toggle : public TStdToggle {
  Q_OBJECT(Toggle, TStdToggle)

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
