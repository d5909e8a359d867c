// The binary reader: round trips of real trees, bad data, references, hooks.
#include <gtest/gtest.h>

#include <cmath>

#include "core/objects/base_object.h"
#include "core/streams/object_reader.h"
#include "tests/core/object_stream_bytes.h"
#include "tests/core/object_test_classes.h"

namespace {

class ObjectReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterObjectTestClasses();
    TestLoadedOrder().clear();
  }
  void TearDown() override {
    for (TObject* o : owned_) o->Free();
  }
  template <typename T>
  T* make(const std::string& name = "", TGComponent* owner = nullptr) {
    T* object = New<T>(owner);
    if (!name.empty()) object->SetName(W(name));
    if (!owner) owned_.push_back(object);
    return object;
  }
  TGComponent* keep(TGComponent* root) {
    if (root) owned_.push_back(root);
    return root;
  }
  TTestNode* readNode(const Bytes& bytes) { return dynamic_cast<TTestNode*>(keep(ReadTree(bytes))); }

  std::vector<TObject*> owned_;
};

// A node with every kind of property set away from its default.
TTestList* FillEverything(TTestList* node) {
  node->number = -70000;
  node->weight = 2.75f;
  node->color = tcYellow;
  node->colors = TTestColors{tcGreen, tcBlue};
  node->visible = false;
  node->caption = u"Gr\u00fc\u00dfe \u0416 \"<&>\"\n";
  node->fileName = "C:\\data\\\xE9t\xE9.wav";
  node->big = -(int64_t{1} << 40);
  node->extra = Variant(1.0 / 3.0);
  node->position()->x = -1.25f;
  node->position()->y = 1e10f;
  node->blob()->level = 9;
  node->blob()->custom = "custom";
  node->blob()->bytes = {0, 255, 7};
  node->part()->level = 77;
  node->setTag(-1);
  node->onPing = MethodRef{node, node->classInfo().findMethod("pong")};
  node->items()->addItem(1, u"one");
  node->items()->addItem(-2, u"");
  return node;
}

void ExpectSameValues(TTestList* a, TTestList* b) {
  EXPECT_EQ(a->number, b->number);
  EXPECT_EQ(a->weight, b->weight);
  EXPECT_EQ(a->color, b->color);
  EXPECT_EQ(a->colors, b->colors);
  EXPECT_EQ(a->visible, b->visible);
  EXPECT_EQ(a->caption, b->caption);
  EXPECT_EQ(a->fileName, b->fileName);
  EXPECT_EQ(a->big, b->big);
  EXPECT_EQ(a->extra, b->extra);
  EXPECT_EQ(a->position()->x, b->position()->x);
  EXPECT_EQ(a->position()->y, b->position()->y);
  EXPECT_EQ(a->blob()->level, b->blob()->level);
  EXPECT_EQ(a->blob()->custom, b->blob()->custom);
  EXPECT_EQ(a->blob()->bytes, b->blob()->bytes);
  EXPECT_EQ(a->part()->level, b->part()->level);
  EXPECT_EQ(a->tag(), b->tag());
  ASSERT_EQ(a->items()->count(), b->items()->count());
  for (int i = 0; i < a->items()->count(); ++i) {
    EXPECT_EQ(a->items()->at(i)->value, b->items()->at(i)->value);
    EXPECT_EQ(a->items()->at(i)->caption, b->items()->at(i)->caption);
  }
  EXPECT_EQ(a->onPing.method, b->onPing.method);
}

