#pragma once
// Small component classes that publish one property of every kind, used to
// drive the object streams in tests, fuzz targets and the benchmark. Header
// only, so that the fuzz and benchmark programs can register them too.
#include <string>
#include <vector>

#include "core/objects/class_builder.h"
#include "core/objects/class_registry.h"
#include "core/objects/component.h"
#include "core/objects/object_collection.h"
#include "core/resources/stream.h"
#include "core/streams/object_reader.h"
#include "core/streams/object_writer.h"
#include "core/system/log.h"
#include "tests/support/log_capture.h"

enum TTestColor { tcRed, tcGreen, tcBlue, tcYellow };
Q_DECLARE_ENUM(TTestColor)
inline Q_DEFINE_ENUM(TTestColor, "tcRed", "tcGreen", "tcBlue", "tcYellow")
using TTestColors = SetOf<TTestColor>;

// A nested persistent: written as "position.x", "position.y".
class TTestPoint : public TSomePersistent {
  Q_OBJECT(TTestPoint, TSomePersistent)

 public:
  float x = 0;
  float y = 0;
};

inline const ClassInfo& TTestPoint::staticClassInfo() {
  static const ClassInfo info =
      ClassBuilder<TTestPoint>("TTestPoint").property("x", &TTestPoint::x).property("y", &TTestPoint::y).build();
  return info;
}

// A nested persistent that stores a custom and a binary property of its own.
class TTestBlob : public TSomePersistent {
  Q_OBJECT(TTestBlob, TSomePersistent)

 public:
  int32_t level = 0;
  std::string custom;          // stored as the custom property "customText"
  std::vector<uint8_t> bytes;  // stored as the binary property "data"

  void DefineProperties(TGFiler* filer) override;
};

// An item of the test collection.
class TTestItem : public TGCollectionItem {
  Q_OBJECT(TTestItem, TGCollectionItem)

 public:
  int32_t value = 0;
  WideString caption;
};

inline const ClassInfo& TTestItem::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TTestItem>("TTestItem")
                                    .property("value", &TTestItem::value)
                                    .defaultValue(0)
                                    .property("caption", &TTestItem::caption)
                                    .build();
  return info;
}

class TTestItems : public TGCollection {
  Q_OBJECT(TTestItems, TGCollection)

 public:
  const ClassInfo& itemClass() const override { return TTestItem::staticClassInfo(); }
  TTestItem* at(int i) const { return static_cast<TTestItem*>(item(i)); }
  TTestItem* addItem(int32_t value, const WideString& caption) {
    auto* i = static_cast<TTestItem*>(add());
    i->value = value;
    i->caption = caption;
    return i;
  }
};

inline const ClassInfo& TTestItems::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TTestItems>("TTestItems").build();
  return info;
}

// A sub-component: a component owned by its node and written with the
// node's properties ("part.level").
class TTestPart : public TGComponent {
  Q_OBJECT(TTestPart, TGComponent)

 public:
  int32_t level = 0;
};

inline const ClassInfo& TTestPart::staticClassInfo() {
  static const ClassInfo info =
      ClassBuilder<TTestPart>("TTestPart").property("level", &TTestPart::level).defaultValue(0).build();
  return info;
}

// Order in which loaded hooks ran, for the tests.
inline std::vector<std::string>& TestLoadedOrder() {
  static std::vector<std::string> order;
  return order;
}

// A node of a plain component tree: children are the components it owns.
class TTestNode : public TGComponent {
  Q_OBJECT(TTestNode, TGComponent)

 public:
  void Create(TObject* owner) override {
    inherited::Create(owner);
    position_ = New<TTestPoint>(this);
    blob_ = New<TTestBlob>(this);
    part_ = New<TTestPart>(this);
    part_->setComponentStyle(csSubComponent);
  }
  void Destroy() override {
    FreeAndNil(position_);
    FreeAndNil(blob_);
    inherited::Destroy();
  }
  void Loaded() override {
    inherited::Loaded();
    TestLoadedOrder().push_back(WideToUtf8(name()));
  }

  void GetChildren(const GetChildProc& proc, TGComponent*) override {
    for (int i = 0; i < ComponentCount(); ++i) {
      TGComponent* c = GetComponent(i);
      if (!(c->componentStyle() & csSubComponent)) proc(c);
    }
  }
  TGComponent* GetChildOwner() override { return this; }
  void SetChildOrder(TGComponent* child, int order) override { childOrders.push_back({child, order}); }

