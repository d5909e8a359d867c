// Skins in a real applet: the built-in default skin and its elements, skin
// pixmaps drawn by element name, elements that are missing or freed, and a
// default skin file that cannot be read.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/resources/builtin_resources.h"
#include "core/resources/embedded_res_man.h"
#include "core/streams/object_file.h"
#include "engine/applet/applet.h"
#include "engine/media/pixmap_persistent.h"
#include "engine/media/skin.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "tests/engine/media_world.h"

namespace {

// The built-in skin pixmap as the filter will one day read it: blue where the
// "button" element lies, red everywhere else.
MediaMakers::PixmapRecipe SkinPixmap() {
  return {512, 512, [](int x, int y) { return (x >= 14 && x < 141 && y >= 400 && y < 432) ? kBlue : kRed; }};
}

class MediaSkin : public ::testing::Test {
 protected:
  void SetUp() override {
    makers.pixmaps["defaultskin"] = SkinPixmap();
    makers.pixmaps["green"] = {8, 8, [](int, int) { return kGreen; }};
    makers.pixmaps["white"] = {8, 8, [](int, int) { return kWhite; }};
  }
  Applet* start(const std::string& children = "") {
    world.reset();  // one log capture at a time
    world = std::make_unique<AppletWorld>(AppletText(R"(width="64" height="48" title="Skins")", children));
    return world->applet;
  }
  Skin* defaultSkin() const { return dynamic_cast<Skin*>(world->applet->parts()->defaultSkin()); }
  MediaMakers makers;
  MediaPartsScope scope{makers};
  std::unique_ptr<AppletWorld> world;
};

TEST_F(MediaSkin, TheBuiltInSkinIsLoadedWithItsThirtyElements) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  EXPECT_TRUE(world->log.contains("(i) Default skin loaded"));
  // Loading the skin inside the applet's construction keeps the applet's own
  // record for the applet: its size comes from the main file.
  EXPECT_EQ(RenderFrame(applet).width, 64);
  EXPECT_EQ(RenderFrame(applet).height, 48);
  Skin* skin = defaultSkin();
  ASSERT_NE(skin, nullptr);
  // The applet's own, outside its tree: its elements never hide the game's
  // objects of the same names.
  EXPECT_EQ(skin->getParent(), nullptr);
  EXPECT_EQ(skin->applet(), applet);
  EXPECT_EQ(applet->findByName(u"button"), nullptr);
  ASSERT_EQ(skin->count(), 30);
  auto* form = dynamic_cast<SkinElement*>(skin->findByName(u"form"));
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->pixmap()->rect()->getRect(), (TRectF{4, 4, 210, 164}));
  EXPECT_EQ(form->pixmap()->margins()->getRect(), (TRectF{31, 31, 35, 35}));
  EXPECT_FALSE(form->pixmap()->tile());
  auto* cursor = dynamic_cast<SkinElement*>(skin->findByName(u"cursor"));
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(cursor->pixmap()->rect()->getRect(), (TRectF{0, 453, 48, 512}));
  EXPECT_TRUE(cursor->pixmap()->margins()->marginEmpty());
  // Elements are not script-visible; the skin is.
  EXPECT_FALSE(form->objectStyle().contains(osScriptable));
  EXPECT_TRUE(skin->objectStyle().contains(osScriptable));
}

