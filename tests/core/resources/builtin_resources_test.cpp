// The built-in files and the embedded manager that serves them: the four
// files, the skin's 30 elements at their rectangles, and the manager's
// read-only rules and log lines. (The pixmaps' pixels are read by the pixmap
// filter's tests.)
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/objects/class_registry.h"
#include "core/objects/engine.h"
#include "core/resources/builtin_resources.h"
#include "core/resources/embedded_res_man.h"
#include "core/resources/resource_man_registration.h"
#include "core/text/text_helpers.h"
#include "support/log_capture.h"

namespace {
template <typename T>
using Owned = std::unique_ptr<T, FreeDeleter>;

Owned<TEmbeddedResMan> Manager() { return Owned<TEmbeddedResMan>(New<TEmbeddedResMan>()); }

std::string ReadAll(TStream& stream) {
  std::string bytes(static_cast<size_t>(stream.Size()), '\0');
  stream.SetPosition(0);
  stream.Read(bytes.data(), static_cast<int64_t>(bytes.size()));
  return bytes;
}

std::string ReadResource(TResourceMan& manager, const WideString& name) {
  Owned<TStream> stream(manager.createStream(name, fmOpenRead));
  return stream ? ReadAll(*stream) : std::string("<nil>");
}

struct ExpectedElement {
  const char* name;
  float rect[4];
  bool hasMargins;
  float margins[4];
  bool stretched;
};

// The default skin's elements, as the runtime's skinned widgets expect them.
const ExpectedElement kElements[30] = {
    {"form", {4, 4, 210, 164}, true, {31, 31, 35, 35}, true},
    {"minform", {370, 14, 492, 134}, true, {30, 30, 33, 33}, false},
    {"title", {2, 302, 208, 338}, true, {40, 30, 40, 10}, true},
    {"widget", {404, 340, 437, 373}, true, {4, 4, 4, 4}, false},
    {"empty", {488, 488, 489, 489}, false, {}, false},
    {"graybutton", {14, 217, 141, 249}, true, {8, 8, 8, 8}, false},
    {"redbutton", {14, 257, 141, 289}, true, {8, 8, 8, 8}, false},
    {"button", {14, 400, 141, 432}, true, {8, 8, 8, 8}, false},
    {"bigbutton", {344, 260, 423, 298}, true, {20, 0, 20, 0}, false},
    {"unchecked", {163, 220, 188, 244}, false, {}, false},
    {"checked", {163, 249, 188, 273}, false, {}, false},
    {"list", {14, 174, 152, 204}, true, {12, 12, 12, 12}, false},
    {"selection", {164, 400, 280, 422}, true, {10, 10, 10, 10}, false},
    {"item", {344, 310, 395, 347}, true, {6, 6, 6, 6}, false},
    {"disabled", {432, 260, 501, 326}, false, {}, false},
    {"track", {53, 373, 235, 384}, true, {4, 4, 4, 4}, false},
    {"thumb", {14, 370, 36, 392}, false, {}, false},
    {"edit", {14, 174, 152, 204}, true, {12, 12, 12, 12}, false},
    {"dropdown", {212, 292, 333, 334}, true, {7, 7, 15, 15}, false},
    {"dropdownhot", {344, 390, 412, 412}, true, {6, 6, 6, 6}, false},
    {"dropdownglyph", {424, 394, 433, 401}, false, {}, false},
    {"closebtn", {344, 430, 357, 443}, false, {}, false},
    {"closebtnhot", {364, 430, 377, 444}, false, {}, false},
    {"flipbtn", {384, 430, 397, 443}, false, {}, false},
    {"flipbtnhot", {404, 430, 417, 444}, false, {}, false},
    {"tile", {221, 16, 359, 149}, true, {9, 9, 9, 9}, false},
    {"circle", {215, 166, 320, 271}, false, {}, false},
    {"help", {322, 177, 381, 236}, false, {}, false},
    {"warn", {397, 178, 460, 237}, false, {}, false},
    {"cursor", {0, 453, 48, 512}, false, {}, false},
};

std::string Attribute(xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  if (!value) return "<none>";
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

float Number(xmlNode* node, const char* name) { return static_cast<float>(WideStrToFloat(AnsiToWide(Attribute(node, name)))); }
}  // namespace

TEST(BuiltinResources, FourFilesInRegistrationOrder) {
  std::span<const BuiltinFile> files = BuiltinFiles();
  ASSERT_EQ(files.size(), 4u);
  EXPECT_STREQ(files[0].name, "defaultskin.pixmap");
  EXPECT_STREQ(files[1].name, "defaulticon.pixmap");
  EXPECT_STREQ(files[2].name, "defaultpfx.pixmap");
  EXPECT_STREQ(files[3].name, "defaultskin.qxml");
  auto manager = Manager();
  for (const BuiltinFile& file : files) {
    std::string served = ReadResource(*manager, AnsiToWide(file.name));
    // Exactly the file: no byte past its end.
    EXPECT_EQ(served.size(), file.size) << file.name;
    EXPECT_TRUE(served == std::string(reinterpret_cast<const char*>(file.data), file.size)) << file.name;
  }
}

TEST(BuiltinResources, SkinObjectFileHasThirtyElementsAtTheirRectangles) {
  auto manager = Manager();
  std::string text = ReadResource(*manager, u"defaultskin.qxml");
  EXPECT_TRUE(text == ReadResource(*manager, u"defaultskin_qxml"));
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\"?>\r\n<Skin   >\r\n  <SkinElement \r\n     name=\"form\"\r\n"
                       "     pixmap.rect.left=\"4.000000000000000\"\r\n",
                       0),
            0u);
  EXPECT_NE(text.find("     pixmap.tile=\"False\"\r\n    >\r\n  </SkinElement>\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 9), "</Skin>\r\n");

  xmlDoc* doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), "defaultskin.qxml", nullptr, XML_PARSE_NONET);
  ASSERT_NE(doc, nullptr);
  xmlNode* root = xmlDocGetRootElement(doc);
  EXPECT_STREQ(reinterpret_cast<const char*>(root->name), "Skin");
  int index = 0;
  std::vector<std::pair<std::string, std::array<float, 4>>> placed;
  for (xmlNode* child = root->children; child; child = child->next) {
    if (child->type != XML_ELEMENT_NODE) continue;
    ASSERT_LT(index, 30);
    const ExpectedElement& e = kElements[index++];
    SCOPED_TRACE(e.name);
    EXPECT_STREQ(reinterpret_cast<const char*>(child->name), "SkinElement");
    EXPECT_EQ(Attribute(child, "name"), e.name);
    EXPECT_EQ(Number(child, "pixmap.rect.left"), e.rect[0]);
    EXPECT_EQ(Number(child, "pixmap.rect.top"), e.rect[1]);
    EXPECT_EQ(Number(child, "pixmap.rect.right"), e.rect[2]);
    EXPECT_EQ(Number(child, "pixmap.rect.bottom"), e.rect[3]);
    if (e.hasMargins) {
      EXPECT_EQ(Number(child, "pixmap.margins.left"), e.margins[0]);
      EXPECT_EQ(Number(child, "pixmap.margins.top"), e.margins[1]);
      EXPECT_EQ(Number(child, "pixmap.margins.right"), e.margins[2]);
      EXPECT_EQ(Number(child, "pixmap.margins.bottom"), e.margins[3]);
    } else {
      EXPECT_EQ(Attribute(child, "pixmap.margins.left"), "<none>");
    }
    EXPECT_EQ(Attribute(child, "pixmap.tile"), e.stretched ? "False" : "<none>");
    placed.push_back({e.name, {Number(child, "pixmap.rect.left"), Number(child, "pixmap.rect.top"),
                               Number(child, "pixmap.rect.right"), Number(child, "pixmap.rect.bottom")}});
  }
  // No element shows part of another ("edit" and "list" look alike and share
  // one), and none covers the texel plain fills sample.
  for (size_t i = 0; i < placed.size(); ++i) {
    const auto& [name, a] = placed[i];
    EXPECT_TRUE(a[0] >= 16 || a[1] >= 16 || name == "form") << name;
    for (size_t j = i + 1; j < placed.size(); ++j) {
      const auto& [other, b] = placed[j];
      if (name == "list" && other == "edit") continue;
      EXPECT_TRUE(a[2] <= b[0] || b[2] <= a[0] || a[3] <= b[1] || b[3] <= a[1]) << name << " overlaps " << other;
    }
  }
  EXPECT_EQ(index, 30);
  xmlFreeDoc(doc);
}

