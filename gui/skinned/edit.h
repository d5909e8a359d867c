#pragma once
// The skinned edit: the skin's "edit" element under the text and the
// selection bar, with a wider inset than the plain edit.
#include "gui/widgets/std_edit.h"

class TSkinPixmapPersistent;

class Edit : public TStdEdit {
  Q_OBJECT(Edit, TStdEdit)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void drawSelf() override;

  TSkinPixmapPersistent* pixmap() const { return pixmap_; }
  // Copies the given description into the own pixmap.
  void setPixmap(TSkinPixmapPersistent* value);

 private:
  void drawSelectionBar();

  TSkinPixmapPersistent* pixmap_ = nullptr;
};
