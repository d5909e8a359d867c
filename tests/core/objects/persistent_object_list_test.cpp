// The growable array of object pointers: growth, packing, and which
// operations free the objects it holds.
#include "core/objects/persistent_object_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text/exceptions.h"

namespace {

// An object that records its destruction in a shared journal.
class Tracked : public TObject {
 public:
  void setUp(std::vector<int>* journal, int id) {
    journal_ = journal;
    id_ = id;
  }
  void Destroy() override {
    journal_->push_back(id_);
    TObject::Destroy();
  }

 private:
  std::vector<int>* journal_ = nullptr;
  int id_ = 0;
};

Tracked* MakeTracked(std::vector<int>& journal, int id) {
  Tracked* object = New<Tracked>();
  object->setUp(&journal, id);
  return object;
}

}  // namespace

TEST(PersistentObjectList, AddGrowsByTheStepAndAnswersTheIndex) {
  TPersistentObjectList* list = New<TPersistentObjectList>();
  EXPECT_EQ(list->growthStep(), 16);
  EXPECT_EQ(list->capacity(), 0);
  std::vector<TObject*> objects;
  for (int i = 0; i < 17; ++i) {
    objects.push_back(New<TObject>());
    EXPECT_EQ(list->add(objects.back()), i);
    EXPECT_EQ(list->capacity(), i < 16 ? 16 : 32);
  }
  EXPECT_EQ(list->count(), 17);
  EXPECT_EQ(list->get(16), objects[16]);
  EXPECT_EQ(list->indexOf(objects[3]), 3);
  EXPECT_EQ(list->indexOf(nullptr), -1);
  list->setGrowthStep(0);  // taken as 1, so add still makes room
  list->setCapacity(17);
  list->add(nullptr);
  EXPECT_EQ(list->capacity(), 18);
  list->Free();  // drops the pointers, frees nothing
  for (TObject* object : objects) object->Free();
}

TEST(PersistentObjectList, CapacityCountAndPack) {
  TPersistentObjectList* list = New<TPersistentObjectList>();
  TObject* a = New<TObject>();
  TObject* b = New<TObject>();
  list->setCount(5);
  EXPECT_EQ(list->count(), 5);
  EXPECT_EQ(list->get(4), nullptr);
  list->put(1, a);
  list->put(3, b);
  list->pack();
  EXPECT_EQ(list->count(), 2);
  EXPECT_EQ(list->get(0), a);
  EXPECT_EQ(list->get(1), b);

  list->setCapacity(1);  // cuts the count
  EXPECT_EQ(list->count(), 1);
  EXPECT_EQ(list->capacity(), 1);
  // Places that come back into use read nil, not what stood there before.
  list->setCount(3);
  EXPECT_EQ(list->get(0), a);
  EXPECT_EQ(list->get(1), nullptr);
  list->put(2, b);
  list->setCount(1);
  list->setCount(3);
  EXPECT_EQ(list->get(2), nullptr);

  list->clearList();
  EXPECT_EQ(list->count(), 0);
  EXPECT_EQ(list->capacity(), 0);
  list->Free();
  a->Free();
  b->Free();
}

TEST(PersistentObjectList, BadIndexesRaiseListIndexError) {
  TPersistentObjectList* list = New<TPersistentObjectList>();
  list->add(nullptr);
  try {
    list->get(1);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_EQ(std::string(e.what()), "List index error");
  }
  EXPECT_THROW(list->get(-1), EListError);
  EXPECT_THROW(list->put(1, nullptr), EListError);
  EXPECT_THROW(list->setCount(-1), EListError);
  EXPECT_THROW(list->setCapacity(-5), EListError);
  EXPECT_EQ(list->count(), 1);
  list->Free();
}

TEST(PersistentObjectList, FreeItemsGoesFromLastToFirst) {
  std::vector<int> journal;
  TPersistentObjectList* list = New<TPersistentObjectList>();
  list->add(MakeTracked(journal, 1));
  list->add(nullptr);
  list->add(MakeTracked(journal, 2));
  list->add(MakeTracked(journal, 3));
  list->freeItems();
  EXPECT_EQ(journal, (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(list->count(), 4);  // the places stay, now nil
  EXPECT_EQ(list->get(0), nullptr);
  list->freeItems();  // a second pass frees nothing twice
  EXPECT_EQ(journal.size(), 3u);

  list->add(MakeTracked(journal, 4));
  list->freeItemsAndClear();
  EXPECT_EQ(journal.back(), 4);
  EXPECT_EQ(list->count(), 0);

  list->add(MakeTracked(journal, 5));
  list->freeAll();  // frees the object and the list itself
  EXPECT_EQ(journal.back(), 5);
}