TEST_F(MediaSkin, ASkinPixmapDrawsItsElementOfTheDefaultSkin) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  ASSERT_NE(applet->defaultPixmap(), nullptr);
  MediaPaint* paint = AddPaint(applet, {0, 0, 32, 32});
  auto* pixmap = dynamic_cast<TSkinPixmapPersistent*>(paint->useSkinPixmap());
  ASSERT_NE(pixmap, nullptr);
  EXPECT_EQ(pixmap->skin(), defaultSkin());
  EXPECT_TRUE(pixmap->useDefault());
  pixmap->setObjectName(u"button");
  ASSERT_NE(pixmap->element(), nullptr);
  EXPECT_EQ(pixmap->element()->name(), u"button");

  // The element's part of the default pixmap, in nine parts: all blue.
  Frame frame = RenderFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  for (auto [x, y] : {std::pair{2, 2}, {16, 16}, {30, 30}, {30, 2}}) {
    EXPECT_TRUE(Near(frame.at(x, y), kBlue)) << x << "," << y << " " << std::hex << frame.at(x, y);
  }
  // Its own pixmap alone would be the whole default pixmap: mostly red.
  pixmap->setObjectName(u"");
  EXPECT_EQ(pixmap->element(), nullptr);
  frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(16, 16), kRed)) << std::hex << frame.at(16, 16);
}

TEST_F(MediaSkin, AnElementTheSkinDoesNotHoldDrawsTheOwnPixmap) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  MediaPaint* paint = AddPaint(applet, {0, 0, 16, 16});
  auto* pixmap = dynamic_cast<TSkinPixmapPersistent*>(paint->useSkinPixmap());
  pixmap->setFileName(u"green.png");
  pixmap->setObjectName(u"nosuchelement");
  EXPECT_EQ(pixmap->element(), nullptr);
  Frame frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(8, 8), kGreen)) << std::hex << frame.at(8, 8);
}

TEST_F(MediaSkin, AGameSkinFromTheMainFileReplacesTheDefaultByReference) {
  Applet* applet = start(
      "  <Skin name=\"mySkin\">\r\n"
      "    <SkinElement name=\"panel\" pixmap.fileName=\"white.png\"/>\r\n"
      "  </Skin>\r\n");
  ASSERT_NE(applet, nullptr);
  auto* mine = dynamic_cast<Skin*>(applet->findByName(u"mySkin"));
  ASSERT_NE(mine, nullptr);
  auto* panel = dynamic_cast<SkinElement*>(mine->findByName(u"panel"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->pixmap()->fileName(), u"white.png");
  ASSERT_NE(panel->pixmap()->loadedPixmap(), nullptr);

  MediaPaint* paint = AddPaint(applet, {0, 0, 16, 16});
  auto* pixmap = dynamic_cast<TSkinPixmapPersistent*>(paint->useSkinPixmap());
  pixmap->setFileName(u"green.png");
  pixmap->setObjectName(u"panel");
  EXPECT_EQ(pixmap->element(), nullptr) << "the default skin has no panel";
  pixmap->setSkin(mine);
  EXPECT_EQ(pixmap->element(), panel);
  Frame frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(8, 8), kWhite)) << std::hex << frame.at(8, 8);

  // Freeing the element, then the skin: the pixmap falls back to its own.
  panel->Free();
  EXPECT_EQ(pixmap->element(), nullptr);
  frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(8, 8), kGreen)) << std::hex << frame.at(8, 8);
  mine->Free();
  EXPECT_EQ(pixmap->skin(), nullptr);
  pixmap->setObjectName(u"panel");
  EXPECT_EQ(pixmap->element(), nullptr);
}