TEST_F(ObjectReaderTest, TreeRoundTripsThroughTheBinaryForm) {
  auto* root = FillEverything(make<TTestList>("Root"));
  auto* child = FillEverything(make<TTestList>("Child", root));
  auto* grand = make<TTestNode>("Grand", child);
  grand->link = root;  // "Owner"
  child->other = grand;   // "Child.Grand"
  root->link = child;     // "Child"
  const Bytes bytes = WriteTree(root);

  LogCapture log;
  auto* copy = dynamic_cast<TTestList*>(keep(ReadTree(bytes)));
  ASSERT_NE(nullptr, copy);
  EXPECT_TRUE(log.messages().empty()) << log.messages().front();
  EXPECT_EQ(u"Root", copy->name());
  ExpectSameValues(root, copy);
  EXPECT_EQ(copy, copy->onPing.object);
  ASSERT_EQ(1, copy->ComponentCount() - 1);  // the part is a sub-component
  auto* childCopy = dynamic_cast<TTestList*>(copy->FindComponent(u"Child"));
  ASSERT_NE(nullptr, childCopy);
  ExpectSameValues(child, childCopy);
  auto* grandCopy = dynamic_cast<TTestNode*>(childCopy->FindComponent(u"Grand"));
  ASSERT_NE(nullptr, grandCopy);
  EXPECT_EQ(copy, grandCopy->link);
  EXPECT_EQ(grandCopy, childCopy->other);
  EXPECT_EQ(childCopy, copy->link);
  // Loaded hooks: the root first, then each object after its own children.
  EXPECT_EQ((std::vector<std::string>{"Root", "Grand", "Child"}), TestLoadedOrder());
  EXPECT_FALSE(copy->hasState(csLoading | csReading));
  EXPECT_TRUE(grandCopy->isLoaded());
  // Writing the copy gives the same bytes.
  EXPECT_BYTES(bytes, WriteTree(copy));
}

TEST_F(ObjectReaderTest, FillsAGivenRootAndKeepsItsClass) {
  auto* source = make<TTestNode>("Main");
  source->number = 12;
  make<TTestNode>("Kid", source);
  auto* target = make<TTestForm>();
  EXPECT_EQ(target, ReadTree(WriteTree(source), target));
  EXPECT_EQ(u"Main", target->name());
  EXPECT_EQ(12, target->number);
  EXPECT_NE(nullptr, target->FindComponent(u"Kid"));
}

TEST_F(ObjectReaderTest, AGivenRootGetsAUniqueGlobalName) {
  static std::vector<std::string> taken;
  taken = {"Main", "Main_1"};
  auto hook = +[](std::string_view name) -> TGComponent* {
    for (const auto& t : taken) {
      if (t == name) return reinterpret_cast<TGComponent*>(&taken);  // any non-nil answer
    }
    return nullptr;
  };
  AddFindGlobalComponent(hook);
  auto* target = make<TTestNode>();
  ReadTree(WriteTree(make<TTestNode>("Main")), target);
  RemoveFindGlobalComponent(hook);
  EXPECT_EQ(u"Main_2", target->name());
}

TEST_F(ObjectReaderTest, ADesigningRootKeepsItsName) {
  auto* target = make<TTestNode>("Kept");
  target->SetDesigning(true);
  ReadTree(WriteTree(make<TTestNode>("Stored")), target);
  EXPECT_EQ(u"Kept", target->name());
}

TEST_F(ObjectReaderTest, AWrongSignatureIsReportedAndTheTreeStillRead) {
  auto* source = make<TTestNode>("N");
  source->number = 3;
  Bytes bytes = WriteTree(source);
  bytes[3] = '1';
  LogCapture log;
  TTestNode* copy = readNode(bytes);
  ASSERT_NE(nullptr, copy);
  EXPECT_EQ(3, copy->number);
  EXPECT_EQ((std::vector<std::string>{"(i) Invalid image"}), log.messages());
}

TEST_F(ObjectReaderTest, UnknownRootClassGivesNothing) {
  LogCapture log;
  EXPECT_EQ(nullptr, ReadTree(ByteSpell().sig().head("NoSuchClass", "x").end().end()));
  EXPECT_EQ((std::vector<std::string>{"(i) Class not found NoSuchClass"}), log.messages());
}

