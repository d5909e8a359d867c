#pragma once
// A skinned list of object files: each entry's object is loaded under the
// list, hidden, and drawn turned and slowly spinning in its row.
#include "gui/skinned/list.h"

class PositionObject;

class ObjectList : public List {
  Q_OBJECT(ObjectList, List)

 public:
  void Loaded() override;
  void paintItem(int32_t index, const TRectF& rect) override;

 private:
  // Loads the entry's file under the list; nil (and nothing kept) when the
  // file does not load or holds no positioned object.
  PositionObject* loadEntry(const WideString& fileName);
};

// The uniform scale that fits an object of the bounding radius into a row of
// the item height; 1 for a radius that gives no size (0, negative or not a
// number), so that nothing is scaled to infinity.
float FitScale(int32_t itemHeight, float boundingRadius);
