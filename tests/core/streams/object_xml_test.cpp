// The XML form: exact layout, escapes, attribute typing, round trips.
#include <gtest/gtest.h>

#include "core/streams/object_xml.h"
#include "core/text/exceptions.h"
#include "tests/core/object_stream_bytes.h"
#include "tests/core/object_test_classes.h"

namespace {

std::string ToXml(const Bytes& binary) {
  TMemoryStream source(binary);
  TMemoryStream target;
  EXPECT_TRUE(binaryToXml(source, target));
  return std::string(target.Bytes().begin(), target.Bytes().end());
}

Bytes ToBinary(const std::string& xml) {
  TMemoryStream source(Bytes(xml.begin(), xml.end()));
  TMemoryStream target;
  xmlToBinary(source, target);
  return target.Bytes();
}

class ObjectXmlTest : public ::testing::Test {
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
  template <typename T>
  T* read(const Bytes& bytes) {
    TGComponent* root = ReadTree(bytes);
    if (root) owned_.push_back(root);
    return dynamic_cast<T*>(root);
  }

  std::vector<TObject*> owned_;
};

TEST_F(ObjectXmlTest, WritesTheExactLayout) {
  auto* root = make<TTestList>("Root");
  root->number = 5;
  root->weight = 0.5f;
  root->caption = u"<&\"";
  root->items()->addItem(1, u"one");
  make<TTestNode>("", root)->caption = u"x";
  make<TTestNode>("Kid", root);
  const std::string expected =
      "<?xml version=\"1.0\"?>\r\n"
      "<TTestList \r\n"
      "   name=\"Root\"\r\n"
      "   number=\"5\"\r\n"
      "   weight=\"0.500000000000000\"\r\n"
      "   caption=\"&#60;&#38;&#34;\"\r\n"
      "  >\r\n"
      "  <items>\r\n"
      "    <item\r\n"
      "     value=\"1\"\r\n"
      "     caption=\"one\"\r\n"
      "    />\r\n"
      "  </items>\r\n"
      "  <TTestNode      caption=\"x\"\r\n"
      "    >\r\n"
      "  </TTestNode>\r\n"
      "  <TTestNode \r\n"
      "     name=\"Kid\"\r\n"
      "    >\r\n"
      "  </TTestNode>\r\n"
      "</TTestList>\r\n";
  EXPECT_EQ(expected, ToXml(WriteTree(root)));
}

TEST_F(ObjectXmlTest, AnUnnamedChildWithoutPropertiesClosesItsTagOnItsHeadLine) {
  auto* root = make<TTestNode>();
  make<TTestNode>("", root);
  EXPECT_EQ(
      "<?xml version=\"1.0\"?>\r\n"
      "<TTestNode   >\r\n"
      "  <TTestNode     >\r\n"
      "  </TTestNode>\r\n"
      "</TTestNode>\r\n",
      ToXml(WriteTree(root)));
}

TEST_F(ObjectXmlTest, EscapesEveryCharacterThatWouldBreakTheDocument) {
  auto* node = make<TTestNode>();
  node->caption = u"a\nb\u00c8'>";
  node->fileName = "x\xC8y";
  const std::string xml = ToXml(WriteTree(node));
  EXPECT_NE(std::string::npos, xml.find("caption=\"a&#10;b&#200;&#39;&#62;\"")) << xml;
  EXPECT_NE(std::string::npos, xml.find("fileName=\"x&#200;y\"")) << xml;
  auto* copy = read<TTestNode>(ToBinary(xml));
  ASSERT_NE(nullptr, copy);
  EXPECT_EQ(node->caption, copy->caption);
  EXPECT_EQ(node->fileName, copy->fileName);
}

TEST_F(ObjectXmlTest, EightBitTextKeepsCode128AndEscapesTheRest) {
  EXPECT_EQ("a\x7F\x80&#8218;&#200;&#9;", EscapeXmlAnsiText(std::string("a\x7F\x80\x82\xC8\t\x01", 7)));
  EXPECT_EQ("x", EscapeXmlAnsiText(std::string("x\0", 2)));
  EXPECT_EQ("&#128512;&#8364;&#128;", EscapeXmlText(u"\U0001F600\u20AC\u0080\u0001"));
}

TEST_F(ObjectXmlTest, BinaryBlocksAreUpperCaseHex) {
  auto* node = make<TTestNode>();
  for (int i = 0; i < 40; ++i) node->blob()->bytes.push_back(static_cast<uint8_t>(i * 7 + 0xA0));
  const std::string xml = ToXml(WriteTree(node));
  std::string hex;
  for (uint8_t b : node->blob()->bytes) {
    static const char* digits = "0123456789ABCDEF";
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  ASSERT_EQ(80u, hex.size());
  EXPECT_NE(std::string::npos, xml.find("blob.data=\"" + hex + "\"")) << xml;
}

TEST_F(ObjectXmlTest, TreesRoundTripThroughXmlToTheSameText) {
  auto* root = make<TTestList>("Root");
  root->number = -123456;
  root->weight = 0.1f;
  root->color = tcGreen;
  root->colors = TTestColors{tcRed, tcYellow};
  root->visible = false;
  root->caption = u"Gr\u00fc\u00dfe \u0416 \"<&>'\r\n\t end";
  root->fileName = "\xE9t\xE9.wav";
  root->big = int64_t{1} << 45;
  root->position()->x = 3.25f;
  root->part()->level = 2;
  root->onPing = MethodRef{root, root->classInfo().findMethod("ping")};
  root->items()->addItem(7, u"seven");
  root->items()->addItem(0, u"\u00e9");
  auto* child = make<TTestNode>("Child", root);
  child->other = root;
  child->link = child;
  root->link = child;

  const std::string xml = ToXml(WriteTree(root));
  LogCapture log;
  auto* copy = read<TTestList>(ToBinary(xml));
  ASSERT_NE(nullptr, copy);
  EXPECT_TRUE(log.messages().empty()) << log.messages().front();
  EXPECT_EQ(root->number, copy->number);
  EXPECT_EQ(root->weight, copy->weight);
  EXPECT_EQ(root->color, copy->color);
  EXPECT_EQ(root->colors, copy->colors);
  EXPECT_EQ(root->visible, copy->visible);
  EXPECT_EQ(root->caption, copy->caption);
  EXPECT_EQ(root->fileName, copy->fileName);
  EXPECT_EQ(root->big, copy->big);
  EXPECT_EQ(root->position()->x, copy->position()->x);
  EXPECT_EQ(2, copy->part()->level);
  EXPECT_EQ(copy, copy->onPing.object);
  ASSERT_EQ(2, copy->items()->count());
  EXPECT_EQ(u"\u00e9", copy->items()->at(1)->caption);
  auto* childCopy = dynamic_cast<TTestNode*>(copy->FindComponent(u"Child"));
  ASSERT_NE(nullptr, childCopy);
  EXPECT_EQ(copy, childCopy->other);
  EXPECT_EQ(childCopy, childCopy->link);
  EXPECT_EQ(childCopy, copy->link);
  EXPECT_EQ(ToXml(WriteTree(copy)), xml);
}

TEST_F(ObjectXmlTest, CustomPropertiesAreWrittenButHaveNoDescriptionToBeReadBy) {
  auto* node = make<TTestNode>();
  node->blob()->custom = "z";
  const std::string xml = ToXml(WriteTree(node));
  EXPECT_NE(std::string::npos, xml.find("   blob.customText=\"z\"\r\n")) << xml;
  LogCapture log;
  ToBinary(xml);
  EXPECT_EQ((std::vector<std::string>{"(e) Property TTestBlob.blob.customText not exists"}), log.messages());
}

TEST_F(ObjectXmlTest, VariantsOfEveryKindReadBack) {
  const Variant values[] = {Variant(12), Variant(int64_t{1} << 40), Variant(0.1), Variant(2.0), Variant(-1e300),
                            Variant(true), Variant(false), Variant(Variant::Null{}), Variant(WideString(u"w\u00e9"))};
  for (const Variant& value : values) {
    auto* node = make<TTestNode>();
    node->extra = value;
    auto* copy = read<TTestNode>(ToBinary(ToXml(WriteTree(node))));
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(value, copy->extra) << WideToUtf8(value.toText());
  }
}

TEST_F(ObjectXmlTest, TypeAndOrderAttributesSetThePrefix) {
  LogCapture log;
  const Bytes ordered = ToBinary("<TTestNode order=\"0\"/>");
  EXPECT_BYTES(ByteSpell().sig().b({0xF2, 2, 0}).head("TTestNode", "").end().end(), ordered);
  EXPECT_TRUE(log.contains("(e) Property TTestNode.order not exists"));

  EXPECT_BYTES(ByteSpell().sig().b({0xF4}).head("TTestNode", "").end().end(), ToBinary("<TTestNode type=\"inline\"/>"));
  EXPECT_BYTES(ByteSpell().sig().head("TTestNode", "").end().end(), ToBinary("<TTestNode type=\"Inline\"/>"));
  EXPECT_BYTES(ByteSpell().sig().b({0xF1}).head("TTestNode", "").end().end(),
               ToBinary("<TTestNode type=\"inherited\"/>"));
}

TEST_F(ObjectXmlTest, TheNameAttributeIsTheObjectNameAndTheNameProperty) {
  EXPECT_BYTES(ByteSpell().sig().head("TTestNode", "N").s("name").text("N").end().end(),
               ToBinary("<TTestNode name=\"N\"/>"));
}

TEST_F(ObjectXmlTest, SetMembersAreTrimmedAndEmptyOnesDropped) {
  EXPECT_BYTES(ByteSpell().sig().head("TTestNode", "").s("colors").b({11}).s("tcRed").s("tcBlue").b({0}).end().end(),
               ToBinary("<TTestNode colors=\"  tcRed ,  tcBlue , \"/>"));
}

TEST_F(ObjectXmlTest, ASetInBracketsIsRefusedWithTheFormASetIsWrittenIn) {
  LogCapture log;
  auto* node = read<TTestNode>(ToBinary("<TTestNode colors=\"[tcRed,tcBlue]\"/>"));
  ASSERT_NE(nullptr, node);
  EXPECT_EQ(TTestColors{}, node->colors);
  EXPECT_EQ((std::vector<std::string>{"(i) invalid property value",
                                      "(i) colors: \"[tcRed\" is not a member; write a set as \"tcRed, tcGreen\""}),
            log.messages());
}

TEST_F(ObjectXmlTest, ABadValueIsReportedAndLeavesNoHalfEntry) {
  LogCapture log;
  const Bytes bytes = ToBinary("<TTestNode number=\"abc\" weight=\"1,5\" big=\"9223372036854775808\" caption=\"ok\"/>");
  EXPECT_BYTES(ByteSpell().sig().head("TTestNode", "").s("caption").text("ok").end().end(), bytes);
  EXPECT_EQ((std::vector<std::string>{"(e) Invalid property value TTestNode.number=abc",
                                      "(e) Invalid property value TTestNode.weight=1,5",
                                      "(e) Invalid property value TTestNode.big=9223372036854775808"}),
            log.messages());
}

TEST_F(ObjectXmlTest, UnknownAttributesAndElementsAreReportedOrSkipped) {
  LogCapture log;
  const Bytes bytes = ToBinary(
      "<TTestNode bogus=\"1\" position.z=\"2\" link.number=\"3\" position.x=\"1.5\">"
      "<unknownThing a=\"1\"><TTestNode/></unknownThing>"
      "<TTestNode number=\"4\"/>"
      "</TTestNode>");
  EXPECT_BYTES(ByteSpell()
                   .sig()
                   .head("TTestNode", "")
                   .s("link.number")
                   .b({2, 3})
                   .s("position.x")
                   .b({15})
                   .f32(1.5f)
                   .end()
                   // An element of an unknown class stays in the tree, without
                   // properties, for the reader's stand-in; its children follow.
                   .head("unknownThing", "")
                   .end()
                   .head("TTestNode", "")
                   .end()
                   .end()
                   .end()
                   .head("TTestNode", "")
                   .s("number")
                   .b({2, 4})
                   .end()
                   .end()
                   .end(),
               bytes);
  EXPECT_EQ((std::vector<std::string>{"(e) Property TTestNode.bogus not exists",
                                      "(e) Property TTestPoint.position.z not exists",
                                      "(e) Class unknownThing not found."}),
            log.messages());
}

TEST_F(ObjectXmlTest, AnUnknownDocumentElementGivesARecordWithoutPropertiesButWithChildren) {
  EXPECT_BYTES(ByteSpell().sig().head("Nothing", "x").end().end(), ToBinary("<Nothing name=\"x\" a=\"1\"/>"));
  EXPECT_BYTES(ByteSpell()
                   .sig()
                   .head("Nothing", "")
                   .end()
                   .head("items", "")
                   .end()
                   .end()
                   .head("TTestNode", "")
                   .s("number")
                   .b({2, 1})
                   .end()
                   .end()
                   .end(),
               ToBinary("<Nothing a=\"1\"><items/><TTestNode number=\"1\"/></Nothing>"));
}

TEST_F(ObjectXmlTest, ANamedSourceGivesFileAndLineOfEachMistake) {
  LogCapture log;
  TMemoryStream source;
  const std::string text =
      "<TTestNode\n  number=\"x\">\n  <Rectangle/>\n  <TTestNode bogus=\"1\"/>\n</TTestNode>\n";
  source.Write(text.data(), static_cast<int64_t>(text.size()));
  source.SetPosition(0);
  TMemoryStream target;
  xmlToBinary(source, target, u"level.qxml");
  EXPECT_EQ(log.messages(), (std::vector<std::string>{
                                "(e) Invalid property value TTestNode.number=x in file level.qxml line 2",
                                "(e) Class Rectangle not found. in file level.qxml line 3",
                                "(e) Property TTestNode.bogus not exists in file level.qxml line 4",
                            }));
}

TEST_F(ObjectXmlTest, LinesPastTheParsersSixteenBitCountAreNamedAsTheyAre) {
  for (int blankLines : {10, 65533, 70000}) {
    const std::string text =
        "<TTestNode>" + std::string(static_cast<size_t>(blankLines), '\n') + "<TTestNode number=\"x\"/></TTestNode>";
    TMemoryStream source(Bytes(text.begin(), text.end()));
    TMemoryStream target;
    SourceLines lines;
    LogCapture log;
    xmlToBinary(source, target, u"big.qxml", &lines);
    const int line = blankLines + 1;
    EXPECT_EQ(log.messages(), (std::vector<std::string>{
                                  "(e) Invalid property value TTestNode.number=x in file big.qxml line " +
                                  std::to_string(line)}));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].line, line);
  }
}