TEST_F(ObjectReaderTest, UnknownChildClassSkipsItsWholeRecord) {
  LogCapture log;
  TTestNode* root = readNode(ByteSpell()
                                 .sig()
                                 .head("TTestNode", "R")
                                 .end()
                                 .head("Ghost", "G")
                                 .s("number")
                                 .b({2, 1})
                                 .end()
                                 .head("TTestNode", "Inside")
                                 .end()
                                 .end()
                                 .end()
                                 .head("TTestNode", "After")
                                 .s("number")
                                 .b({2, 9})
                                 .end()
                                 .end()
                                 .end());
  ASSERT_NE(nullptr, root);
  EXPECT_EQ(nullptr, root->FindComponent(u"Inside"));
  auto* after = dynamic_cast<TTestNode*>(root->FindComponent(u"After"));
  ASSERT_NE(nullptr, after);
  EXPECT_EQ(9, after->number);
  EXPECT_EQ((std::vector<std::string>{"(i) Class not found Ghost"}), log.messages());
}

// Every kind of value, so that skipping can be checked against each tag.
std::vector<ByteSpell> OneValueOfEachTag() {
  return {
      ByteSpell().b({0}),
      ByteSpell().b({1}).b({2, 5}).text("in list").b({1, 0}).b({0}),
      ByteSpell().b({2, 0xFF}),
      ByteSpell().b({3, 1, 2}),
      ByteSpell().b({4, 1, 2, 3, 4}),
      ByteSpell().b({5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}),
      ByteSpell().text("abc"),
      ByteSpell().ident("someIdent"),
      ByteSpell().b({8}),
      ByteSpell().b({9}),
      ByteSpell().b({10}).i32(3).b({0, 0, 0}),
      ByteSpell().b({11}).s("tcRed").s("x").b({0}),
      ByteSpell().b({12}).i32(2).raw("ab"),
      ByteSpell().b({13}),
      ByteSpell().b({14, 2, 4, 1}).s("value").b({2, 1}).b({0}).b({1, 0}).b({0}),
      ByteSpell().b({15}).f32(1.0f),
      ByteSpell().b({16}).i64(10000),
      ByteSpell().b({17}).f64(2.0),
      ByteSpell().b({18}).i32(2).b({0x41, 0, 0x42, 0}),
      ByteSpell().b({19}).i64(1),
      ByteSpell().b({20}).i32(2).b({0xC3, 0xA9}),
      ByteSpell().b({21}).f64(0.5),
  };
}

TEST_F(ObjectReaderTest, UnknownPropertiesAreSkippedExactlyWhateverTheirTag) {
  int tag = 0;
  for (const ByteSpell& value : OneValueOfEachTag()) {
    ByteSpell stream;
    stream.sig().head("TTestNode", "").s("noSuchProperty");
    Bytes bytes = stream.bytes();
    const Bytes v = value.bytes();
    bytes.insert(bytes.end(), v.begin(), v.end());
    const Bytes tail = ByteSpell().s("number").b({2, 42}).end().end();
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    LogCapture log;
    TTestNode* node = readNode(bytes);
    ASSERT_NE(nullptr, node) << tag;
    EXPECT_EQ(42, node->number) << tag;
    EXPECT_EQ((std::vector<std::string>{"(i) Unknown property noSuchProperty"}), log.messages()) << tag;
    ++tag;
  }
}

TEST_F(ObjectReaderTest, APathThroughAnEmptyObjectPropertyIsReported) {
  LogCapture log;
  TTestNode* node = readNode(ByteSpell()
                                 .sig()
                                 .head("TTestNode", "")
                                 .s("link.number")
                                 .b({2, 5})
                                 .s("bogus.number")
                                 .b({2, 6})
                                 .s("number")
                                 .b({2, 7})
                                 .s("position.x")
                                 .b({15})
                                 .f32(0.5f)
                                 .end()
                                 .end());
  ASSERT_NE(nullptr, node);
  EXPECT_EQ(7, node->number);
  EXPECT_EQ(0.5f, node->position()->x);
  EXPECT_EQ((std::vector<std::string>{"(i) SInvalidPropertyPath", "(i) Unknown property bogus"}), log.messages());
}

