#pragma once
// One shared list of the resource cache: resources filed under keys that are
// compared ignoring case (a hashed string list), each entry with the number
// of users that hold it. The list never owns its resources; the cache
// decides when one is destroyed.
#include <cstdint>
#include <vector>

#include "core/text/text.h"

class THashedStringList;

class TCacheList {
 public:
  TCacheList();
  ~TCacheList();
  TCacheList(const TCacheList&) = delete;
  TCacheList& operator=(const TCacheList&) = delete;

  int count() const;
  // The entry filed under the key; -1 when none.
  int indexOfKey(const WideString& key);
  // The entry that holds the resource; -1 for nil or a resource not held.
  int indexOfResource(const void* resource) const;

  WideString keyAt(int index) const;
  void* resourceAt(int index) const;
  template <typename T>
  T* resourceAt(int index) const {
    return static_cast<T*>(resourceAt(index));
  }
  int32_t useCountAt(int index) const { return useCounts_[static_cast<size_t>(index)]; }
  void setUseCountAt(int index, int32_t count) { useCounts_[static_cast<size_t>(index)] = count; }
  // The users of a resource; 0 when the list does not hold it.
  int32_t useCountOf(const void* resource) const;

  // Files a resource (nil allowed) under a key with no users; answers its index.
  int add(const WideString& key, void* resource);
  void removeAt(int index);
  // Forgets every entry; nothing is destroyed.
  void clear();

 private:
  THashedStringList* names_;
  std::vector<int32_t> useCounts_;
};
