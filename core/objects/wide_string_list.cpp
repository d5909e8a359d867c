// TWideStringList (the stored list with sorting, duplicates and change
// events) and THashedStringList (its hashed lookups).
#include <algorithm>
#include <limits>

#include "core/objects/class_builder.h"
#include "core/objects/wide_strings.h"
#include "core/text/text_helpers.h"

const ClassInfo& TWideStringList::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TWideStringList>("TWideStringList")
                                    .property("sortByObject", &TWideStringList::sortByObject_)
                                    .build();
  return info;
}

const ClassInfo& THashedStringList::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<THashedStringList>("THashedStringList").build();
  return info;
}

namespace {
const WideString kListIndexError = u"list index error";
const WideString kSortedListError = u"sorted list error";
const WideString kDuplicateString = u"Doublicate string";
constexpr int kHashBuckets = 256;
}  // namespace

// ---- TWideStringList ----------------------------------------------------------------

int TWideStringList::compareStrings(const WideString& a, const WideString& b) const {
  if (caseSensitive()) return a < b ? -1 : a == b ? 0 : 1;
  return CompareTextW(a, b);
}

WideString TWideStringList::get(int index) const {
  if (!validIndex(index)) {
    listError(kListIndexError);
    return {};
  }
  return items_[static_cast<size_t>(index)].string;
}

ItemObject TWideStringList::getObject(int index) const {
  if (!validIndex(index)) {
    listError(kListIndexError);
    return {};
  }
  return items_[static_cast<size_t>(index)].object;
}

void TWideStringList::put(int index, const WideString& s) {
  if (sorted()) listError(kSortedListError);
  if (!validIndex(index)) {
    listError(kListIndexError);
    return;
  }
  changing();
  items_[static_cast<size_t>(index)].string = s;
  changed();
}

void TWideStringList::putObject(int index, ItemObject object) {
  if (!validIndex(index)) {
    listError(kListIndexError);
    return;
  }
  changing();
  items_[static_cast<size_t>(index)].object = object;
  changed();
}

// The capacity is the list's own count of places; the memory behind it grows
// with the items actually held, so a large capacity costs nothing.
void TWideStringList::setCapacity(int capacity) {
  if (capacity < getCount()) {
    listError(kListIndexError);
    return;
  }
  capacity_ = capacity;
}

void TWideStringList::setUpdateState(bool updating) {
  if (updating) {
    changing();
  } else {
    changed();
  }
}

void TWideStringList::exchange(int index1, int index2) {
  if (!validIndex(index1) || !validIndex(index2)) {
    listError(kListIndexError);
    return;
  }
  changing();
  if (index1 != index2) std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
  changed();
}

int TWideStringList::indexOf(const WideString& s) {
  // A list sorted by object is not in string order, so only the plain scan
  // finds its strings.
  if (!sorted() || sortByObject_) return TWideStrings::indexOf(s);
  int index = 0;
  return find(s, index) ? index : -1;
}

void TWideStringList::insert(int index, const WideString& s) {
  if (sorted()) listError(kSortedListError);
  if (index < 0 || index > getCount()) {
    listError(kListIndexError);
    return;
  }
  insertItem(index, s, {});
}

int TWideStringList::add(const WideString& s) {
  int index = getCount();
  if (sorted() && !sortByObject_ && find(s, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) listError(kDuplicateString);
  }
  insertItem(index, s, {});
  return index;
}

void TWideStringList::Delete(int index) {
  if (!validIndex(index)) {
    listError(kListIndexError);
    return;
  }
  changing();
  items_.erase(items_.begin() + index);
  changed();
}

void TWideStringList::clear() {
  if (items_.empty()) return;
  changing();
  items_.clear();
  items_.shrink_to_fit();
  capacity_ = 0;
  changed();
}

void TWideStringList::changed() {
  if (updateCount() == 0 && OnChange) OnChange(this);
}

void TWideStringList::changing() {
  if (updateCount() == 0 && OnChanging) OnChanging(this);
}

