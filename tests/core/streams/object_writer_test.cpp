// The binary writer: exact bytes for small hand-made trees.
#include <gtest/gtest.h>

#include "core/streams/object_writer.h"
#include "tests/core/object_stream_bytes.h"
#include "tests/core/object_test_classes.h"

namespace {

class ObjectWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterObjectTestClasses(); }
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
  // The stream of an unnamed TTestNode whose only stored property is spelled
  // by `entries`.
  static Bytes nodeWith(const ByteSpell& entries) {
    ByteSpell spell;
    spell.sig().head("TTestNode", "");
    Bytes out = spell.bytes();
    Bytes tail = entries.bytes();
    out.insert(out.end(), tail.begin(), tail.end());
    out.push_back(0);
    out.push_back(0);
    return out;
  }

  std::vector<TObject*> owned_;
};

TEST_F(ObjectWriterTest, EmptyObjectIsItsHeadAndTwoZeros) {
  auto* form = make<TTestForm>("F1");
  EXPECT_BYTES(ByteSpell().b({0x47, 0x46, 0x45, 0x30, 4}).raw("Form").b({2}).raw("F1").b({0, 0}), WriteTree(form));
}

TEST_F(ObjectWriterTest, IntegersTakeTheSmallestTag) {
  auto* node = make<TTestNode>();
  struct Case {
    int32_t value;
    ByteSpell spelled;
  };
  const Case cases[] = {
      {127, ByteSpell().s("number").b({2, 0x7F})},
      {128, ByteSpell().s("number").b({3, 0x80, 0x00})},
      {-128, ByteSpell().s("number").b({2, 0x80})},
      {-129, ByteSpell().s("number").b({3, 0x7F, 0xFF})},
      {-32768, ByteSpell().s("number").b({3, 0x00, 0x80})},
      {32767, ByteSpell().s("number").b({3, 0xFF, 0x7F})},
      {32768, ByteSpell().s("number").b({4, 0x00, 0x80, 0x00, 0x00})},
      {-32769, ByteSpell().s("number").b({4, 0xFF, 0x7F, 0xFF, 0xFF})},
  };
  for (const Case& c : cases) {
    node->number = c.value;
    EXPECT_BYTES(nodeWith(c.spelled), WriteTree(node)) << c.value;
  }
  node->number = 0;  // the declared default
  EXPECT_BYTES(nodeWith(ByteSpell()), WriteTree(node));
}

TEST_F(ObjectWriterTest, Int64OutsideInt32TakesTag19) {
  auto* node = make<TTestNode>();
  node->big = int64_t{1} << 31;
  EXPECT_BYTES(nodeWith(ByteSpell().s("big").b({19}).i64(int64_t{1} << 31)), WriteTree(node));
  node->big = -5;
  EXPECT_BYTES(nodeWith(ByteSpell().s("big").b({2, 0xFB})), WriteTree(node));
}

TEST_F(ObjectWriterTest, FloatsAreSinglesAndZeroIsNotWritten) {
  auto* node = make<TTestNode>();
  node->weight = 0.1f;
  EXPECT_BYTES(nodeWith(ByteSpell().s("weight").b({0x0F, 0xCD, 0xCC, 0xCC, 0x3D})), WriteTree(node));
  node->weight = 0.0f;
  EXPECT_BYTES(nodeWith(ByteSpell()), WriteTree(node));
}

TEST_F(ObjectWriterTest, WideTextPicksItsTagByItsCharacters) {
  auto* node = make<TTestNode>();
  node->caption = u"abc";
  EXPECT_BYTES(nodeWith(ByteSpell().s("caption").b({6, 3}).raw("abc")), WriteTree(node));

  node->caption = WideString(300, u'x');
  EXPECT_BYTES(nodeWith(ByteSpell().s("caption").b({12}).i32(300).raw(std::string(300, 'x'))), WriteTree(node));

  node->caption = u"caf\u00e9";
  EXPECT_BYTES(nodeWith(ByteSpell().s("caption").b({20}).i32(5).raw("caf").b({0xC3, 0xA9})), WriteTree(node));

  node->caption = u"\u00e9";
  EXPECT_BYTES(nodeWith(ByteSpell().s("caption").b({18}).i32(1).b({0xE9, 0x00})), WriteTree(node));

  node->caption = u"\u0416\u20AC";  // Cyrillic and the euro sign: UTF-16 is shorter
  EXPECT_BYTES(nodeWith(ByteSpell().s("caption").b({18}).i32(2).b({0x16, 0x04, 0xAC, 0x20})), WriteTree(node));

  node->caption.clear();  // an empty text property is not written
  node->extra = Variant(WideString());
  EXPECT_BYTES(nodeWith(ByteSpell().s("extra").b({18}).i32(0)), WriteTree(node));
}

