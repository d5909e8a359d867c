#pragma once
// A growable array of object pointers owned by some other object. The list
// never frees what it holds unless asked to (freeItems and its relatives):
// destroying the list only drops the pointers.
#include <cstdint>
#include <vector>

#include "core/objects/component.h"

class TPersistentObjectList : public TSomePersistent {
 public:
  using inherited = TSomePersistent;

  void Create(TObject* owner) override;

  // Stores the object at the end, growing the capacity by the growth step
  // when full; answers the index.
  int add(TObject* object);
  // Reallocates to n places; the count is cut to n when larger.
  void setCapacity(int capacity);
  // Grows the capacity to n when needed; new entries are nil.
  void setCount(int count);
  // Removes every nil entry, keeping the order of the others.
  void pack();
  // Count 0 and capacity 0; the held objects are not freed.
  void clearList();
  // Frees every held object, last to first; their places become nil.
  void freeItems();
  void freeItemsAndClear();
  // freeItemsAndClear, then frees the list itself.
  void freeAll();
  // Raises EListError "List index error".
  [[noreturn]] void indexError() const;

  // The object at an index inside 0..count-1; any other index is an
  // indexError.
  TObject* get(int index) const;
  void put(int index, TObject* object);
  // The first index holding the object; -1 when none.
  int indexOf(const TObject* object) const;

  int count() const { return count_; }
  int capacity() const { return static_cast<int>(items_.size()); }
  int growthStep() const { return growthStep_; }
  // Steps below 1 are taken as 1, so that add always makes room.
  void setGrowthStep(int step) { growthStep_ = step < 1 ? 1 : step; }

 protected:
  void Destroy() override;

 private:
  bool validIndex(int index) const { return index >= 0 && index < count_; }

  std::vector<TObject*> items_;  // one place per unit of capacity
  int32_t count_ = 0;
  int32_t growthStep_ = 16;
};
