#pragma once
// `TGCollection`: an owned list of items of one item class, streamed as a
// collection value (tag 14) whose items carry their own published properties.
// A class publishes a collection as an object property; each collection type
// is a descendant that names its item class.
#include <vector>

#include "core/objects/component.h"

class TGCollection;

// One item of a collection; its published properties are what is stored.
class TGCollectionItem : public TSomePersistent {
  Q_OBJECT(TGCollectionItem, TSomePersistent)

 public:
  // An item freed on its own leaves its collection.
  void Destroy() override;

  // The owner given at construction is the collection.
  TGCollection* collection() const;
  // The item's place in its collection, -1 when it is in none.
  int index() const;
};

class TGCollection : public TSomePersistent {
  Q_OBJECT(TGCollection, TSomePersistent)

 public:
  void Destroy() override;

  // The class of the items `add` creates (TGCollectionItem unless a
  // descendant names its own).
  virtual const ClassInfo& itemClass() const;

  // Creates an item of the item class at the end; nil when the item class
  // cannot be built.
  TGCollectionItem* add();
  // Frees every item.
  void clear();
  void beginUpdate() { ++updateCount_; }
  void endUpdate();
  bool updating() const { return updateCount_ > 0; }

  int count() const { return static_cast<int>(items_.size()); }
  // The item at the index, or nil outside 0 .. count-1.
  TGCollectionItem* item(int index) const;
  int indexOf(const TGCollectionItem* item) const;
  // Takes an item out of the list without freeing it.
  void removeItem(TGCollectionItem* item);

 protected:
  // Called when the items changed and no update is open.
  virtual void changed() {}

 private:
  std::vector<TGCollectionItem*> items_;
  int updateCount_ = 0;
};

// The item class of a collection class, asked of a transient instance (used
// by the XML form, which types item attributes without a live collection).
// Nil when the class is no collection or cannot be built.
const ClassInfo* CollectionItemClassOf(const ClassInfo& collectionClass);
