// Pixmap persistents in a real applet: which manager a file name goes
// through, what the cache holds, and the pixels each drawing mode puts on a
// real frame.
#include <gtest/gtest.h>

#include "core/objects/engine.h"
#include "core/resources/ext_resource_man.h"
#include "engine/applet/applet.h"
#include "engine/cache/cache.h"
#include "engine/cache/cache_list.h"
#include "engine/media/pixmap_persistent.h"
#include "platform/device.h"
#include "tests/engine/media_world.h"

namespace {

// 16 x 16: red top left, green top right, blue bottom left, white bottom right.
MediaMakers::PixmapRecipe Quadrants() {
  return {16, 16, [](int x, int y) { return y < 8 ? (x < 8 ? kRed : kGreen) : (x < 8 ? kBlue : kWhite); }};
}
// 16 x 16: a red frame 4 pixels wide around green.
MediaMakers::PixmapRecipe Framed() {
  return {16, 16, [](int x, int y) { return (x < 4 || y < 4 || x >= 12 || y >= 12) ? kRed : kGreen; }};
}
// 8 x 8: red left half, green right half.
MediaMakers::PixmapRecipe Halves() {
  return {8, 8, [](int x, int) { return x < 4 ? kRed : kGreen; }};
}
MediaMakers::PixmapRecipe Solid(uint32_t color) {
  return {8, 8, [color](int, int) { return color; }};
}

class MediaPixmap : public ::testing::Test {
 protected:
  void SetUp() override {
    makers.pixmaps["quad"] = Quadrants();
    makers.pixmaps["framed"] = Framed();
    makers.pixmaps["halves"] = Halves();
    makers.pixmaps["red"] = Solid(kRed);
    makers.pixmaps["blue"] = Solid(kBlue);
  }
  Applet* start() {
    world.reset();  // one log capture at a time
    world = std::make_unique<AppletWorld>(AppletText(R"(width="64" height="48" title="Pixmaps")"));
    return world->applet;
  }
  MediaMakers makers;
  MediaPartsScope scope{makers};
  std::unique_ptr<AppletWorld> world;
};

TEST_F(MediaPixmap, FileNamesGoThroughTheBuiltInTheExternalOrTheAppletsManager) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  ASSERT_NE(applet->resourceManager(), nullptr);
  makers.pixmapRequests.clear();
  MediaPaint* paint = AddPaint(applet, {0, 0, 8, 8});
  TPixmapPersistent* pixmap = paint->usePixmap();

  pixmap->setFileName(u"defaultskin_pixmap");
  pixmap->setFileName(u"c:\\x.png");
  pixmap->setFileName(u"x.png");
  ASSERT_EQ(makers.pixmapRequests.size(), 3u);
  EXPECT_EQ(makers.pixmapRequests[0].manager, world->engine->embeddedResourceManager());
  EXPECT_EQ(makers.pixmapRequests[0].name, "defaultskin.pixmap");
  EXPECT_EQ(makers.pixmapRequests[1].manager, static_cast<TResourceMan*>(world->engine->externalResourceManager()));
  EXPECT_EQ(makers.pixmapRequests[1].name, "c:\\x.png");
  EXPECT_EQ(makers.pixmapRequests[2].manager, applet->resourceManager());
  EXPECT_EQ(makers.pixmapRequests[2].name, "x.png");
  // The src property is the same value.
  EXPECT_EQ(pixmap->fileName(), u"x.png");
}

TEST_F(MediaPixmap, TheSameNameLoadsNothingAndAnotherNameGivesTheOldPixmapBack) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  makers.pixmapRequests.clear();
  TPixmapPersistent* pixmap = AddPaint(applet, {0, 0, 8, 8})->usePixmap();
  pixmap->setFileName(u"red.png");
  TPixmap* red = pixmap->loadedPixmap();
  ASSERT_NE(red, nullptr);
  const TCacheList& cached = applet->cache()->pixmaps();
  EXPECT_EQ(cached.useCountOf(red), 1);

  pixmap->setFileName(u"red.png");
  EXPECT_EQ(pixmap->loadedPixmap(), red);
  EXPECT_EQ(makers.pixmapRequests.size(), 1u);
  EXPECT_EQ(cached.useCountOf(red), 1);

  // A second persistent of the same file shares it.
  TPixmapPersistent* other = AddPaint(applet, {0, 0, 8, 8})->usePixmap();
  other->setFileName(u"red.pixmap");
  EXPECT_EQ(other->loadedPixmap(), red);
  EXPECT_EQ(cached.useCountOf(red), 2);

  pixmap->setFileName(u"blue.png");
  EXPECT_EQ(cached.useCountOf(red), 1);
  other->setFileName(u"");
  EXPECT_LT(cached.indexOfResource(red), 0);
  EXPECT_EQ(other->loadedPixmap(), nullptr);
  EXPECT_EQ(pixmap->width(), 8);
}

