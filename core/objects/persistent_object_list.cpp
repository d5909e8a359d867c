#include "core/objects/persistent_object_list.h"

#include <algorithm>

#include "core/text/exceptions.h"

void TPersistentObjectList::Create(TObject* owner) {
  inherited::Create(owner);
  growthStep_ = 16;
}

int TPersistentObjectList::add(TObject* object) {
  if (count_ == capacity()) items_.resize(items_.size() + static_cast<size_t>(growthStep_), nullptr);
  items_[static_cast<size_t>(count_)] = object;
  return count_++;
}

void TPersistentObjectList::setCapacity(int capacity) {
  if (capacity < 0) indexError();
  items_.resize(static_cast<size_t>(capacity), nullptr);
  items_.shrink_to_fit();
  count_ = std::min(count_, capacity);
}

void TPersistentObjectList::setCount(int count) {
  if (count < 0) indexError();
  if (count > capacity()) items_.resize(static_cast<size_t>(count), nullptr);
  // Places that come back into use after a shrink must not show old pointers.
  std::fill(items_.begin() + std::min(count_, count), items_.begin() + count, nullptr);
  count_ = count;
}

void TPersistentObjectList::pack() {
  auto end = items_.begin() + count_;
  auto kept = std::remove(items_.begin(), end, nullptr);
  std::fill(kept, end, nullptr);
  count_ = static_cast<int32_t>(kept - items_.begin());
}

void TPersistentObjectList::clearList() {
  items_.clear();
  items_.shrink_to_fit();
  count_ = 0;
}

void TPersistentObjectList::freeItems() {
  for (int i = count_ - 1; i >= 0; --i) {
    // An object's destruction may take itself or others out of this list.
    if (i >= count_) continue;
    TObject* object = items_[static_cast<size_t>(i)];
    items_[static_cast<size_t>(i)] = nullptr;
    if (object) object->Free();
  }
}

void TPersistentObjectList::freeItemsAndClear() {
  freeItems();
  clearList();
}

void TPersistentObjectList::freeAll() {
  freeItemsAndClear();
  Free();
}

void TPersistentObjectList::indexError() const { throw EListError("List index error"); }

TObject* TPersistentObjectList::get(int index) const {
  if (!validIndex(index)) indexError();
  return items_[static_cast<size_t>(index)];
}

void TPersistentObjectList::put(int index, TObject* object) {
  if (!validIndex(index)) indexError();
  items_[static_cast<size_t>(index)] = object;
}

int TPersistentObjectList::indexOf(const TObject* object) const {
  for (int i = 0; i < count_; ++i) {
    if (items_[static_cast<size_t>(i)] == object) return i;
  }
  return -1;
}

void TPersistentObjectList::Destroy() {
  clearList();
  inherited::Destroy();
}
