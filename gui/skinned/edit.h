#pragma once
// The skinned edit: the skin's "edit" element under the text and the
// selection bar, with a wider inset than the plain edit.
#include "gui/skinned/skin_pixmap_owner.h"
#include "gui/widgets/std_edit.h"

class Edit : public SkinPixmapOwner<TStdEdit> {
  Q_OBJECT(Edit, SkinPixmapOwner<TStdEdit>)

 public:
  Edit() : inherited(u"edit") {}
  void Create(TObject* owner) override;

 protected:
  void drawBackground() override;
};
