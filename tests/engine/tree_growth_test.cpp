// Building and freeing a wide tree touches each object a fixed number of
// times: a new child does not disturb its siblings, and a destruction reaches
// only the objects that hear every removal or watch the one removed.
#include <gtest/gtest.h>

#include "engine/container.h"
#include "tests/support/largest_allocation.h"

namespace {
int invalidations = 0;
int removalsHeard = 0;

class Counted : public VisualObject {
 public:
  void invalidateTransform() override {
    ++invalidations;
    VisualObject::invalidateTransform();
  }
  void objectRemoved(BaseObject* object) override {
    ++removalsHeard;
    VisualObject::objectRemoved(object);
  }
};

TEST(TreeGrowth, AWideTreeIsBuiltAndFreedInLinearWork) {
  constexpr int kChildren = 3000;
  invalidations = removalsHeard = 0;
  auto* root = New<Container>();
  BaseObject* shared = New<BaseObject>();  // a material every child caches
  std::vector<Counted*> children;
  for (int i = 0; i < kChildren; ++i) {
    children.push_back(New<Counted>(root));
    children.back()->setCachedMaterial(shared);
  }
  EXPECT_EQ(invalidations, kChildren);  // each new child once, never its siblings
  EXPECT_EQ(root->count(), kChildren);

  // A child freed on its own is heard by the container, not by its siblings.
  children[10]->Free();
  EXPECT_EQ(removalsHeard, 0);
  EXPECT_EQ(root->count(), kChildren - 1);
  EXPECT_EQ(root->childAt(10), children[11]);

  // The cached material's end reaches exactly the children that hold it.
  shared->Free();
  EXPECT_EQ(removalsHeard, kChildren - 1);
  for (int i : {0, 11, kChildren - 1}) EXPECT_EQ(children[static_cast<size_t>(i)]->cachedMaterial(), nullptr);

  removalsHeard = 0;
  const size_t before = BaseObject::liveObjectCount();
  root->Free();
  EXPECT_EQ(removalsHeard, 0);
  EXPECT_EQ(BaseObject::liveObjectCount(), before - kChildren);
}

// Reading and freeing large trees is bound by the memory each object takes:
// an object is one block, no handler text is kept inline until one is set,
// and neither the list of live objects nor a removal notice allocates.
TEST(TreeGrowth, AnObjectIsOneSmallBlockAndItsEndAllocatesNothing) {
  EXPECT_LE(sizeof(VisualObject), 512u);
  if (!WatchLargestAllocation()) GTEST_SKIP() << "allocations are watched only under the address sanitizer";
  constexpr size_t kChildren = 2000;
  auto* root = New<Container>();  // hears every removal
  ResetAllocationCount();
  for (size_t i = 0; i < kChildren; ++i) New<VisualObject>(root);
  // The objects, the child list's and the live table's growth.
  EXPECT_LE(AllocationCount(), kChildren + 40);
  ResetAllocationCount();
  root->Free();
  EXPECT_EQ(AllocationCount(), 0u);
}
}  // namespace
