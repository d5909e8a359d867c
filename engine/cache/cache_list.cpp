#include "engine/cache/cache_list.h"

#include "core/objects/wide_strings.h"

TCacheList::TCacheList() : names_(New<THashedStringList>()) {}

TCacheList::~TCacheList() { FreeAndNil(names_); }

int TCacheList::count() const { return names_->count(); }

int TCacheList::indexOfKey(const WideString& key) { return names_->indexOf(key); }

int TCacheList::indexOfResource(const void* resource) const {
  if (!resource) return -1;
  const intptr_t wanted = reinterpret_cast<intptr_t>(resource);
  for (int i = 0; i < count(); ++i) {
    if (names_->getObject(i).bits() == wanted) return i;
  }
  return -1;
}

WideString TCacheList::keyAt(int index) const { return names_->get(index); }

void* TCacheList::resourceAt(int index) const { return reinterpret_cast<void*>(names_->getObject(index).bits()); }

int32_t TCacheList::useCountOf(const void* resource) const {
  int index = indexOfResource(resource);
  return index < 0 ? 0 : useCountAt(index);
}

int TCacheList::add(const WideString& key, void* resource) {
  int index = names_->addObject(key, ItemObject(resource));
  useCounts_.insert(useCounts_.begin() + index, 0);
  return index;
}

void TCacheList::removeAt(int index) {
  names_->Delete(index);
  useCounts_.erase(useCounts_.begin() + index);
}

void TCacheList::clear() {
  names_->clear();
  useCounts_.clear();
}
