// The applet's screen side on a real window and device: automatic scaling
// with letterbox margins, window pixels as applet points, sizes and scales
// that never divide by zero, resizing by the user, the window setters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "compat/win32/test_hooks.h"
#include "engine/applet/applet.h"
#include "platform/device.h"
#include "platform/platform.h"
#include "platform/win32/window.h"
#include "tests/engine/applet_world.h"

namespace {
const char* kAutoScaled = R"(width="800" height="600" title="Auto" autoScale="True")";

// Gives the device and the applet two modes and switches to full screen in
// the second.
void FullScreenIn(Applet& applet, const WideString& secondMode) {
  applet.device()->screenModes() = {u"1024x768x32", secondMode};
  applet.setScreenModesText(u"1024x768x32\r\n" + secondMode + u"\r\n");
  applet.setScreenModeIndex(1);
  applet.setFullScreen(true);
}

TEST(AppletAutoScale, AWideModeLetterboxesTheDesignSizeAndMapsItsPixels) {
  AppletWorld world(AppletText(kAutoScaled));
  ASSERT_NE(world.applet, nullptr);
  FullScreenIn(*world.applet, u"1280x720x32");
  const TWindow& w = *world.applet->window();
  EXPECT_FLOAT_EQ(world.applet->scale(), 1.2f);
  EXPECT_EQ(w.width, 1280);
  EXPECT_EQ(w.height, 720);
  EXPECT_EQ(w.backBufferWidth, 1280);
  EXPECT_EQ(w.backBufferHeight, 720);
  EXPECT_EQ(w.marginX, 160);
  EXPECT_EQ(w.marginY, 0);
  EXPECT_EQ(world.applet->screenMode(), u"1280x720x32");
  EXPECT_TRUE(world.log.contains(
      "(i) 1280.000000000000000x720.000000000000000:1280.000000000000000x720.000000000000000"));

  const TPointF corner = world.applet->windowToApplet(160, 0);
  EXPECT_FLOAT_EQ(corner.x, 0);
  EXPECT_FLOAT_EQ(corner.y, 0);
  const TPointF far = world.applet->windowToApplet(1120, 720);
  EXPECT_FLOAT_EQ(far.x, 800);
  EXPECT_FLOAT_EQ(far.y, 600);
  const TRectF console = world.applet->consoleRect();
  EXPECT_FLOAT_EQ(console.left, -160 / 1.2f);
  EXPECT_FLOAT_EQ(console.right, 800 + 160 / 1.2f);
  EXPECT_FLOAT_EQ(console.bottom, 300);
}

TEST(AppletAutoScale, AModeOfTheDesignsShapeFillsTheScreenWithoutMargins) {
  AppletWorld world(AppletText(kAutoScaled));
  ASSERT_NE(world.applet, nullptr);
  FullScreenIn(*world.applet, u"1024x768x16");
  EXPECT_FLOAT_EQ(world.applet->scale(), 1.28f);
  EXPECT_EQ(world.applet->window()->width, 1024);
  EXPECT_EQ(world.applet->window()->height, 768);
  EXPECT_EQ(world.applet->marginX(), 0);
  EXPECT_EQ(world.applet->marginY(), 0);

  // Back to the window: the scale it had and no margins.
  world.applet->setFullScreen(false);
  EXPECT_FLOAT_EQ(world.applet->scale(), 1.0f);
  EXPECT_EQ(world.applet->marginX(), 0);
  EXPECT_EQ(world.applet->window()->width, 800);
}

TEST(AppletScreen, WithoutAutoScaleFullScreenTakesTheModeInAppletUnits) {
  AppletWorld world(AppletText(R"(width="400" height="300" scale="2" title="Scaled")"));
  ASSERT_NE(world.applet, nullptr);
  EXPECT_EQ(world.applet->window()->appliedWidth, 800);
  FullScreenIn(*world.applet, u"1280x720x32");
  EXPECT_EQ(world.applet->width(), 640);
  EXPECT_EQ(world.applet->height(), 360);
  EXPECT_EQ(world.applet->window()->width, 1280);
}

TEST(AppletScreen, ApplyingTheModeInAWindowKeepsTheSizeOfAScaledApplet) {
  AppletWorld world(AppletText(R"(width="200" height="100" scale="2" title="Keep")"));
  ASSERT_NE(world.applet, nullptr);
  for (int pass = 0; pass < 3; ++pass) {
    world.applet->updateViewport();
    world.applet->applyScreenMode();
  }
  EXPECT_EQ(world.applet->width(), 200);
  EXPECT_EQ(world.applet->height(), 100);
  EXPECT_EQ(world.applet->window()->appliedWidth, 400);
  EXPECT_EQ(world.applet->window()->appliedHeight, 200);
}

TEST(AppletScreen, ZeroOrNegativeSizesAndScalesAreClampedAndLogged) {
  AppletWorld world(AppletText(R"(width="-5" height="100" title="Clamp" autoScaleSizeX="0" autoScaleSizeY="-3")"));
  ASSERT_NE(world.applet, nullptr);
  EXPECT_EQ(world.applet->width(), 1);
  EXPECT_EQ(world.applet->autoScaleSizeX(), 1);
  EXPECT_EQ(world.applet->autoScaleSizeY(), 1);
  EXPECT_TRUE(world.log.contains("(e) Invalid width -5, using 1"));
  EXPECT_TRUE(world.log.contains("(e) Invalid autoScaleSizeX 0, using 1"));
  EXPECT_GE(world.applet->window()->appliedWidth, 1);

  world.applet->setScale(0);
  EXPECT_FLOAT_EQ(world.applet->scale(), 0.01f);
  world.applet->setScale(-2);
  EXPECT_FLOAT_EQ(world.applet->scale(), 0.01f);
  EXPECT_GE(world.log.count("(e) Invalid scale 0.000000000000000, using 0.009999999776483"), 1);
  // Every division by the scale and by the design size stays finite.
  world.applet->setAutoScale(true);
  FullScreenIn(*world.applet, u"1280x720x32");
  EXPECT_TRUE(std::isfinite(world.applet->scale()));
  const TPointF p = world.applet->windowToApplet(10, 10);
  EXPECT_TRUE(std::isfinite(p.x));
  EXPECT_TRUE(std::isfinite(p.y));
}

TEST(AppletScreen, AScriptSettingAZeroScaleGetsTheMinimum) {
  AppletWorld world(AppletText(R"(width="64" height="48" title="ScriptScale" onLoad="applet.scale = 0; applet.height = 0")"));
  ASSERT_NE(world.applet, nullptr);
  EXPECT_FLOAT_EQ(world.applet->scale(), 0.01f);
  EXPECT_EQ(world.applet->height(), 1);
  EXPECT_GE(world.applet->window()->appliedWidth, 1);
}

// A value that is no colour or no number, from the file or a script, is named
// in the log and the property keeps what it had: never black, never NaN.
TEST(AppletScreen, ValuesThatAreNoColourOrNumberAreLoggedAndRefused) {
  AppletWorld world(AppletText(
      R"(width="64" height="48" title="Mistakes" bkColor="red" scale="2" )"
      R"(onLoad="try { applet.bkColor = 'blue' } catch (e) { engine.log(String(e)) } applet.scale = 'wide'")"));
  ASSERT_NE(world.applet, nullptr);
  EXPECT_EQ(world.applet->bkColor(), 0xFF000000u);
  EXPECT_FLOAT_EQ(world.applet->scale(), 2.0f);
  const auto lines = world.log.messages();
  auto has = [&](const std::string& start) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
  };
  EXPECT_TRUE(has("(e) Invalid property value Applet.bkColor: 'red' is not a colour (\"#AARRGGBB\")"));
  EXPECT_TRUE(has("(i) Error: 'blue' is not a colour"));
  EXPECT_TRUE(has("(e) Applet.onLoad(0:"));
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.find("can't convert wide to a number") != std::string::npos; }));
}

