#pragma once
// The skinned list: the skin's "edit" element as its background, each entry
// on the "item" element ("button" when selected) with its text centred, and
// entries from `enabledCount` on covered by the "empty" element.
#include "gui/widgets/std_list.h"

class TSkinPixmapPersistent;

class List : public TStdList {
  Q_OBJECT(List, TStdList)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  TSkinPixmapPersistent* pixmap() const { return pixmap_; }
  TSkinPixmapPersistent* pixmapSelection() const { return pixmapSelection_; }
  TSkinPixmapPersistent* pixmapItem() const { return pixmapItem_; }
  TSkinPixmapPersistent* pixmapDisabled() const { return pixmapDisabled_; }
  // Each copies the given description into the own pixmap.
  void setPixmap(TSkinPixmapPersistent* value);
  void setPixmapSelection(TSkinPixmapPersistent* value);
  void setPixmapItem(TSkinPixmapPersistent* value);
  void setPixmapDisabled(TSkinPixmapPersistent* value);
  // Entries from this index on are drawn disabled; 0 or less: none.
  int32_t enabledCount() const { return enabledCount_; }
  void setEnabledCount(int32_t value);

 protected:
  void drawBackground() override;
  void drawRow(int32_t index, const TRectF& rect) override;
  // The "item" or "button" element under an entry.
  void paintItemBackground(int32_t index, const TRectF& rect) override;
  void paintItemText(int32_t index, const TRectF& rect) override;

 private:
  TSkinPixmapPersistent* pixmap_ = nullptr;
  TSkinPixmapPersistent* pixmapSelection_ = nullptr;
  TSkinPixmapPersistent* pixmapItem_ = nullptr;
  TSkinPixmapPersistent* pixmapDisabled_ = nullptr;
  int32_t enabledCount_ = 10;
};