TEST(EmbeddedResMan, NamesKeysAndReadOnlyRule) {
  auto manager = Manager();
  EXPECT_EQ(embeddedFileKey(u"defaultskin.pixmap"), u"defaultskin_pixmap");
  EXPECT_EQ(embeddedFileKey(u"a.b.c"), u"a_b_c");
  EXPECT_TRUE(manager->streamExists(u"defaultskin.qxml"));
  EXPECT_TRUE(manager->streamExists(u"defaultskin_qxml"));
  EXPECT_TRUE(manager->streamExists(u"DefaultSkin.QXML"));
  EXPECT_FALSE(manager->streamExists(u"defaultskin"));
  EXPECT_FALSE(manager->streamExists(u"lang\\text.txt"));
  EXPECT_EQ(manager->createStream(u"nothing.png", fmOpenRead), nullptr);
  EXPECT_EQ(manager->createStream(u"defaultskin.qxml", fmCreate), nullptr);
  EXPECT_EQ(manager->createStream(u"defaultskin.qxml", fmOpenWrite), nullptr);
  EXPECT_EQ(manager->createStream(u"defaultskin.qxml", fmOpenReadWrite), nullptr);
  EXPECT_NE(Owned<TStream>(manager->createStream(u"defaultskin.qxml", fmOpenRead | fmShareDenyWrite)), nullptr);
  EXPECT_EQ(manager->FileDate(u"defaultskin.qxml"), -1);
  EXPECT_FALSE(manager->FileTime(u"defaultskin.qxml").has_value());
  EXPECT_TRUE(manager->listFiles(u"*").empty());
  EXPECT_EQ(manager->findFilesText(u"\\", u"*.*"), u"");
  manager->IntFindDirInDir(u"\\");
  EXPECT_TRUE(manager->results().empty());
}