TEST(AppletScreen, AUserResizeBecomesTheAppletsSizeInItsUnits) {
  AppletWorld world(AppletText(R"(width="200" height="100" scale="2" title="Resize")"));
  ASSERT_NE(world.applet, nullptr);
  TPlatform* platform = world.applet->platform();
  HWND handle = world.applet->window()->handle;
  win32_test::InjectMoved(handle, 30, 40);
  win32_test::InjectResized(handle, 600, 300);
  while (platform->PeekHandler()) {
  }
  EXPECT_EQ(world.applet->width(), 300);
  EXPECT_EQ(world.applet->height(), 150);
  EXPECT_EQ(world.applet->left(), world.applet->window()->left);

  // A window squeezed to nothing keeps the applet's last size.
  win32_test::InjectResized(handle, 0, 0);
  while (platform->PeekHandler()) {
  }
  EXPECT_EQ(world.applet->width(), 300);
  EXPECT_EQ(world.applet->height(), 150);
}

TEST(AppletScreen, SettersReachTheWindow) {
  AppletWorld world(AppletText(R"(width="120" height="80" title="Setters")"));
  ASSERT_NE(world.applet, nullptr);
  Applet& applet = *world.applet;
  applet.setWidth(150);
  EXPECT_EQ(applet.window()->appliedWidth, 150);
  applet.setScale(2);
  EXPECT_EQ(applet.window()->appliedWidth, 300);
  EXPECT_EQ(applet.window()->appliedHeight, 160);
  applet.setTitle(u"Renamed");
  EXPECT_EQ(applet.window()->title, u"Renamed");
  applet.setPlace(topMost);
  EXPECT_EQ(applet.window()->place, TWindowStacking::Topmost);
  applet.setStyle(static_cast<TWindowStyle>(7));
  EXPECT_EQ(applet.style(), systemStyle);
  applet.setLeft(33);
  EXPECT_EQ(applet.window()->left, 33);
  EXPECT_EQ(applet.devices(-1), u"");
  EXPECT_EQ(applet.devices(applet.deviceCount()), u"");
  EXPECT_FALSE(applet.devices(applet.deviceIndex()).empty());
}
}  // namespace