TEST_F(ObjectWriterTest, EightBitTextIsWrittenAsWideText) {
  auto* node = make<TTestNode>();
  node->fileName = "sound.wav";
  EXPECT_BYTES(nodeWith(ByteSpell().s("fileName").text("sound.wav")), WriteTree(node));
  node->fileName = "\xE9t\xE9";  // "été" in the system code page
  EXPECT_BYTES(nodeWith(ByteSpell().s("fileName").b({20}).i32(5).b({0xC3, 0xA9, 't', 0xC3, 0xA9})), WriteTree(node));
}

TEST_F(ObjectWriterTest, EnumerationsAndBooleansAreIdentifiers) {
  auto* node = make<TTestNode>();
  node->color = tcBlue;
  node->visible = false;
  EXPECT_BYTES(nodeWith(ByteSpell().s("color").ident("tcBlue").s("visible").b({8})), WriteTree(node));
}

TEST_F(ObjectWriterTest, SetsListMemberNamesInOrder) {
  auto* node = make<TTestNode>();
  node->colors = TTestColors{tcYellow, tcRed};
  EXPECT_BYTES(nodeWith(ByteSpell().s("colors").b({11}).s("tcRed").s("tcYellow").b({0})), WriteTree(node));
  node->colors = TTestColors{};  // equal to the declared default
  EXPECT_BYTES(nodeWith(ByteSpell()), WriteTree(node));
}

TEST_F(ObjectWriterTest, VariantsKeepTheirType) {
  auto* node = make<TTestNode>();
  const std::pair<Variant, ByteSpell> cases[] = {
      {Variant(7), ByteSpell().s("extra").b({2, 7})},
      {Variant(int64_t{1} << 40), ByteSpell().s("extra").b({19}).i64(int64_t{1} << 40)},
      {Variant(2.5), ByteSpell().s("extra").b({21}).f64(2.5)},
      {Variant(true), ByteSpell().s("extra").b({9})},
      {Variant(false), ByteSpell().s("extra").b({8})},
      {Variant(Variant::Null{}), ByteSpell().s("extra").b({0})},
      {Variant(WideString(u"hi")), ByteSpell().s("extra").text("hi")},
  };
  for (const auto& [value, spelled] : cases) {
    node->extra = value;
    EXPECT_BYTES(nodeWith(spelled), WriteTree(node));
  }
}

TEST_F(ObjectWriterTest, LongObjectNamesAreCut) {
  auto* node = make<TTestNode>(std::string(300, 'A'));
  EXPECT_BYTES(ByteSpell().sig().head("TTestNode", std::string(255, 'A')).b({0, 0}), WriteTree(node));
}

TEST_F(ObjectWriterTest, NestedPersistentsUseDottedPaths) {
  auto* node = make<TTestNode>();
  node->position()->x = 1.5f;
  node->part()->level = 3;
  EXPECT_BYTES(nodeWith(ByteSpell().s("position.x").b({15}).f32(1.5f).s("part.level").b({2, 3})), WriteTree(node));
}

TEST_F(ObjectWriterTest, CustomAndBinaryPropertiesFollowThePublishedOnes) {
  auto* node = make<TTestNode>();
  node->blob()->level = 1;
  node->blob()->custom = "xyz";
  node->blob()->bytes = {1, 2, 3};
  EXPECT_BYTES(nodeWith(ByteSpell()
                            .s("blob.level")
                            .b({2, 1})
                            .s("blob.customText")
                            .text("xyz")
                            .s("blob.data")
                            .b({10})
                            .i32(3)
                            .b({1, 2, 3})),
               WriteTree(node));
}