TEST(EmbeddedResMan, StreamsAreIndependentCopies) {
  auto manager = Manager();
  Owned<TStream> first(manager->createStream(u"defaultskin.qxml", fmOpenRead));
  Owned<TStream> second(manager->createStream(u"defaultskin_qxml", fmOpenRead));
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->Position(), 0);
  char a[5] = {}, b[5] = {};
  first->Seek(2, SeekOrigin::Begin);
  first->Read(a, 4);
  second->Read(b, 4);
  EXPECT_STREQ(a, "xml ");
  EXPECT_STREQ(b, "<?xm");
  // Writing into a copy changes nothing stored.
  first->SetPosition(0);
  first->Write("XXXX", 4);
  EXPECT_EQ(ReadResource(*manager, u"defaultskin.qxml").substr(0, 4), "<?xm");
}

TEST(EmbeddedResMan, AddedFilesKeepTheirExactLength) {
  const uint8_t bytes[] = {'a', 'b', 'c', 'd'};
  addEmbeddedFile(u"extra.txt", bytes, 3);
  auto manager = Manager();
  EXPECT_EQ(ReadResource(*manager, u"EXTRA_TXT"), "abc");
  addEmbeddedFile(u"extra_txt", bytes + 1, 3);  // the same key: replaced
  EXPECT_EQ(ReadResource(*manager, u"extra.txt"), "bcd");
}

TEST(EmbeddedResMan, LogLinesAndRegistration) {
  LogCapture log;
  { auto manager = Manager(); }
  std::vector<std::string> expected = {
      "(i) Resource manager TEmbeddedResMan starded", "(i) Embedded resource manager started TEmbeddedResMan",
      "(i) Embedded resource manager closed TEmbeddedResMan", "(i) Resource manager TEmbeddedResMan closed"};
  EXPECT_EQ(log.messages(), expected);

  RegisterResourceManagers();
  EXPECT_EQ(EmbeddedResManClass, &TEmbeddedResMan::staticClassInfo());
  EXPECT_EQ(GetClass("TVirtualFileSystemResMan"), ArchiveResManClass);
  EXPECT_NE(GetClass("TFolderResourceMan"), nullptr);
  EXPECT_NE(GetClass("TExtResourceMan"), nullptr);
  // The engine's class reference makes a working manager.
  Owned<TObject> made(EmbeddedResManClass->create(nullptr));
  auto* embedded = dynamic_cast<TResourceMan*>(made.get());
  ASSERT_NE(embedded, nullptr);
  EXPECT_TRUE(embedded->streamExists(u"defaultpfx.pixmap"));
}
