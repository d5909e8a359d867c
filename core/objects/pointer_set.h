#pragma once
// A set of pointers kept in one flat table (open addressing, linear probing):
// adding or removing a member allocates nothing except when the table grows,
// and a lookup never follows a pointer, so it answers for addresses whose
// objects are gone. Holds the program's live objects, one entry per object.
#include <cstddef>
#include <cstdint>
#include <vector>

class PointerSet {
 public:
  size_t size() const { return size_; }

  bool contains(const void* item) const {
    if (!item || slots_.empty()) return false;
    for (size_t i = home(item);; i = next(i)) {
      if (slots_[i] == item) return true;
      if (!slots_[i]) return false;
    }
  }

  // Answers whether the item was new.
  bool insert(const void* item) {
    if (!item) return false;
    if ((size_ + 1) * 4 > slots_.size() * 3) grow();
    size_t i = home(item);
    for (; slots_[i]; i = next(i)) {
      if (slots_[i] == item) return false;
    }
    slots_[i] = item;
    ++size_;
    return true;
  }

  // Answers whether the item was a member.
  bool erase(const void* item) {
    if (!item || slots_.empty()) return false;
    size_t i = home(item);
    for (; slots_[i] != item; i = next(i)) {
      if (!slots_[i]) return false;
    }
    // Backward shift: the entries after the hole that may move into it do,
    // so probing still stops only at a real gap (no tombstones to pile up).
    for (size_t hole = i, j = next(i);; j = next(j)) {
      if (!slots_[j]) {
        slots_[hole] = nullptr;
        break;
      }
      const size_t want = home(slots_[j]);
      // Moves back when its home does not lie in (hole, j] cyclically.
      if (((j - want) & mask()) >= ((j - hole) & mask())) {
        slots_[hole] = slots_[j];
        hole = j;
      }
    }
    --size_;
    return true;
  }

 private:
  size_t mask() const { return slots_.size() - 1; }
  size_t next(size_t i) const { return (i + 1) & mask(); }
  size_t home(const void* item) const {
    // Objects made one after another lie one after another in memory: their
    // slots follow one another too, so adding and removing them in order
    // walks the table the way the memory is walked, not at random. Each
    // stretch of addresses as long as the table covers starts at a scattered
    // place, so stretches that alias do not pile up on the same slots.
    const uintptr_t unit = reinterpret_cast<uintptr_t>(item) >> 4;
    const uintptr_t stretch = unit / slots_.size();
    return static_cast<size_t>(unit + stretch * 0x9E3779B97F4A7C15ULL) & mask();
  }

  void grow() {
    std::vector<const void*> old;
    old.swap(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, nullptr);
    size_ = 0;
    for (const void* item : old) {
      if (item) insert(item);
    }
  }

  std::vector<const void*> slots_;
  size_t size_ = 0;
};
