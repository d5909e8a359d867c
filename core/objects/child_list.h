#pragma once
// The ordered child list of a tree node. A plain vector, except that taking
// the first item costs nothing: freeing a node's children takes them from the
// front one by one (each stays listed until its turn, as handlers may look),
// which a vector would make quadratic in the number of children. Nothing is
// allocated for a node without children.
#include <cstddef>
#include <vector>

class BaseObject;

class ChildList {
 public:
  using iterator = BaseObject**;
  using const_iterator = BaseObject* const*;

  size_t size() const { return items_.size() - head_; }
  bool empty() const { return size() == 0; }
  BaseObject*& operator[](size_t index) { return items_[head_ + index]; }
  BaseObject* operator[](size_t index) const { return items_[head_ + index]; }
  BaseObject* front() const { return items_[head_]; }

  iterator begin() { return items_.data() + head_; }
  iterator end() { return items_.data() + items_.size(); }
  const_iterator begin() const { return items_.data() + head_; }
  const_iterator end() const { return items_.data() + items_.size(); }

  void push_back(BaseObject* item) { items_.push_back(item); }
  void insert(size_t index, BaseObject* item) {
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(head_ + index), item);
  }
  void erase(size_t index) {
    if (index == 0) {
      popFront();
    } else {
      items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(head_ + index));
    }
  }
  // A copy of the items, for walks during which the list may change.
  std::vector<BaseObject*> snapshot() const { return std::vector<BaseObject*>(begin(), end()); }

 private:
  void popFront() {
    ++head_;
    if (head_ == items_.size()) {
      items_.clear();
      head_ = 0;
    } else if (head_ >= 64 && head_ * 2 >= items_.size()) {
      // Dropping the taken front now and then keeps each take O(1) on average.
      items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(head_));
      head_ = 0;
    }
  }

  std::vector<BaseObject*> items_;
  size_t head_ = 0;
};
