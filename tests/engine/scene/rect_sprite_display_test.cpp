// Rects and sprites in a real applet: the pixels they put on a real frame
// around their position, which points hit them, their box bodies in a
// recording physics engine, and a round trip through an object file.
#include <gtest/gtest.h>

#include <memory>

#include "core/geometry/coordinates.h"
#include "engine/applet/applet.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "engine/scene/rect.h"
#include "engine/scene/sprite.h"
#include "tests/engine/media_world.h"
#include "tests/engine/test_dynamic_engine.h"

namespace {

// 16 x 16: red top left, green top right, blue bottom left, white bottom right.
MediaMakers::PixmapRecipe Quadrants() {
  return {16, 16, [](int x, int y) { return y < 8 ? (x < 8 ? kRed : kGreen) : (x < 8 ? kBlue : kWhite); }};
}

constexpr uint32_t kBlack = 0xFF000000u;

class RectsAndSprites : public ::testing::Test {
 protected:
  void SetUp() override { makers.pixmaps["quad"] = Quadrants(); }
  void TearDown() override {
    world.reset();
    SetDynamicEngineClass(nullptr);
  }
  Applet* load(const std::string& children) {
    world.reset();  // one log capture at a time
    world = std::make_unique<AppletWorld>(AppletText(R"(width="64" height="48" title="Shapes")", children));
    return world->applet;
  }
  template <typename T>
  T* find(const char16_t* name) {
    return dynamic_cast<T*>(world->applet->findByName(name));
  }

  MediaMakers makers;
  MediaPartsScope scope{makers};
  std::unique_ptr<AppletWorld> world;
};

TEST_F(RectsAndSprites, ARectFillsItsSizeCentredOnItsPositionInItsMaterialsColour) {
  Applet* applet = load(R"(<Rect name="plain" position.x="20" position.y="15" width="20" height="10"/>
<Materials name="materials"><Material name="gui"/><Material name="red" diffuse="#FFFF0000"/></Materials>
<Rect name="red" material="red" position.x="50" position.y="36"/>
)");
  ASSERT_NE(applet, nullptr);
  Frame frame = RenderFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  // The plain rect covers x 10..30 and y 10..20 in the material "gui".
  for (auto [x, y] : {std::pair{11, 11}, {28, 11}, {11, 18}, {28, 18}, {20, 15}}) {
    EXPECT_FALSE(Near(frame.at(x, y), kBlack)) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{8, 15}, {32, 15}, {20, 8}, {20, 22}}) {
    EXPECT_TRUE(Near(frame.at(x, y), kBlack)) << x << "," << y;
  }
  // The second rect, 10 x 10 by default, in its red material.
  EXPECT_TRUE(Near(frame.at(46, 32), kRed)) << std::hex << frame.at(46, 32);
  EXPECT_TRUE(Near(frame.at(53, 39), kRed)) << std::hex << frame.at(53, 39);
  EXPECT_TRUE(Near(frame.at(57, 36), kBlack)) << std::hex << frame.at(57, 36);

  // The rect turns with its frame: a quarter turn makes the 20 x 10 rect stand up.
  find<Rect>(u"plain")->setZAngle(90);
  frame = RenderFrame(applet);
  EXPECT_FALSE(Near(frame.at(20, 23), kBlack)) << std::hex << frame.at(20, 23);
  EXPECT_TRUE(Near(frame.at(28, 15), kBlack)) << std::hex << frame.at(28, 15);
}

TEST_F(RectsAndSprites, ARectIsHitStrictlyInsideItsHalfSizesAndOnlyWhileVisible) {
  Applet* applet = load(R"(<Rect name="target" position.x="30" position.y="20"/>)");
  ASSERT_NE(applet, nullptr);
  auto* rect = find<Rect>(u"target");
  ASSERT_NE(rect, nullptr);
  EXPECT_TRUE(rect->pointInObject(34.9f, 20));
  EXPECT_FALSE(rect->pointInObject(35.0f, 20));
  EXPECT_TRUE(rect->pointInObject(30, 15.1f));
  EXPECT_FALSE(rect->pointInObject(30, 14.9f));
  EXPECT_EQ(applet->objectAt(34.9f, 20), rect);
  EXPECT_NE(applet->objectAt(35.0f, 20), rect);
  // Scaled frames are taken into account: at scale 2 the rect reaches 10 out.
  rect->scale()->setVector(MakeVector4F(2, 2, 1, 1));
  EXPECT_TRUE(rect->pointInObject(39.5f, 20));
  rect->setVisible(false);
  EXPECT_FALSE(rect->pointInObject(30, 20));
}

TEST_F(RectsAndSprites, ASpriteIsNeverHitItselfOnlyThroughItsChildren) {
  Applet* applet = load(R"(<Sprite name="sprite" position.x="30" position.y="20" width="40" height="40">
  <Rect name="inner" position.x="-10"/>
</Sprite>
)");
  ASSERT_NE(applet, nullptr);
  auto* sprite = find<Sprite>(u"sprite");
  auto* inner = find<Rect>(u"inner");
  ASSERT_TRUE(sprite && inner);
  EXPECT_FALSE(sprite->pointInObject(30, 20));
  EXPECT_EQ(applet->objectAt(20, 20), inner) << "the child, placed in the sprite's frame";
  VisualObject* under = applet->objectAt(35, 20);
  EXPECT_NE(under, sprite);
  EXPECT_NE(under, inner);
  EXPECT_FLOAT_EQ(sprite->getBoundingRadius(), 20);
  EXPECT_FLOAT_EQ(inner->getBoundingRadius(), 5);
}

