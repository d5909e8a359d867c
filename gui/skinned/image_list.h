#pragma once
// A skinned list of pixmap files: each entry shows its picture on the
// entry's element, the pixmap loaded on first use and kept for the entry's
// file name.
#include <map>

#include "gui/skinned/list.h"

class TPixmapPersistent;

class ImageList : public List {
  Q_OBJECT(ImageList, List)

 public:
  void Destroy() override;
  void paintItem(int32_t index, const TRectF& rect) override;

 private:
  TPixmapPersistent* pictureOf(const WideString& fileName);

  // By file name, so that entries replaced or reordered never leave a
  // picture behind or share one twice; freed with the list.
  std::map<WideString, TPixmapPersistent*> pictures_;
};
