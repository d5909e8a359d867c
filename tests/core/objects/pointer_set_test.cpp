// The flat set of live objects answers membership for any address, also
// after removals from the middle of a run of colliding entries.
#include "core/objects/pointer_set.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {
const void* Address(uintptr_t value) { return reinterpret_cast<const void*>(value); }

TEST(PointerSet, MembershipHoldsThroughGrowthAndRemovals) {
  struct Case {
    const char* layout;
    uintptr_t first, step;
  };
  // Neighbours in memory, object-sized strides, and strides that alias on a
  // power-of-two table (every entry of a stretch lands on the same slot).
  const Case cases[] = {{"adjacent", 0x10000, 16}, {"objects", 0x7f0000001000, 784}, {"aliasing", 0x1000, 1u << 22}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout);
    PointerSet set;
    std::vector<const void*> items;
    for (uintptr_t i = 0; i < 5000; ++i) items.push_back(Address(c.first + i * c.step));
    for (const void* item : items) EXPECT_TRUE(set.insert(item));
    EXPECT_FALSE(set.insert(items[17]));
    EXPECT_EQ(set.size(), items.size());
    // Every third goes, from the back, the others stay.
    for (size_t i = items.size(); i-- > 0;) {
      if (i % 3 == 0) {
        EXPECT_TRUE(set.erase(items[i]));
      }
    }
    EXPECT_FALSE(set.erase(items[0]));
    for (size_t i = 0; i < items.size(); ++i) ASSERT_EQ(set.contains(items[i]), i % 3 != 0) << i;
    EXPECT_EQ(set.size(), items.size() - (items.size() + 2) / 3);
    EXPECT_FALSE(set.contains(Address(c.first + 3)));
    EXPECT_FALSE(set.contains(nullptr));
  }
}
}  // namespace
