// The keyword text form, its tokenizer and the form dispatcher.
#include <gtest/gtest.h>

#include "core/streams/object_text_form.h"
#include "core/streams/object_xml.h"
#include "tests/core/object_stream_bytes.h"
#include "tests/core/object_test_classes.h"

namespace {

Bytes FromText(const std::string& text) {
  TMemoryStream source(Bytes(text.begin(), text.end()));
  TMemoryStream target;
  objectTextToBinary(source, target);
  return target.Bytes();
}

Bytes ThroughDispatcher(const std::string& text) {
  TMemoryStream source(Bytes(text.begin(), text.end()));
  TMemoryStream target;
  convertTextForm(source, target);
  return target.Bytes();
}

class ObjectTextFormTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterObjectTestClasses(); }
  void TearDown() override {
    for (TObject* o : owned_) o->Free();
  }
  template <typename T>
  T* read(const Bytes& bytes) {
    TGComponent* root = ReadTree(bytes);
    if (root) owned_.push_back(root);
    return dynamic_cast<T*>(root);
  }
  std::vector<TObject*> owned_;
};

TEST_F(ObjectTextFormTest, ASimpleObjectBecomesItsRecord) {
  EXPECT_BYTES(ByteSpell().sig().head("Form", "Form1").s("left").b({2, 10}).end().end(),
               FromText("object Form1: Form\n  left = 10\nend\n"));
}

TEST_F(ObjectTextFormTest, InlineAndPositionSetThePrefix) {
  EXPECT_BYTES(ByteSpell().sig().b({0xF6, 2, 3}).head("Panel", "").end().end(), FromText("inline Panel [3] end"));
  EXPECT_BYTES(ByteSpell().sig().b({0xF1}).head("Panel", "P").end().end(), FromText("INHERITED P: Panel END"));
}

TEST_F(ObjectTextFormTest, StringsJoinQuotedPartsAndCodes) {
  EXPECT_BYTES(ByteSpell().sig().head("T", "").s("s").text("it's").end().end(), FromText("object T s = 'it''s' end"));
  EXPECT_BYTES(ByteSpell().sig().head("T", "").s("s").text("a\tb").end().end(), FromText("object T s = 'a'#9'b' end"));
  // A code of 128 or more makes the whole string wide; emitWideText then
  // picks UTF-8 for mostly ASCII text.
  EXPECT_BYTES(ByteSpell().sig().head("T", "").s("s").b({20}).i32(6).raw("ab").b({0xE2, 0x82, 0xAC}).raw("c").end().end(),
               FromText("object T s = 'ab' + #8364 + 'c' end"));
  EXPECT_BYTES(ByteSpell().sig().head("T", "").s("s").b({18}).i32(1).b({0xAC, 0x20}).end().end(),
               FromText("object T s = #8364 end"));
}

TEST_F(ObjectTextFormTest, NumbersTakeTheirTagsBySuffix) {
  EXPECT_BYTES(ByteSpell()
                   .sig()
                   .head("T", "")
                   .s("a")
                   .b({15})
                   .f32(1.5f)
                   .s("b")
                   .b({17})
                   .f64(1.5)
                   .s("c")
                   .b({16})
                   .i64(12500)
                   .s("d")
                   .b({15})
                   .f32(2.0f)
                   .s("e")
                   .b({3, 0x00, 0x80})
                   .s("f")
                   .b({19})
                   .i64(int64_t{1} << 33)
                   .s("g")
                   .b({4})
                   .i32(0x7FFFFFFF)
                   .end()
                   .end(),
               FromText("object T\n a = 1.5\n b = 1.5D\n c = 12500C\n d = 2s\n e = -32768\n f = 8589934592\n"
                        " g = $7FFFFFFF\nend"));
}

TEST_F(ObjectTextFormTest, IdentifiersListsSetsCollectionsAndBinaries) {
  EXPECT_BYTES(ByteSpell()
                   .sig()
                   .head("T", "")
                   .s("a.b")
                   .ident("x.y")
                   .s("f")
                   .b({8})
                   .s("n")
                   .b({13})
                   .s("z")
                   .b({0})
                   .s("l")
                   .b({1, 2, 1})
                   .text("s")
                   .b({0})
                   .s("set")
                   .b({11})
                   .s("tcRed")
                   .s("#65")
                   .b({0})
                   .s("c")
                   .b({14, 2, 4, 1})
                   .s("value")
                   .b({2, 1, 0, 1, 0, 0})
                   .s("bin")
                   .b({10})
                   .i32(3)
                   .b({0x0A, 0xFF, 0x10})
                   .end()
                   .end(),
               FromText("object T\n"
                        "  a.b = x.y\n  f = FALSE\n  n = Nil\n  z = null\n"
                        "  l = (1 's')\n"
                        "  set = [tcRed, 'A']\n"
                        "  c = <item [4] value = 1 end item end>\n"
                        "  bin = {0AFF\n    10}\n"
                        "end"));
}

