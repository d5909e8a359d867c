#pragma once
// The skinned check box: the skin's "checked" or "unchecked" element as its
// square, its text beside it.
#include "gui/widgets/std_check_box.h"

class TSkinPixmapPersistent;

class Checkbox : public TStdCheckBox {
  Q_OBJECT(Checkbox, TStdCheckBox)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void drawSelf() override;

  TSkinPixmapPersistent* pixmapChecked() const { return pixmapChecked_; }
  TSkinPixmapPersistent* pixmapUnchecked() const { return pixmapUnchecked_; }
  // Each copies the given description into the own pixmap.
  void setPixmapChecked(TSkinPixmapPersistent* value);
  void setPixmapUnchecked(TSkinPixmapPersistent* value);

 private:
  TSkinPixmapPersistent* pixmapChecked_ = nullptr;
  TSkinPixmapPersistent* pixmapUnchecked_ = nullptr;
};