TEST_F(RectsAndSprites, ASpriteDrawsItsPixmapOverItsSizeCentredOnItsPosition) {
  Applet* applet = load(R"(<Sprite name="sprite" position.x="20" position.y="20" width="32" height="32" pixmap.fileName="quad.png"/>)");
  ASSERT_NE(applet, nullptr);
  auto* sprite = find<Sprite>(u"sprite");
  ASSERT_NE(sprite, nullptr);
  EXPECT_EQ(sprite->material(), u"gui");
  ASSERT_EQ(sprite->pixmap()->width(), 16);
  Frame frame = RenderFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  // The sprite covers 4..36 on both axes.
  EXPECT_TRUE(Near(frame.at(10, 10), kRed)) << std::hex << frame.at(10, 10);
  EXPECT_TRUE(Near(frame.at(30, 10), kGreen)) << std::hex << frame.at(30, 10);
  EXPECT_TRUE(Near(frame.at(10, 30), kBlue)) << std::hex << frame.at(10, 30);
  EXPECT_TRUE(Near(frame.at(30, 30), kWhite)) << std::hex << frame.at(30, 30);
  EXPECT_TRUE(Near(frame.at(40, 20), kBlack)) << std::hex << frame.at(40, 20);
  EXPECT_TRUE(Near(frame.at(20, 2), kBlack)) << std::hex << frame.at(20, 2);

  // Assigning a pixmap description copies it into the sprite's own.
  auto* other = New<TSkinPixmapPersistent>(applet);
  other->rect()->setRect({8, 8, 16, 16});
  other->setFileName(u"quad.png");
  sprite->setPixmap(other);
  other->Free();
  EXPECT_EQ(sprite->pixmap()->fileName(), u"quad.png");
  frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(10, 10), kWhite)) << std::hex << frame.at(10, 10);
  EXPECT_TRUE(Near(frame.at(30, 30), kWhite)) << std::hex << frame.at(30, 30);
}

TEST_F(RectsAndSprites, BodiesAreFlatBoxesOfTheirSizeRectsShallowSpritesDeep) {
  SetDynamicEngineClass(&TTestEngine::staticClassInfo());
  Applet* applet = load(R"(<Rect name="floor" collisable="True" width="60" height="4"/>
<Sprite name="crate" dynamic="True" width="8" height="6"/>
<Rect name="ghost"/>
)");
  ASSERT_NE(applet, nullptr);
  for (const char16_t* name : {u"floor", u"crate", u"ghost"}) find<PositionObject>(name)->spawn();
  TTestEngine* engine = TTestEngine::made;
  ASSERT_NE(engine, nullptr);
  EXPECT_EQ(engine->boxSizes.size(), 2u) << "only collisable and dynamic objects get bodies";
  ExpectSize(engine->boxSizes[u"floor"], 60, 4, 10);
  ExpectSize(engine->boxSizes[u"crate"], 8, 6, 50);
  EXPECT_NE(find<Rect>(u"floor")->body(), 0);
  EXPECT_NE(find<Sprite>(u"crate")->body(), 0);

  find<Sprite>(u"crate")->unspawn();
  EXPECT_EQ(find<Sprite>(u"crate")->body(), 0);
  EXPECT_EQ(engine->calls.back(), "RemoveBody crate");
}

TEST_F(RectsAndSprites, SizesAndThePixmapSurviveAnObjectFile) {
  Applet* applet = load(R"(<PositionObject name="holder">
  <Sprite name="sprite" width="24" pixmap.objectName="cursor" pixmap.fileName="quad.png"/>
  <Rect name="rect" height="3.5"/>
</PositionObject>
)");
  ASSERT_NE(applet, nullptr);
  applet->storeObject(applet->findByName(u"holder"), u"stored.qxml");
  const std::string text = world->game.read("stored.qxml");
  EXPECT_NE(text.find("pixmap.objectName=\"cursor\""), std::string::npos) << text;
  EXPECT_NE(text.find("pixmap.fileName=\"quad.png\""), std::string::npos) << text;
  EXPECT_EQ(text.find("pixmap.skin"), std::string::npos) << "the default skin is not written";
  EXPECT_NE(text.find("width=\"24"), std::string::npos) << text;
  EXPECT_NE(text.find("height=\"3.5"), std::string::npos) << text;

  auto* copy = dynamic_cast<BaseObject*>(applet->newFromFile(u"stored.qxml", applet));
  ASSERT_NE(copy, nullptr);
  auto* sprite = dynamic_cast<Sprite*>(copy->findByName(u"sprite"));
  ASSERT_NE(sprite, nullptr);
  EXPECT_FLOAT_EQ(sprite->width(), 24);
  EXPECT_FLOAT_EQ(sprite->height(), 10);
  EXPECT_EQ(sprite->pixmap()->objectName(), u"cursor");
  EXPECT_EQ(sprite->pixmap()->fileName(), u"quad.png");
  EXPECT_FLOAT_EQ(dynamic_cast<Rect*>(copy->findByName(u"rect"))->height(), 3.5f);
}
}  // namespace