TEST_F(ObjectReaderTest, ValuesOfTheWrongKindAreReportedAndSkipped) {
  LogCapture log;
  TTestNode* node = readNode(ByteSpell()
                                 .sig()
                                 .head("TTestNode", "")
                                 .s("number")
                                 .text("twelve")           // not an integer
                                 .s("number")
                                 .ident("someName")        // no identifier map
                                 .s("color")
                                 .ident("tcPurple")        // not an element
                                 .s("colors")
                                 .b({11})
                                 .s("tcRed")
                                 .s("tcPurple")
                                 .s("tcBlue")
                                 .b({0})                   // unknown member: whole set refused
                                 .s("colors")
                                 .b({2, 1})                // not a set
                                 .s("fixedValue")
                                 .b({2, 1})                // read-only
                                 .s("onPing")
                                 .ident("noSuchMethod")
                                 .s("weight")
                                 .text("x")
                                 .s("caption")
                                 .b({2, 1})
                                 .s("visible")
                                 .b({8})
                                 .end()
                                 .end());
  ASSERT_NE(nullptr, node);
  EXPECT_EQ(0, node->number);
  EXPECT_EQ(tcRed, node->color);
  EXPECT_EQ(TTestColors{}, node->colors);
  EXPECT_FALSE(node->visible);
  EXPECT_EQ(
      (std::vector<std::string>{"(i) invalid property value", "(i) invalid property value", "(i) invalid property value",
                                "(i) invalid property value",
                                "(i) colors: \"tcPurple\" is not a member; write a set as \"tcRed, tcGreen\"",
                                "(i) invalid property value", "(i) Read only property",
                                "(i) invalid property value", "(i) invalid property value",
                                "(i) invalid property value"}),
      log.messages());
}

TEST_F(ObjectReaderTest, NumbersConvertBetweenTags) {
  TTestNode* node = readNode(ByteSpell()
                                 .sig()
                                 .head("TTestNode", "")
                                 .s("weight")
                                 .b({2, 3})  // an integer into a float
                                 .s("big")
                                 .b({4})
                                 .i32(-7)
                                 .s("extra")
                                 .b({5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F})  // 80-bit 1.5
                                 .end()
                                 .end());
  ASSERT_NE(nullptr, node);
  EXPECT_EQ(3.0f, node->weight);
  EXPECT_EQ(-7, node->big);
  EXPECT_EQ(Variant(1.5), node->extra);
}

TEST_F(ObjectReaderTest, VariantsReadEveryTag) {
  const std::pair<ByteSpell, Variant> cases[] = {
      {ByteSpell().b({13}), Variant()},
      {ByteSpell().b({0}), Variant(Variant::Null{})},
      {ByteSpell().b({3, 0x10, 0x27}), Variant(10000)},
      {ByteSpell().b({15}).f32(0.25f), Variant(0.25)},
      {ByteSpell().b({21}).f64(0.1), Variant(0.1)},
      {ByteSpell().text("t"), Variant(WideString(u"t"))},
      {ByteSpell().b({9}), Variant(true)},
      {ByteSpell().b({16}).i64(25000), Variant(2.5)},
      {ByteSpell().b({17}).f64(4.5), Variant(4.5)},
      {ByteSpell().b({19}).i64(int64_t{1} << 50), Variant(int64_t{1} << 50)},
      {ByteSpell().b({20}).i32(2).b({0xC3, 0xA9}), Variant(WideString(u"\u00e9"))},
      {ByteSpell().b({10}).i32(2).b({1, 2}), Variant()},
  };
  for (const auto& [value, expected] : cases) {
    ByteSpell stream;
    stream.sig().head("TTestNode", "").s("extra");
    Bytes bytes = stream.bytes();
    const Bytes v = value.bytes();
    bytes.insert(bytes.end(), v.begin(), v.end());
    bytes.insert(bytes.end(), {0, 0});
    TTestNode* node = readNode(bytes);
    ASSERT_NE(nullptr, node);
    EXPECT_EQ(expected, node->extra) << HexOf(v);
  }
}

TEST_F(ObjectReaderTest, CollectionValuesReplaceItemsUnlessEmpty) {
  auto* target = make<TTestList>();
  target->items()->addItem(1, u"a");
  target->items()->addItem(2, u"b");
  ReadTree(ByteSpell().sig().head("TTestList", "").s("items").b({14, 0}).end().end(), target);
  EXPECT_EQ(2, target->items()->count());
  ReadTree(ByteSpell()
               .sig()
               .head("TTestList", "")
               .s("items")
               .b({14})
               .b({2, 0, 1})  // an index before the item is read and ignored
               .s("value")
               .b({2, 9})
               .b({0})
               .b({0})
               .end()
               .end(),
           target);
  ASSERT_EQ(1, target->items()->count());
  EXPECT_EQ(9, target->items()->at(0)->value);
}

