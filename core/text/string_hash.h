#pragma once
// A chained hash from UTF-16 keys to whole numbers: the index behind the
// hashed string list's lookups. Keys compare exactly (case-sensitive); the
// list upper-cases both sides when it wants case-insensitive lookups.
#include <cstdint>
#include <forward_list>
#include <string_view>
#include <vector>

#include "core/text/text.h"

class TStringHash {
 public:
  // A hash with the given number of buckets (at least one).
  explicit TStringHash(int bucketCount);
  TStringHash(const TStringHash&) = delete;
  TStringHash& operator=(const TStringHash&) = delete;

  // Pushes a new entry at the head of the key's bucket; an equal key already
  // there stays behind it, so lookups see the value inserted last.
  void Insert(std::u16string_view key, int32_t value);
  // The value of the first entry of the key's bucket whose key is equal; -1
  // when there is none.
  int32_t Lookup(std::u16string_view key) const;
  // Frees every entry; the buckets stay.
  void RemoveAll();

  int bucketCount() const { return static_cast<int>(buckets_.size()); }
  // h := ((h shl 2) or (h shr 30)) xor unit over the key's code units, in
  // unsigned 32-bit arithmetic, starting from 0.
  static uint32_t HashOf(std::u16string_view key);

 private:
  struct Entry {
    WideString key;
    int32_t value;
  };
  size_t bucketOf(std::u16string_view key) const { return HashOf(key) % buckets_.size(); }

  // Each bucket's chain frees its entries one after another (never by
  // recursion), so a long chain of equal keys costs no stack.
  std::vector<std::forward_list<Entry>> buckets_;
};
