// A sprite whose pixmap is a PNG of the game folder, in a real applet with
// the program's own filter, drawn through each device: the frame read back
// from GL shows the picture's four quadrants where the sprite lies, and the
// converted copy lies beside the PNG. Scripts reach the same filter.
#include <gtest/gtest.h>

#include <vector>

#include "engine/applet/applet.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "engine/scene/sprite.h"
#include "platform/device.h"
#include "platform/filters/png_codec.h"
#include "tests/engine/applet_world.h"
#include "tests/engine/media_world.h"

namespace {
class SpriteWithPng : public ::testing::TestWithParam<const char*> {};

TEST_P(SpriteWithPng, DrawsThePicturesPixelsInAFrameReadBackFromGL) {
  AppletWorld world(AppletText(std::string(R"(width="64" height="48" title="Png" deviceName=")") + GetParam() + "\"",
                               R"(<Sprite name="sprite" position.x="20" position.y="20" width="32" height="32"/>)"));
  ASSERT_NE(world.applet, nullptr);
  ASSERT_NE(world.applet->device(), nullptr);
  EXPECT_EQ(world.applet->device()->DeviceName(), AnsiToWide(GetParam()));
  // 16 x 16: red top left, green top right, blue bottom left, white bottom right.
  std::vector<uint32_t> quadrants(256);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) quadrants[y * 16 + x] = y < 8 ? (x < 8 ? kRed : kGreen) : (x < 8 ? kBlue : kWhite);
  }
  std::vector<uint8_t> png;
  ASSERT_TRUE(EncodePng(16, 16, quadrants, png));
  world.game.write("quad.png", std::string(png.begin(), png.end()));

  auto* sprite = dynamic_cast<Sprite*>(world.applet->findByName(u"sprite"));
  ASSERT_NE(sprite, nullptr);
  sprite->pixmap()->setFileName(u"quad.png");
  ASSERT_EQ(sprite->pixmap()->width(), 16);
  const Frame frame = RenderFrame(world.applet);
  ASSERT_FALSE(frame.pixels.empty());
  // The sprite covers 4..36 on both axes.
  EXPECT_TRUE(Near(frame.at(10, 10), kRed)) << std::hex << frame.at(10, 10);
  EXPECT_TRUE(Near(frame.at(30, 10), kGreen)) << std::hex << frame.at(30, 10);
  EXPECT_TRUE(Near(frame.at(10, 30), kBlue)) << std::hex << frame.at(10, 30);
  EXPECT_TRUE(Near(frame.at(30, 30), kWhite)) << std::hex << frame.at(30, 30);
  EXPECT_FALSE(Near(frame.at(45, 20), kWhite)) << "outside the sprite";
  EXPECT_EQ(world.game.read("quad.pixmap").size(), 527u + 16 * 16 * 4);

  // Scripts reach the same filter as "filter".
  world.applet->runHandler(
      u"engine.log([typeof filter.loadPixmap, filter.loadRGBAFile(resMan, 'quad.png'),"
      u" filter.loadRGBAFile(resMan, 'none.png')].join())");
  EXPECT_TRUE(world.log.contains("(i) function,true,false"));
}

INSTANTIATE_TEST_SUITE_P(BothDevices, SpriteWithPng, ::testing::Values("ogl", "dx8"));
}  // namespace