TEST_F(ObjectReaderTest, ACollectionValueNeedsACollection) {
  LogCapture log;
  TTestNode* node = readNode(ByteSpell()
                                 .sig()
                                 .head("TTestNode", "")
                                 .s("other")
                                 .b({14, 1})
                                 .s("value")
                                 .b({2, 1, 0, 0})
                                 .s("number")
                                 .b({2, 4})
                                 .end()
                                 .end());
  ASSERT_NE(nullptr, node);
  EXPECT_EQ(4, node->number);
  EXPECT_EQ((std::vector<std::string>{"(i) invalid property value"}), log.messages());
}

TEST_F(ObjectReaderTest, ReferencesResolveByPathAndOwner) {
  TTestNode* root = readNode(ByteSpell()
                                 .sig()
                                 .head("TTestNode", "Root")
                                 .s("link")
                                 .ident("A.B")
                                 .s("other")
                                 .ident("Owner")
                                 .end()
                                 .head("TTestNode", "A")
                                 .s("link")
                                 .ident("A->B")
                                 .s("other")
                                 .ident("Missing")
                                 .end()
                                 .head("TTestNode", "B")
                                 .s("link")
                                 .b({13})
                                 .end()
                                 .end()
                                 .end()
                                 .end());
  ASSERT_NE(nullptr, root);
  auto* a = dynamic_cast<TTestNode*>(root->FindComponent(u"A"));
  ASSERT_NE(nullptr, a);
  auto* b = a->FindComponent(u"B");
  EXPECT_EQ(b, root->link);
  EXPECT_EQ(root, root->other);
  EXPECT_EQ(b, a->link);
  EXPECT_EQ(nullptr, a->other);
  EXPECT_EQ(0u, PendingGlobalFixupCount());
}

TEST_F(ObjectReaderTest, ReferencesIntoOtherRootsWaitForTheEndOfTheRead) {
  static TGComponent* elsewhere = nullptr;
  elsewhere = make<TTestNode>("Elsewhere");
  auto* button = make<TTestNode>("Button", elsewhere);
  auto hook = +[](std::string_view name) -> TGComponent* {
    return name == "Elsewhere" ? elsewhere : nullptr;
  };
  const Bytes bytes =
      ByteSpell().sig().head("TTestNode", "Mine").s("link").ident("Elsewhere.Button").s("other").ident("Nowhere.X")
          .end().end();
  TTestNode* mine = readNode(bytes);
  ASSERT_NE(nullptr, mine);
  EXPECT_EQ(nullptr, mine->link);  // no global object of that name yet
  EXPECT_EQ(0u, PendingGlobalFixupCount()) << "unresolved references do not outlive their read";

  AddFindGlobalComponent(hook);
  mine = readNode(bytes);
  RemoveFindGlobalComponent(hook);
  ASSERT_NE(nullptr, mine);
  EXPECT_EQ(button, mine->link);
  EXPECT_EQ(nullptr, mine->other);
  EXPECT_FALSE(mine->hasState(csFixups));
  EXPECT_EQ(0u, PendingGlobalFixupCount());
}

TEST_F(ObjectReaderTest, TheFindInstanceHookResolvesWhatTheOwnedLookupMisses) {
  auto* outside = make<TTestNode>("Outside");
  TMemoryStream stream(ByteSpell().sig().head("TTestNode", "").s("link").ident("Outside").end().end());
  TGReader reader(&stream, 4096);
  std::string asked;
  reader.events().onFindComponentInstance = [&](TGComponent*, const std::string& name) -> TObject* {
    asked = name;
    return outside;
  };
  auto* node = dynamic_cast<TTestNode*>(keep(reader.fetchRoot()));
  ASSERT_NE(nullptr, node);
  EXPECT_EQ("Outside", asked);
  EXPECT_EQ(outside, node->link);
}

