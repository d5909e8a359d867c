#include "core/objects/object_collection.h"

#include <algorithm>
#include <map>

#include "core/objects/class_builder.h"

const ClassInfo& TGCollectionItem::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TGCollectionItem>("TGCollectionItem").build();
  return info;
}

const ClassInfo& TGCollection::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TGCollection>("TGCollection").readOnly("count", &TGCollection::count)
                                    .stored(false)
                                    .build();
  return info;
}

TGCollection* TGCollectionItem::collection() const { return dynamic_cast<TGCollection*>(owner()); }

void TGCollectionItem::Destroy() {
  if (TGCollection* c = collection()) c->removeItem(this);
  inherited::Destroy();
}

int TGCollectionItem::index() const {
  TGCollection* c = collection();
  return c ? c->indexOf(this) : -1;
}

void TGCollection::Destroy() {
  ++updateCount_;  // no change notices while the items go
  clear();
  inherited::Destroy();
}

const ClassInfo& TGCollection::itemClass() const { return TGCollectionItem::staticClassInfo(); }

TGCollectionItem* TGCollection::add() {
  const ClassInfo& cls = itemClass();
  if (!cls.inheritsFrom(TGCollectionItem::staticClassInfo())) return nullptr;
  auto* created = static_cast<TGCollectionItem*>(cls.create(this));
  if (!created) return nullptr;
  items_.push_back(created);
  if (!updating()) changed();
  return created;
}

void TGCollection::clear() {
  if (items_.empty()) return;
  std::vector<TGCollectionItem*> doomed;
  doomed.swap(items_);
  for (TGCollectionItem* i : doomed) i->Free();
  if (!updating()) changed();
}

void TGCollection::endUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) changed();
}

TGCollectionItem* TGCollection::item(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return items_[static_cast<size_t>(index)];
}

int TGCollection::indexOf(const TGCollectionItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TGCollection::removeItem(TGCollectionItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  if (!updating()) changed();
}

const ClassInfo* CollectionItemClassOf(const ClassInfo& collectionClass) {
  if (!collectionClass.inheritsFrom(TGCollection::staticClassInfo())) return nullptr;
  // Item classes never change for a collection class, so one transient
  // instance per class answers for all later asks.
  static std::map<const ClassInfo*, const ClassInfo*> known;
  auto found = known.find(&collectionClass);
  if (found != known.end()) return found->second;
  const ClassInfo* result = nullptr;
  if (TObject* probe = collectionClass.create(nullptr)) {
    result = &static_cast<TGCollection*>(probe)->itemClass();
    probe->Free();
  }
  known[&collectionClass] = result;
  return result;
}