TEST_F(ObjectWriterTest, StoredRulesDecide) {
  auto* node = make<TTestNode>();
  node->hidden = 5;  // stored never
  node->maybe = 6;
  EXPECT_BYTES(nodeWith(ByteSpell()), WriteTree(node));
  node->storeMaybe = true;
  EXPECT_BYTES(nodeWith(ByteSpell().s("maybe").b({2, 6})), WriteTree(node));
}

TEST_F(ObjectWriterTest, CallbacksAreWrittenByTheirPublishedName) {
  auto* node = make<TTestNode>();
  node->onPing = MethodRef{node, node->classInfo().findMethod("ping")};
  EXPECT_BYTES(nodeWith(ByteSpell().s("onPing").ident("ping")), WriteTree(node));

  // A method the lookup root's class does not publish has no stored name.
  auto* point = New<TTestItem>(nullptr);
  owned_.push_back(point);
  static const MethodInfo stray{"stray", {}, false, {}, {}};
  node->onPing = MethodRef{point, &stray};
  EXPECT_BYTES(nodeWith(ByteSpell()), WriteTree(node));
}

TEST_F(ObjectWriterTest, ReferencesAreWrittenByName) {
  auto* root = make<TTestNode>("Root");
  auto* child = make<TTestNode>("Child", root);
  auto* grand = make<TTestNode>("Grand", child);
  auto* otherRoot = make<TTestNode>("Other");
  auto* button = make<TTestNode>("Btn", otherRoot);
  auto* loose = make<TTestNode>();

  const std::pair<TGComponent*, std::string> cases[] = {
      {child, "Child"}, {root, "Owner"}, {grand, "Child.Grand"}, {button, "Other.Btn"}, {otherRoot, "Other"}};
  for (const auto& [target, text] : cases) {
    root->other = target;
    const Bytes bytes = WriteTree(root);
    ByteSpell expected;
    expected.sig().head("TTestNode", "Root").s("other").ident(text).end();
    expected.head("TTestNode", "Child").end().head("TTestNode", "Grand").end().end().end().end();
    EXPECT_BYTES(expected, bytes) << text;
  }
  // An unnamed object outside the tree cannot be named: nothing is written.
  root->other = loose;
  EXPECT_BYTES(ByteSpell().sig().head("TTestNode", "Root").end().head("TTestNode", "Child").end()
                   .head("TTestNode", "Grand").end().end().end().end(),
               WriteTree(root));
  // An object named like the nil identifier reads as tag 13.
  button->SetName(u"nil");
  otherRoot->SetName(u"");
  root->other = button;
  EXPECT_BYTES(ByteSpell().sig().head("TTestNode", "Root").s("other").b({13}).end().head("TTestNode", "Child").end()
                   .head("TTestNode", "Grand").end().end().end().end(),
               WriteTree(root));
}

TEST_F(ObjectWriterTest, CollectionsWriteEachItemBetweenListMarks) {
  auto* list = make<TTestList>();
  EXPECT_BYTES(ByteSpell().sig().head("TTestList", "").s("items").b({14, 0}).end().end(), WriteTree(list));
  list->items()->addItem(5, u"");
  list->items()->addItem(0, u"b");
  EXPECT_BYTES(ByteSpell()
                   .sig()
                   .head("TTestList", "")
                   .s("items")
                   .b({14, 1})
                   .s("value")
                   .b({2, 5, 0, 1})
                   .s("caption")
                   .text("b")
                   .b({0, 0})
                   .end()
                   .end(),
               WriteTree(list));
}

TEST_F(ObjectWriterTest, ChildrenFollowInOrderAndInlineGetsItsPrefix) {
  auto* root = make<TTestNode>("R");
  make<TTestNode>("A", root)->number = 1;
  auto* b = make<TTestNode>("B", root);
  b->setComponentState(csInline);
  EXPECT_BYTES(ByteSpell()
                   .sig()
                   .head("TTestNode", "R")
                   .end()
                   .head("TTestNode", "A")
                   .s("number")
                   .b({2, 1})
                   .end()
                   .end()
                   .b({0xF4})
                   .head("TTestNode", "B")
                   .end()
                   .end()
                   .end(),
               WriteTree(root));
}