TEST_F(ObjectReaderTest, MethodsResolveAmongTheRootsPublishedMethods) {
  TTestNode* node =
      readNode(ByteSpell().sig().head("TTestNode", "").s("onPing").ident("PING").end().end());
  ASSERT_NE(nullptr, node);
  ASSERT_TRUE(node->onPing);
  EXPECT_EQ(node, node->onPing.object);
  EXPECT_EQ("ping", node->onPing.method->name);
}

TEST_F(ObjectReaderTest, InlineRecordsAndPositionsReachTheirHooks) {
  TTestNode* root = readNode(ByteSpell()
                                 .sig()
                                 .head("TTestNode", "R")
                                 .end()
                                 .b({0xF6, 2, 3})
                                 .head("TTestNode", "I")
                                 .s("link")
                                 .ident("Owner")
                                 .end()
                                 .end()
                                 .end());
  ASSERT_NE(nullptr, root);
  auto* inl = dynamic_cast<TTestNode*>(root->FindComponent(u"I"));
  ASSERT_NE(nullptr, inl);
  EXPECT_TRUE(inl->hasState(csInline));
  ASSERT_EQ(1u, root->childOrders.size());
  EXPECT_EQ(inl, root->childOrders[0].first);
  EXPECT_EQ(3, root->childOrders[0].second);
  // References resolve from the root of the read.
  EXPECT_EQ(root, inl->link);
}

TEST_F(ObjectReaderTest, InheritedRecordsFillExistingObjects) {
  auto* target = make<TTestNode>();
  auto* existing = make<TTestNode>("Kept", target);
  LogCapture log;
  ReadTree(ByteSpell()
               .sig()
               .head("TTestNode", "T")
               .end()
               .b({0xF1})
               .head("TTestNode", "Kept")
               .s("number")
               .b({2, 8})
               .end()
               .end()
               .b({0xF1})
               .head("TTestNode", "Gone")
               .s("number")
               .b({2, 8})
               .end()
               .head("TTestNode", "GoneChild")
               .end()
               .end()
               .end()
               .head("TTestNode", "Next")
               .end()
               .end()
               .end(),
           target);
  EXPECT_EQ(8, existing->number);
  EXPECT_EQ(nullptr, target->FindComponent(u"GoneChild"));
  EXPECT_NE(nullptr, target->FindComponent(u"Next"));
  EXPECT_EQ((std::vector<std::string>{"(i) Ancestor not found Gone"}), log.messages());
}

TEST_F(ObjectReaderTest, CustomPropertiesOfUnknownNamesAreSkipped) {
  LogCapture log;
  TTestNode* node = readNode(ByteSpell()
                                 .sig()
                                 .head("TTestNode", "")
                                 .s("blob.data")
                                 .text("not binary")
                                 .s("blob.CUSTOMTEXT")
                                 .text("hello")
                                 .s("blob.nothing")
                                 .b({2, 1})
                                 .end()
                                 .end());
  ASSERT_NE(nullptr, node);
  EXPECT_EQ("hello", node->blob()->custom);
  EXPECT_EQ((std::vector<std::string>{"(i) invalid property value", "(i) Unknown property nothing"}), log.messages());
}

// A memory stream that counts the copies made out of it; opaque, it hides
// its memory as a file would.
class CountingStream : public TMemoryStream {
 public:
  CountingStream(std::vector<uint8_t> bytes, bool opaque) : TMemoryStream(std::move(bytes)), opaque_(opaque) {}
  int64_t Read(void* buffer, int64_t count) override {
    ++reads;
    return TMemoryStream::Read(buffer, count);
  }
  const uint8_t* MemoryView() override { return opaque_ ? nullptr : TMemoryStream::MemoryView(); }
  int reads = 0;

 private:
  bool opaque_;
};