TEST_F(ObjectXmlTest, ParserErrorsReachTheLogAndGiveNoDocument) {
  LogCapture log;
  EXPECT_THROW(ToBinary("<?xml version=\"1.0\"?>\n<TTestNode a=\"1\">\n</Other>"), EReadError);
  ASSERT_FALSE(log.messages().empty());
  const std::string line = log.messages()[0];
  EXPECT_EQ(0u, line.find("(e) XML Fatal Parser: ")) << line;
  EXPECT_NE(std::string::npos, line.find(" line: 3 col: ")) << line;
}

TEST_F(ObjectXmlTest, TextThatIsNotUtf8IsReadAsTheSystemCodePage) {
  auto* node = read<TTestNode>(ToBinary("<TTestNode caption=\"caf\xE9 \x80\"/>"));
  ASSERT_NE(nullptr, node);
  EXPECT_EQ(u"caf\u00e9 \u20ac", node->caption);
  node = read<TTestNode>(ToBinary("\xEF\xBB\xBF<TTestNode caption=\"caf\xC3\xA9\"/>"));
  ASSERT_NE(nullptr, node);
  EXPECT_EQ(u"caf\u00e9", node->caption);
}

TEST_F(ObjectXmlTest, BadBinaryDataConvertsWhatItCan) {
  auto* node = make<TTestNode>("N");
  node->number = 1;
  Bytes bytes = WriteTree(node);
  bytes.resize(bytes.size() - 2);
  TMemoryStream source(bytes);
  TMemoryStream target;
  LogCapture log;
  EXPECT_FALSE(binaryToXml(source, target));
  const std::string text(target.Bytes().begin(), target.Bytes().end());
  EXPECT_NE(std::string::npos, text.find("number=\"1\""));
  EXPECT_EQ(0u, log.messages()[0].find("(e) ReadError 2 "));
}

}  // namespace