TEST_F(MediaPixmap, AStretchedPixmapFillsItsRectAndTheSourceRectPicksAPart) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  MediaPaint* paint = AddPaint(applet, {0, 0, 32, 32});
  TPixmapPersistent* pixmap = paint->usePixmap();
  pixmap->setFileName(u"quad.png");
  ASSERT_EQ(pixmap->width(), 16);

  Frame frame = RenderFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  EXPECT_TRUE(Near(frame.at(8, 8), kRed)) << std::hex << frame.at(8, 8);
  EXPECT_TRUE(Near(frame.at(24, 8), kGreen)) << std::hex << frame.at(24, 8);
  EXPECT_TRUE(Near(frame.at(8, 24), kBlue)) << std::hex << frame.at(8, 24);
  EXPECT_TRUE(Near(frame.at(24, 24), kWhite)) << std::hex << frame.at(24, 24);
  EXPECT_TRUE(Near(frame.at(40, 8), 0xFF000000u)) << "outside the rect: background";

  // The top right quarter alone, stretched over the whole rect.
  pixmap->rect()->setRect({8, 0, 16, 8});
  frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(4, 4), kGreen)) << std::hex << frame.at(4, 4);
  EXPECT_TRUE(Near(frame.at(28, 28), kGreen)) << std::hex << frame.at(28, 28);
  // The offset moves the source: 8 left and 8 down is the bottom left quarter.
  pixmap->offset()->setPoint({-8, 8});
  frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(16, 16), kBlue)) << std::hex << frame.at(16, 16);
  // Drawing leaves the texture matrix as it found it.
  EXPECT_EQ(applet->device()->textureMatrix(), TTextureMatrix());
  EXPECT_FALSE(pixmap->bound());
}

TEST_F(MediaPixmap, BindSetsTheTextureMatrixFromRectAndOffset) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  TPixmapPersistent* pixmap = AddPaint(applet, {0, 0, 8, 8})->usePixmap();
  pixmap->setFileName(u"quad.png");
  pixmap->bind();
  EXPECT_FALSE(pixmap->bound());
  EXPECT_EQ(applet->device()->textureMatrix(), TTextureMatrix());

  pixmap->rect()->setRect({4, 2, 12, 6});
  pixmap->offset()->setPoint({2, 6});
  pixmap->bind();
  EXPECT_TRUE(pixmap->bound());
  const TTextureMatrix& m = applet->device()->textureMatrix();
  EXPECT_FLOAT_EQ(m.m[0][0], 0.5f);
  EXPECT_FLOAT_EQ(m.m[1][1], 0.25f);
  EXPECT_FLOAT_EQ(m.m[2][0], 6.0f / 16);
  EXPECT_FLOAT_EQ(m.m[2][1], 8.0f / 16);
  EXPECT_FLOAT_EQ(m.m[2][2], 1.0f);
  EXPECT_TRUE(applet->device()->RenderStateOn(rsFilterLinear));
  EXPECT_TRUE(applet->device()->RenderStateOn(rsTextureModulate));
  pixmap->unbind();
  EXPECT_EQ(applet->device()->textureMatrix(), TTextureMatrix());
}