TEST_F(ObjectReaderTest, ATreeInMemoryIsReadWhereItLiesAndEndsWhereAnyStreamDoes) {
  auto* root = FillEverything(make<TTestList>("Root"));
  FillEverything(make<TTestList>("Child", root));
  Bytes bytes = WriteTree(root);
  const auto treeSize = static_cast<int64_t>(bytes.size());
  bytes.insert(bytes.end(), {'t', 'a', 'i', 'l'});
  for (bool opaque : {false, true}) {
    CountingStream stream(bytes, opaque);
    TGComponent* copy = nullptr;
    {
      TGReader reader(&stream, 16);  // small: values cross the buffer's end
      copy = keep(reader.fetchRoot());
    }
    auto* list = dynamic_cast<TTestList*>(copy);
    ASSERT_NE(nullptr, list) << opaque;
    ExpectSameValues(root, list);
    EXPECT_NE(nullptr, list->FindComponent(u"Child"));
    EXPECT_EQ(treeSize, stream.Position()) << opaque;
    EXPECT_EQ(opaque, stream.reads > 0) << stream.reads;
  }
}

TEST_F(ObjectReaderTest, AStreamThatEndsEarlyIsReportedAndFreesWhatItCreated) {
  auto* source = FillEverything(make<TTestList>("Root"));
  make<TTestNode>("Child", source);
  const Bytes bytes = WriteTree(source);
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    const Bytes shorter(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    LogCapture log;
    EXPECT_EQ(nullptr, ReadTree(shorter)) << cut;
    const std::string expected = "(e) ReadError 2 4096TMemoryStream size: " + std::to_string(cut) +
                                 " pos: " + std::to_string(cut);
    EXPECT_TRUE(log.contains(expected)) << cut << " " << (log.messages().empty() ? "" : log.messages().back());
  }
}

TEST_F(ObjectReaderTest, LengthsBeyondTheStreamEndTheRead) {
  for (int tag : {10, 12, 18, 20}) {
    LogCapture log;
    const Bytes bytes = ByteSpell().sig().head("TTestNode", "").s("caption").b({tag}).i32(1000).raw("ab").end().end();
    EXPECT_EQ(nullptr, ReadTree(bytes)) << tag;
    ASSERT_EQ(1u, log.messages().size());
    EXPECT_EQ(0u, log.messages()[0].find("(e) ReadError 2 ")) << log.messages()[0];
  }
  LogCapture log;
  EXPECT_EQ(nullptr, ReadTree(ByteSpell().sig().head("TTestNode", "").s("caption").b({12}).i32(-5).end().end()));
  EXPECT_EQ(1u, log.messages().size());
}

TEST_F(ObjectReaderTest, DeepNestingEndsTheRead) {
  ByteSpell deep;
  deep.sig();
  for (int i = 0; i < kMaxStreamNesting + 5; ++i) deep.head("TTestNode", "").end();
  for (int i = 0; i < kMaxStreamNesting + 5; ++i) deep.end();
  LogCapture log;
  EXPECT_EQ(nullptr, ReadTree(deep));
  EXPECT_TRUE(log.contains("(i) Read error"));

  ByteSpell lists;
  lists.sig().head("TTestNode", "").s("unknown");
  for (int i = 0; i < 100000; ++i) lists.b({1});
  EXPECT_EQ(nullptr, ReadTree(lists));

  // Nesting within the bound reads.
  ByteSpell fine;
  fine.sig();
  for (int i = 0; i < 100; ++i) fine.head("TTestNode", "").end();
  for (int i = 0; i < 100; ++i) fine.end();
  EXPECT_NE(nullptr, keep(ReadTree(fine)));
}

TEST_F(ObjectReaderTest, AnUnknownTagEndsTheRead) {
  LogCapture log;
  EXPECT_EQ(nullptr, ReadTree(ByteSpell().sig().head("TTestNode", "").s("zz").b({99}).end().end()));
  EXPECT_TRUE(log.contains("(i) Read error"));
}

TEST_F(ObjectReaderTest, TheStreamStandsAfterTheLastByteConsumed) {
  Bytes bytes = WriteTree(make<TTestNode>("A"));
  const size_t end = bytes.size();
  bytes.insert(bytes.end(), {'t', 'a', 'i', 'l'});
  TMemoryStream stream(bytes);
  {
    TGReader reader(&stream, 4096);
    keep(reader.fetchRoot());
    EXPECT_EQ(static_cast<int64_t>(end), reader.position());
  }
  EXPECT_EQ(static_cast<int64_t>(end), stream.Position());
}

