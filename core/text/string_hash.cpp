#include "core/text/string_hash.h"

#include <algorithm>

TStringHash::TStringHash(int bucketCount) : buckets_(static_cast<size_t>(std::max(bucketCount, 1))) {}

uint32_t TStringHash::HashOf(std::u16string_view key) {
  uint32_t h = 0;
  for (char16_t unit : key) h = ((h << 2) | (h >> 30)) ^ static_cast<uint32_t>(unit);
  return h;
}

void TStringHash::Insert(std::u16string_view key, int32_t value) {
  buckets_[bucketOf(key)].push_front(Entry{WideString(key), value});
}

int32_t TStringHash::Lookup(std::u16string_view key) const {
  for (const Entry& entry : buckets_[bucketOf(key)]) {
    if (entry.key == key) return entry.value;
  }
  return -1;
}

void TStringHash::RemoveAll() {
  for (auto& bucket : buckets_) bucket.clear();
}