  // Published accessors.
  TTestPoint* position() const { return position_; }
  void setPosition(TTestPoint* p) {
    if (p) {
      position_->x = p->x;
      position_->y = p->y;
    }
  }
  TTestBlob* blob() const { return blob_; }
  void setBlob(TTestBlob*) {}
  TTestPart* part() const { return part_; }
  int32_t fixedValue() const { return 42; }
  void ping() { ++pings; }
  void pong() {}

  int32_t number = 0;
  float weight = 0;
  TTestColor color = tcRed;
  TTestColors colors;
  bool visible = true;
  WideString caption;
  AnsiString fileName;
  int64_t big = 0;
  Variant extra;
  TTestNode* link = nullptr;
  TGComponent* other = nullptr;
  MethodRef onPing;
  int32_t hidden = 0;
  int32_t maybe = 0;
  bool storeMaybe = false;
  int pings = 0;
  std::vector<std::pair<TGComponent*, int>> childOrders;

  bool maybeStored() const { return storeMaybe; }

 private:
  TTestPoint* position_ = nullptr;
  TTestBlob* blob_ = nullptr;
  TTestPart* part_ = nullptr;
};

inline const ClassInfo& TTestNode::staticClassInfo() {
  using N = TTestNode;
  static const ClassInfo info = ClassBuilder<N>("TTestNode")
                                    .property("number", &N::number)
                                    .defaultValue(0)
                                    .property("weight", &N::weight)
                                    .property("color", &N::color)
                                    .defaultValue(tcRed)
                                    .property("colors", &N::colors)
                                    .defaultValue(0)
                                    .property("visible", &N::visible)
                                    .defaultValue(1)
                                    .property("caption", &N::caption)
                                    .property("fileName", &N::fileName)
                                    .property("big", &N::big)
                                    .defaultValue(0)
                                    .property("extra", &N::extra)
                                    .property("position", &N::position, &N::setPosition)
                                    .property("blob", &N::blob, &N::setBlob)
                                    .property("link", &N::link)
                                    .property("other", &N::other)
                                    .property("onPing", &N::onPing)
                                    .readOnly("part", &N::part)
                                    .readOnly("fixedValue", &N::fixedValue)
                                    .property("hidden", &N::hidden)
                                    .stored(false)
                                    .property("maybe", &N::maybe)
                                    .storedWhen(&N::maybeStored)
                                    .method("ping", &N::ping)
                                    .method("pong", &N::pong)
                                    .build();
  return info;
}

// A node with a collection (an empty collection is still written).
class TTestList : public TTestNode {
  Q_OBJECT(TTestList, TTestNode)

 public:
  void Create(TObject* owner) override {
    inherited::Create(owner);
    items_ = New<TTestItems>(this);
  }
  void Destroy() override {
    FreeAndNil(items_);
    inherited::Destroy();
  }
  TTestItems* items() const { return items_; }
  void setItems(TTestItems*) {}

 private:
  TTestItems* items_ = nullptr;
};

inline const ClassInfo& TTestList::staticClassInfo() {
  static const ClassInfo info =
      ClassBuilder<TTestList>("TTestList").property("items", &TTestList::items, &TTestList::setItems).build();
  return info;
}

// A descendant under the name the golden streams use.
class TTestForm : public TTestNode {
  Q_OBJECT(TTestForm, TTestNode)
};

inline const ClassInfo& TTestForm::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TTestForm>("Form").build();
  return info;
}

inline void TTestBlob::DefineProperties(TGFiler* filer) {
  filer->DefineProperty(
      "customText", [this](TGReader& reader) { custom = reader.fetchText(); },
      [this](TGWriter& writer) { writer.emitAnsiText(custom); }, !custom.empty());
  filer->DefineBinaryProperty(
      "data",
      [this](TStream& s) {
        bytes.assign(static_cast<size_t>(s.Size()), 0);
        s.Read(bytes.data(), s.Size());
      },
      [this](TStream& s) { s.Write(bytes.data(), static_cast<int64_t>(bytes.size())); }, !bytes.empty());
}

inline const ClassInfo& TTestBlob::staticClassInfo() {
  static const ClassInfo info =
      ClassBuilder<TTestBlob>("TTestBlob").property("level", &TTestBlob::level).defaultValue(0).build();
  return info;
}

inline void RegisterObjectTestClasses() {
  static const bool once = [] {
    RegisterClasses({&TTestNode::staticClassInfo(), &TTestList::staticClassInfo(), &TTestForm::staticClassInfo(),
                     &TTestPart::staticClassInfo()});
    return true;
  }();
  (void)once;
}