TEST_F(MediaSkin, TheBuiltInSkinIsNotWrittenIntoTheAppletsFile) {
  Applet* applet = start("  <Skin name=\"mySkin\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  ASSERT_NE(defaultSkin(), nullptr);
  ASSERT_TRUE(StoreObjectFile(applet->resourceManager(), u"stored.qxml", applet));
  const std::string text = world->game.read("stored.qxml");
  EXPECT_NE(text.find("mySkin"), std::string::npos);
  EXPECT_EQ(text.find("SkinElement"), std::string::npos) << text;
}

TEST_F(MediaSkin, ASkinWrittenWithAGameSkinReferenceReadsBack) {
  Applet* applet = start(
      "  <Skin name=\"mySkin\">\r\n"
      "    <SkinElement name=\"panel\" pixmap.fileName=\"white.png\" pixmap.rect.right=\"4\" pixmap.rect.bottom=\"4\""
      " pixmap.margins.left=\"1\"/>\r\n"
      "  </Skin>\r\n");
  ASSERT_NE(applet, nullptr);
  ASSERT_TRUE(StoreObjectFile(applet->resourceManager(), u"stored.qxml", applet->findByName(u"mySkin")));
  const std::string text = world->game.read("stored.qxml");
  EXPECT_NE(text.find("pixmap.fileName"), std::string::npos) << text;
  EXPECT_NE(text.find("pixmap.rect.right"), std::string::npos) << text;
  EXPECT_NE(text.find("pixmap.margins.left"), std::string::npos) << text;
  EXPECT_EQ(text.find("pixmap.rect.left"), std::string::npos) << text;
  EXPECT_EQ(text.find("pixmap.src"), std::string::npos) << text;
  EXPECT_EQ(text.find("pixmap.useDefault"), std::string::npos) << text;

  BaseObject* copy = LoadObjectFile(applet->resourceManager(), u"stored.qxml", applet, false, nullptr);
  ASSERT_NE(dynamic_cast<Skin*>(copy), nullptr);
  auto* panel = dynamic_cast<SkinElement*>(copy->findByName(u"panel"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->pixmap()->rect()->getRect(), (TRectF{0, 0, 4, 4}));
  EXPECT_EQ(panel->pixmap()->margins()->getRect(), (TRectF{1, 0, 0, 0}));
  EXPECT_EQ(panel->pixmap()->fileName(), u"white.png");
}

// Puts other bytes under "defaultskin.qxml" while alive, and the built-in
// file back afterwards.
class ReplacedSkinFile {
 public:
  explicit ReplacedSkinFile(const std::string& bytes) {
    addEmbeddedFile(u"defaultskin.qxml", reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  ~ReplacedSkinFile() {
    for (const BuiltinFile& file : BuiltinFiles()) {
      if (std::string(file.name) == "defaultskin.qxml") addEmbeddedFile(u"defaultskin.qxml", file.data, file.size);
    }
  }
  ReplacedSkinFile(const ReplacedSkinFile&) = delete;
  ReplacedSkinFile& operator=(const ReplacedSkinFile&) = delete;
};

TEST_F(MediaSkin, ABuiltInSkinFileThatIsNoSkinLeavesTheAppletWithoutOne) {
  {
    ReplacedSkinFile damaged("<?xml version=\"1.0\"?>\r\n<Dummy name=\"notASkin\"/>\r\n");
    Applet* applet = start();
    ASSERT_NE(applet, nullptr);
    EXPECT_TRUE(world->log.contains("(e) Default skin not loaded: defaultskin.qxml"));
    EXPECT_FALSE(world->log.contains("(i) Default skin loaded"));
    EXPECT_EQ(defaultSkin(), nullptr);
    EXPECT_EQ(applet->findByName(u"notASkin"), nullptr);
    MediaPaint* paint = AddPaint(applet, {0, 0, 16, 16});
    auto* pixmap = dynamic_cast<TSkinPixmapPersistent*>(paint->useSkinPixmap());
    EXPECT_EQ(pixmap->skin(), nullptr);
    pixmap->setObjectName(u"button");
    pixmap->setFileName(u"green.png");
    Frame frame = RenderFrame(applet);
    EXPECT_TRUE(Near(frame.at(8, 8), kGreen)) << std::hex << frame.at(8, 8);
    world->shutDown();
  }
  {
    ReplacedSkinFile garbage("\x01\x02 not an object file");
    Applet* applet = start();
    ASSERT_NE(applet, nullptr);
    EXPECT_TRUE(world->log.contains("(e) Default skin not loaded: defaultskin.qxml"));
    EXPECT_EQ(defaultSkin(), nullptr);
    world->shutDown();
  }
  // The real file is back.
  start();
  EXPECT_NE(defaultSkin(), nullptr);
}

}  // namespace