// A component whose construction or reading fails.
class TFailing : public TTestNode {
  Q_OBJECT(TFailing, TTestNode)

 public:
  void Create(TObject* owner) override {
    inherited::Create(owner);
    if (failInCreate) throw Exception("construction failed");
  }
  void ReadState(TGReader* reader) override {
    inherited::ReadState(reader);
    throw Exception("read failed");
  }
  static inline bool failInCreate = false;
};

const ClassInfo& TFailing::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TFailing>("TFailing").build();
  return info;
}

Bytes TreeWithFailingChild() {
  return ByteSpell()
      .sig()
      .head("TTestNode", "Root")
      .end()
      .head("TFailing", "Bad")
      .s("link")
      .ident("Owner")  // a reference that must not outlive the failed object
      .end()
      .head("TTestNode", "BadKid")
      .s("link")
      .ident("Owner")
      .end()
      .end()
      .end()
      .head("TTestNode", "Good")
      .end()
      .end()
      .end();
}

TEST_F(ObjectReaderTest, AFailedChildIsFreedAndTheErrorHookDecides) {
  RegisterClass(TFailing::staticClassInfo());
  for (bool inCreate : {false, true}) {
    TFailing::failInCreate = inCreate;
    TMemoryStream stream(TreeWithFailingChild());
    TGReader reader(&stream, 4096);
    std::vector<WideString> errors;
    reader.events().onError = [&](const WideString& message) {
      errors.push_back(message);
      return true;
    };
    TestLoadedOrder().clear();
    auto* root = dynamic_cast<TTestNode*>(keep(reader.fetchRoot()));
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(nullptr, root->FindComponent(u"Bad"));
    EXPECT_NE(nullptr, root->FindComponent(u"Good"));
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(inCreate ? u"construction failed" : u"read failed", errors[0]);
    EXPECT_EQ((std::vector<std::string>{"Root", "Good"}), TestLoadedOrder());
  }
  // Without a handler the error ends the read and the root goes too.
  TFailing::failInCreate = false;
  TMemoryStream stream(TreeWithFailingChild());
  TGReader reader(&stream, 4096);
  EXPECT_THROW(reader.fetchRoot(), Exception);
}

// ---- trees of the object-tree node ----------------------------------------------------

TEST_F(ObjectReaderTest, BaseObjectTreesRoundTrip) {
  RegisterClass(BaseObject::staticClassInfo());
  auto* root = New<BaseObject>(nullptr);
  owned_.push_back(root);
  root->SetName(u"scene");
  root->setTagString(u"top");
  auto* a = New<BaseObject>(root);
  a->SetName(u"a");
  a->setTimeFactor(0.5f);
  auto* b = New<BaseObject>(a);
  b->SetName(u"b");
  auto* c = New<BaseObject>(root);
  c->SetName(u"c");
  c->setObjectStyle(BaseObjectStyles{osTick});
  const Bytes bytes = WriteTree(root);

  auto* copy = dynamic_cast<BaseObject*>(keep(ReadTree(bytes)));
  ASSERT_NE(nullptr, copy);
  EXPECT_EQ(u"top", copy->tagString());
  ASSERT_EQ(2, copy->count());
  EXPECT_EQ(u"a", copy->childAt(0)->name());
  EXPECT_EQ(0.5f, copy->childAt(0)->timeFactor());
  ASSERT_EQ(1, copy->childAt(0)->count());
  EXPECT_EQ(u"b", copy->childAt(0)->childAt(0)->name());
  EXPECT_EQ(copy->childAt(0), copy->childAt(0)->childAt(0)->parent());
  EXPECT_EQ(u"c", copy->childAt(1)->name());
  EXPECT_EQ(BaseObjectStyles{osTick}, copy->childAt(1)->objectStyle());
  EXPECT_FALSE(copy->childAt(1)->hasState(csLoading));
  EXPECT_BYTES(bytes, WriteTree(copy));
}

}  // namespace