TEST_F(ObjectTextFormTest, ANullInsideAListDoesNotEndIt) {
  const Bytes bytes = FromText("object T: TTestNode\n  l = (1 null (Null) 2)\n  number = 5\nend\n");
  EXPECT_BYTES(ByteSpell()
                   .sig()
                   .head("TTestNode", "T")
                   .s("l")
                   .b({1, 2, 1, 13, 1, 13, 0, 2, 2, 0})
                   .s("number")
                   .b({2, 5})
                   .end()
                   .end(),
               bytes);
  LogCapture log;
  auto* node = read<TTestNode>(bytes);
  ASSERT_NE(nullptr, node);
  EXPECT_EQ(5, node->number);
  EXPECT_EQ((std::vector<std::string>{"(i) Unknown property l"}), log.messages());
}

TEST_F(ObjectTextFormTest, ChildObjectsNest) {
  EXPECT_BYTES(ByteSpell()
                   .sig()
                   .head("A", "a")
                   .end()
                   .head("B", "b")
                   .s("x")
                   .b({2, 1})
                   .end()
                   .end()
                   .head("C", "")
                   .end()
                   .end()
                   .end(),
               FromText("object a: A\n  object b: B\n    x = 1\n  end\n  object C end\nend"));
}

TEST_F(ObjectTextFormTest, ConvertedTreesReadIntoObjects) {
  auto* node = read<TTestList>(FromText("object Main: TTestList\n"
                                        "  number = 7\n  weight = 0.25\n  color = tcBlue\n"
                                        "  colors = [tcGreen, tcYellow]\n  visible = False\n"
                                        "  caption = 'Hello ' + #1046\n  position.x = 2.5\n"
                                        "  items = <\n    item value = 3 caption = 'c' end\n  >\n"
                                        "  link = Kid\n"
                                        "  object Kid: TTestNode\n    number = -1\n  end\n"
                                        "end\n"));
  ASSERT_NE(nullptr, node);
  EXPECT_EQ(u"Main", node->name());
  EXPECT_EQ(7, node->number);
  EXPECT_EQ(0.25f, node->weight);
  EXPECT_EQ(tcBlue, node->color);
  EXPECT_EQ((TTestColors{tcGreen, tcYellow}), node->colors);
  EXPECT_FALSE(node->visible);
  EXPECT_EQ(u"Hello \u0416", node->caption);
  EXPECT_EQ(2.5f, node->position()->x);
  ASSERT_EQ(1, node->items()->count());
  EXPECT_EQ(3, node->items()->at(0)->value);
  auto* kid = dynamic_cast<TTestNode*>(node->FindComponent(u"Kid"));
  ASSERT_NE(nullptr, kid);
  EXPECT_EQ(-1, kid->number);
  EXPECT_EQ(kid, node->link);
}

TEST_F(ObjectTextFormTest, ErrorsAreReportedWithTheirLineAndConversionGoesOn) {
  LogCapture log;
  const Bytes bytes = FromText("object T\n  a = 1\n  'b' = 2\n  c 3\n  d = )\n  e = 'open\n  f = 4\nend\n");
  EXPECT_EQ((std::vector<std::string>{"(e) Parse error  parser IdentifierExpected3", "(e) Parse error CharExpected4",
                                      "(e) Parse error  parser InvalidProperty5",
                                      "(e) Parse error  parser InvalidString6"}),
            log.messages());
  // The entries that parsed are all there, in step.
  EXPECT_BYTES(ByteSpell()
                   .sig()
                   .head("T", "")
                   .s("a")
                   .b({2, 1})
                   .s("c")
                   .b({2, 3})
                   .s("d")
                   .b({0})
                   .s("e")
                   .text("open")
                   .s("f")
                   .b({2, 4})
                   .end()
                   .end(),
               bytes);
  TMemoryStream stream(bytes);
  TGReader reader(&stream, 4096);
  EXPECT_NO_THROW(reader.fetchRoot()) << "the reader meets a well-formed stream";
}