TEST_F(MediaPixmap, MarginsKeepTheBorderWidthAndTileRepeatsThePixmap) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  MediaPaint* paint = AddPaint(applet, {0, 0, 64, 48});
  TPixmapPersistent* pixmap = paint->usePixmap();
  pixmap->setFileName(u"framed.png");

  // Stretched: the 4-pixel frame becomes 16 pixels wide.
  Frame frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(10, 24), kRed)) << std::hex << frame.at(10, 24);
  // In nine parts the frame keeps its 4 pixels.
  pixmap->margins()->setRect({4, 4, 4, 4});
  frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(1, 24), kRed)) << std::hex << frame.at(1, 24);
  EXPECT_TRUE(Near(frame.at(10, 24), kGreen)) << std::hex << frame.at(10, 24);
  EXPECT_TRUE(Near(frame.at(62, 24), kRed)) << std::hex << frame.at(62, 24);
  EXPECT_TRUE(Near(frame.at(32, 1), kRed)) << std::hex << frame.at(32, 1);
  EXPECT_TRUE(Near(frame.at(32, 24), kGreen)) << std::hex << frame.at(32, 24);
  // Tiled nine parts: the frame still 4 pixels.
  pixmap->setTile(true);
  frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(1, 24), kRed)) << std::hex << frame.at(1, 24);
  EXPECT_TRUE(Near(frame.at(10, 24), kGreen)) << std::hex << frame.at(10, 24);

  // Tiled without margins: the 8-pixel halves repeat across the rect.
  pixmap->setFileName(u"halves.png");
  pixmap->margins()->setRect({0, 0, 0, 0});
  frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(2, 4), kRed)) << std::hex << frame.at(2, 4);
  EXPECT_TRUE(Near(frame.at(6, 4), kGreen)) << std::hex << frame.at(6, 4);
  EXPECT_TRUE(Near(frame.at(10, 4), kRed)) << std::hex << frame.at(10, 4);
  EXPECT_TRUE(Near(frame.at(14, 4), kGreen)) << std::hex << frame.at(14, 4);
  EXPECT_TRUE(Near(frame.at(58, 40), kRed)) << std::hex << frame.at(58, 40);
}

TEST_F(MediaPixmap, WithoutItsOwnPixmapItDrawsTheDefaultOrNothing) {
  makers.pixmaps["defaultskin"] = Solid(kBlue);
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  ASSERT_NE(applet->defaultPixmap(), nullptr);
  MediaPaint* paint = AddPaint(applet, {0, 0, 16, 16});
  TPixmapPersistent* pixmap = paint->usePixmap();
  pixmap->setFileName(u"missing.png");  // no such pixmap
  EXPECT_EQ(pixmap->loadedPixmap(), nullptr);
  EXPECT_FALSE(pixmap->empty());
  EXPECT_EQ(pixmap->getPixmap(), applet->defaultPixmap());
  EXPECT_EQ(pixmap->width(), 8);
  Frame frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(8, 8), kBlue)) << std::hex << frame.at(8, 8);

  pixmap->setUseDefault(false);
  EXPECT_TRUE(pixmap->empty());
  EXPECT_EQ(pixmap->width(), 0);
  EXPECT_EQ(pixmap->height(), 0);
  frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(8, 8), 0xFF000000u)) << std::hex << frame.at(8, 8);
}

TEST_F(MediaPixmap, WithNeitherItsOwnNorADefaultPixmapNothingIsDrawn) {
  Applet* applet = start();  // no default pixmap: its file cannot be read yet
  ASSERT_NE(applet, nullptr);
  EXPECT_EQ(applet->defaultPixmap(), nullptr);
  TPixmapPersistent* pixmap = AddPaint(applet, {0, 0, 16, 16})->usePixmap();
  EXPECT_FALSE(pixmap->empty());
  EXPECT_EQ(pixmap->width(), 0);
  Frame frame = RenderFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  EXPECT_TRUE(Near(frame.at(8, 8), 0xFF000000u));
}

TEST_F(MediaPixmap, ScriptsDestroyOnlyPixmapsTheDeviceMade) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  TDevice* device = applet->device();
  TPixmapPersistent* pixmap = AddPaint(applet, {0, 0, 8, 8})->usePixmap();
  pixmap->setFileName(u"red.png");
  ASSERT_NE(pixmap->loadedPixmap(), nullptr);
  // A pixmap no device made is not this device's to destroy.
  std::unique_ptr<TPixmap, FreeDeleter> stranger(New<TPixmap>());
  device->scriptDestroyPixmap(stranger.get());
  // One the device made goes.
  TPixmap* own = device->scriptCreatePixmap(4, 4);
  ASSERT_NE(own, nullptr);
  const size_t before = device->pixmaps().size();
  device->scriptDestroyPixmap(own);
  EXPECT_EQ(device->pixmaps().size(), before - 1);
  // The cached pixmap still draws.
  Frame frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(4, 4), kRed)) << std::hex << frame.at(4, 4);
}

}  // namespace