TEST_F(ObjectWriterTest, SmallBuffersWriteTheSameBytes) {
  auto* root = make<TTestNode>("Root");
  for (int i = 0; i < 20; ++i) {
    auto* c = make<TTestNode>("C" + std::to_string(i), root);
    c->caption = WideString(static_cast<size_t>(i * 7), u'q');
    c->number = i * 1000;
  }
  const Bytes reference = WriteTree(root);
  EXPECT_BYTES(reference, WriteTree(root, 16));
  EXPECT_BYTES(reference, WriteTree(root, 1));
}

TEST_F(ObjectWriterTest, PositionsWithinTheBufferOverwrite) {
  TMemoryStream stream;
  {
    TGWriter writer(&stream, 8);
    writer.emitBytes("abcdefghij", 10);  // flushes the first 8
    EXPECT_EQ(10, writer.position());
    writer.setPosition(9);  // held bytes: only the offset moves
    writer.emitBytes("Z", 1);
    writer.setPosition(2);  // before the held bytes: flush and seek
    writer.emitBytes("Y", 1);
  }
  EXPECT_EQ("abYdefghiZ", std::string(stream.Bytes().begin(), stream.Bytes().end()));
}

TEST_F(ObjectWriterTest, IdentifiersOfTheFourWordsBecomeTags) {
  TMemoryStream stream;
  {
    TGWriter writer(&stream, 64);
    for (const char* word : {"false", "TRUE", "null", "NIL", "Other"}) writer.emitIdent(word);
  }
  EXPECT_BYTES(ByteSpell().b({8, 9, 0, 13}).ident("Other"), stream.Bytes());
}

// A component that records the writing mark while its record is written.
class TMarkProbe : public TGComponent {
  Q_OBJECT(TMarkProbe, TGComponent)

 public:
  void WriteState(TGWriter* writer) override {
    markedWhileWriting = hasState(csWriting);
    inherited::WriteState(writer);
  }
  bool markedWhileWriting = false;
};

const ClassInfo& TMarkProbe::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TMarkProbe>("TMarkProbe").build();
  return info;
}

TEST_F(ObjectWriterTest, ObjectsCarryTheWritingMarkOnlyWhileWritten) {
  auto* probe = make<TMarkProbe>();
  WriteTree(probe);
  EXPECT_TRUE(probe->markedWhileWriting);
  EXPECT_FALSE(probe->hasState(csWriting));
}

// A persistent that publishes itself: a cycle in the published description.
class TLoop : public TSomePersistent {
  Q_OBJECT(TLoop, TSomePersistent)

 public:
  TLoop* self() const { return const_cast<TLoop*>(this); }
  void setSelf(TLoop*) {}
  int32_t value = 1;
};

const ClassInfo& TLoop::staticClassInfo() {
  static const ClassInfo info =
      ClassBuilder<TLoop>("TLoop").property("value", &TLoop::value).property("self", &TLoop::self, &TLoop::setSelf).build();
  return info;
}

class TLoopHolder : public TGComponent {
  Q_OBJECT(TLoopHolder, TGComponent)

 public:
  void Create(TObject* owner) override {
    inherited::Create(owner);
    loop_ = New<TLoop>(this);
  }
  void Destroy() override {
    FreeAndNil(loop_);
    inherited::Destroy();
  }
  TLoop* loop() const { return loop_; }
  void setLoop(TLoop*) {}

 private:
  TLoop* loop_ = nullptr;
};

const ClassInfo& TLoopHolder::staticClassInfo() {
  static const ClassInfo info =
      ClassBuilder<TLoopHolder>("TLoopHolder").property("loop", &TLoopHolder::loop, &TLoopHolder::setLoop).build();
  return info;
}

TEST_F(ObjectWriterTest, ACycleOfNestedPersistentsEnds) {
  auto* holder = make<TLoopHolder>();
  const Bytes bytes = WriteTree(holder);
  // "loop.value", "loop.self.value", ... until the path fills a short string.
  const Bytes start = ByteSpell().sig().head("TLoopHolder", "").s("loop.value").b({2, 1}).s("loop.self.value").b({2, 1});
  ASSERT_GT(bytes.size(), start.size());
  EXPECT_BYTES(start, Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(start.size())));
  EXPECT_LT(bytes.size(), 20000u);
  EXPECT_EQ(0, bytes[bytes.size() - 1]);
  EXPECT_EQ(0, bytes[bytes.size() - 2]);
}

}  // namespace