TEST_F(ObjectTextFormTest, TheErrorEventCanTakeTheReports) {
  TMemoryStream source(Bytes{'x', ' ', '='});
  std::vector<std::string> messages;
  LogCapture log;
  {
    TParser parser(&source, [&](const std::string& m) {
      messages.push_back(m);
      return true;
    });
    EXPECT_EQ(TParser::toSymbol, parser.token());
    EXPECT_FALSE(parser.requireKind(TParser::toString));
    EXPECT_EQ('=', parser.advance());
    EXPECT_FALSE(parser.requireKeyword("end"));
    EXPECT_EQ(TParser::toEOF, parser.advance());
  }
  EXPECT_EQ((std::vector<std::string>{" parser StringExpected", "SSymbolExpected"}), messages);
  EXPECT_TRUE(log.messages().empty());
}

TEST_F(ObjectTextFormTest, ALineLongerThanTheBufferIsReported) {
  LogCapture log;
  FromText("object T\n  s = '" + std::string(5000, 'x') + "'\nend\n");
  EXPECT_TRUE(log.contains("(e) Parse error  parser LineTooLong2")) << log.messages().front();
}

TEST_F(ObjectTextFormTest, LongTextsAcrossManyRefillsParseCompletely) {
  std::string text = "object T\n";
  for (int i = 0; i < 2000; ++i) text += "  p" + std::to_string(i) + " = " + std::to_string(i) + "\n";
  text += "end\n";
  LogCapture log;
  const Bytes bytes = FromText(text);
  EXPECT_TRUE(log.messages().empty());
  ByteSpell expected;
  expected.sig().head("T", "");
  for (int i = 0; i < 2000; ++i) {
    expected.s("p" + std::to_string(i));
    if (i < 128) {
      expected.b({2, i});
    } else {
      expected.b({3, i & 0xFF, i >> 8});
    }
  }
  expected.end().end();
  EXPECT_BYTES(expected, bytes);
}

TEST_F(ObjectTextFormTest, TheDispatcherSendsXmlToTheXmlForm) {
  const Bytes fromXml = ThroughDispatcher("<?xml version=\"1.0\"?><TTestNode number=\"5\"/>");
  EXPECT_BYTES(ByteSpell().sig().head("TTestNode", "").s("number").b({2, 5}).end().end(), fromXml);
  const Bytes withMark = ThroughDispatcher("\xEF\xBB\xBF<?xml version=\"1.0\"?><TTestNode number=\"5\"/>");
  EXPECT_BYTES(fromXml, withMark);
  EXPECT_BYTES(ByteSpell().sig().head("TTestNode", "").s("number").b({2, 5}).end().end(),
               ThroughDispatcher("object TTestNode number = 5 end"));
}

TEST_F(ObjectTextFormTest, TheDispatcherLooksAtTheTenBytesFromTheStreamPosition) {
  const std::string text = "0123456789<?xml version=\"1.0\"?><TTestNode number=\"1\"/>";
  TMemoryStream source(Bytes(text.begin(), text.end()));
  source.SetPosition(10);
  TMemoryStream target;
  convertTextForm(source, target);
  EXPECT_BYTES(ByteSpell().sig().head("TTestNode", "").s("number").b({2, 1}).end().end(), target.Bytes());

  // "xml" past the tenth byte does not count: the keyword form reports.
  LogCapture log;
  ThroughDispatcher("object   T    xml = 1 end");
  EXPECT_TRUE(log.messages().empty());
  EXPECT_THROW(ThroughDispatcher("<?xml"), EReadError);  // a bare head is no document
}

TEST_F(ObjectTextFormTest, DeepOrBrokenTextEndsTheConversion) {
  std::string deep;
  for (int i = 0; i < 1000; ++i) deep += "object T\n";
  LogCapture log;
  FromText(deep);
  EXPECT_EQ((std::vector<std::string>{"(e) Parse error  parser NestingTooDeep" + std::to_string(kMaxStreamNesting + 2)}),
            log.messages());
  log.clear();
  std::string broken = "object T\n";
  for (int i = 0; i < 1000; ++i) broken += ") ) )\n";
  FromText(broken);
  EXPECT_LE(log.messages().size(), 110u);
}

TEST_F(ObjectTextFormTest, TheParserLeavesTheStreamAfterTheLastToken) {
  const std::string text = "alpha beta gamma";
  TMemoryStream source(Bytes(text.begin(), text.end()));
  {
    TParser parser(&source);
    parser.advance();  // beta
  }
  EXPECT_EQ(10, source.Position());
}

}  // namespace