bool TWideStringList::find(const WideString& s, int& index) const {
  bool found = false;
  int lo = 0;
  int hi = getCount() - 1;
  while (hi >= lo) {
    int mid = lo + (hi - lo) / 2;
    int c = CompareTextW(items_[static_cast<size_t>(mid)].string, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

bool TWideStringList::findObject(int32_t value, int& index) const {
  bool found = false;
  int lo = 0;
  int hi = getCount() - 1;
  while (hi >= lo) {
    int mid = lo + (hi - lo) / 2;
    int32_t item = items_[static_cast<size_t>(mid)].object.asInt();
    // Descending order: a smaller item lies after the value.
    int c = item == value ? 0 : item < value ? 1 : -1;
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

void TWideStringList::sort() {
  if (sorted() || getCount() < 2) return;
  changing();
  quickSort(0, getCount() - 1);
  changed();
}

void TWideStringList::Destroy() {
  OnChange = nullptr;
  OnChanging = nullptr;
  items_.clear();
  items_.shrink_to_fit();
  capacity_ = 0;
  inherited::Destroy();
}

void TWideStringList::grow() {
  int32_t delta = capacity_ > 64 ? capacity_ / 4 : capacity_ > 8 ? 16 : 4;
  capacity_ = capacity_ > std::numeric_limits<int32_t>::max() - delta ? std::numeric_limits<int32_t>::max()
                                                                       : capacity_ + delta;
}

void TWideStringList::insertItem(int index, const WideString& s, ItemObject object) {
  changing();
  if (getCount() >= capacity_) grow();
  items_.insert(items_.begin() + index, Item{s, object});
  changed();
}

// By string with CompareTextW; by object as signed 32-bit values, largest
// first.
int TWideStringList::compareForSort(int a, int b) const {
  const Item& x = items_[static_cast<size_t>(a)];
  const Item& y = items_[static_cast<size_t>(b)];
  if (!sortByObject_) return CompareTextW(x.string, y.string);
  int32_t vx = x.object.asInt();
  int32_t vy = y.object.asInt();
  return vx > vy ? -1 : vx < vy ? 1 : 0;
}

// Hoare's partition around the middle element. The smaller part is sorted by
// recursion and the larger one by the loop, so the depth stays logarithmic
// whatever order the items come in (a list may come from a hostile file).
void TWideStringList::quickSort(int lo, int hi) {
  while (lo < hi) {
    int i = lo;
    int j = hi;
    int pivot = lo + (hi - lo) / 2;
    do {
      while (compareForSort(i, pivot) < 0) ++i;
      while (compareForSort(j, pivot) > 0) --j;
      if (i <= j) {
        if (i != j) std::swap(items_[static_cast<size_t>(i)], items_[static_cast<size_t>(j)]);
        // The pivot is followed by place, since it may have moved.
        if (pivot == i) {
          pivot = j;
        } else if (pivot == j) {
          pivot = i;
        }
        ++i;
        --j;
      }
    } while (i <= j);
    if (j - lo < hi - i) {
      if (lo < j) quickSort(lo, j);
      lo = i;
    } else {
      if (i < hi) quickSort(i, hi);
      hi = j;
    }
  }
}

// ---- THashedStringList --------------------------------------------------------------

int THashedStringList::indexOf(const WideString& s) {
  updateValueHash();
  return valueHash_->Lookup(UpperCaseW(s));
}

int THashedStringList::indexOfName(const WideString& name) {
  updateNameHash();
  return nameHash_->Lookup(UpperCaseW(name));
}

// The indexes go stale before the change event runs, so a handler that looks
// an item up already sees the new content.
void THashedStringList::changed() {
  valueHashValid_ = false;
  nameHashValid_ = false;
  inherited::changed();
}

void THashedStringList::Destroy() {
  valueHash_.reset();
  nameHash_.reset();
  inherited::Destroy();
}

void THashedStringList::updateValueHash() {
  if (valueHashValid_ && valueHash_) return;
  if (valueHash_) {
    valueHash_->RemoveAll();
  } else {
    valueHash_ = std::make_unique<TStringHash>(kHashBuckets);
  }
  int n = getCount();
  for (int i = 0; i < n; ++i) valueHash_->Insert(UpperCaseW(get(i)), i);
  valueHashValid_ = true;
}

void THashedStringList::updateNameHash() {
  if (nameHashValid_ && nameHash_) return;
  if (nameHash_) {
    nameHash_->RemoveAll();
  } else {
    nameHash_ = std::make_unique<TStringHash>(kHashBuckets);
  }
  int n = getCount();
  for (int i = 0; i < n; ++i) {
    WideString item = get(i);
    size_t equals = item.find(u'=');
    if (equals != WideString::npos) nameHash_->Insert(UpperCaseW(std::u16string_view(item).substr(0, equals)), i);
  }
  nameHashValid_ = true;
}
