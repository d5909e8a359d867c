#pragma once
// The skinned drop-down: the skin's "dropdown" element with the
// "dropdownglyph" arrow at its right end, opening a skinned list.
#include "gui/widgets/std_dropdown.h"

class List;
class TSkinPixmapPersistent;

class Dropdown : public TStdDropdown {
  Q_OBJECT(Dropdown, TStdDropdown)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void drawSelf() override;
  TStdList* createList() override;
  void mouseUp(uint8_t button, uint8_t shift, float x, float y) override;

  TSkinPixmapPersistent* pixmap() const { return pixmap_; }
  TSkinPixmapPersistent* pixmapGlyph() const { return pixmapGlyph_; }
  // Copy the given description into the own pixmaps.
  void setPixmap(TSkinPixmapPersistent* value);
  void setPixmapGlyph(TSkinPixmapPersistent* value);
  // The list's background, selected-entry and entry pixmaps; the setters
  // copy into the list's own.
  TSkinPixmapPersistent* pixmapList() const;
  TSkinPixmapPersistent* pixmapSelection() const;
  TSkinPixmapPersistent* pixmapItem() const;
  void setPixmapList(TSkinPixmapPersistent* value);
  void setPixmapSelection(TSkinPixmapPersistent* value);
  void setPixmapItem(TSkinPixmapPersistent* value);

 protected:
  // The background and the arrow, glyphWidth x glyphHeight, at the right end.
  void drawFrame(float glyphWidth, float glyphHeight);
  List* skinnedList() const;

 private:
  TSkinPixmapPersistent* pixmap_ = nullptr;
  TSkinPixmapPersistent* pixmapGlyph_ = nullptr;
};
