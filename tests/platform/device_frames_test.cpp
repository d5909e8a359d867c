// Frames: the scene pass, the caret, statistics, debug lines and screen modes.
#include <gtest/gtest.h>

#include "platform/caret.h"
#include "platform/device_fake_helpers.h"
#include "support/log_capture.h"

namespace {

TEST(FrameStatistics, TwelveFramesInOnePointTwoSecondsAreTenPerSecond) {
  TFrameStatistics stats;
  for (int i = 1; i <= 11; ++i) stats.AddFrame(0.09f * static_cast<float>(i));  // 0.99 s: no update yet
  EXPECT_EQ(stats.fps, 0);
  EXPECT_EQ(stats.framesInWindow, 11);
  stats.AddFrame(1.2f);
  EXPECT_NEAR(stats.fps, 10, 1e-4);
  EXPECT_GE(stats.maxFps, stats.fps);
  EXPECT_NEAR(stats.avgFps, 5, 1e-4);  // (0 + 10) / 2
  EXPECT_EQ(stats.framesInWindow, 0);
  EXPECT_EQ(stats.timeInWindow, 0);
}

TEST(FrameStatistics, MaximumKeepsTheBestRateAndAverageHalvesTowardsTheLast) {
  TFrameStatistics stats;
  stats.AddFrame(0.5f);
  stats.AddFrame(1.25f);  // 2 frames in 1.25 s
  EXPECT_NEAR(stats.fps, 1.6, 1e-4);
  for (int i = 1; i <= 20; ++i) stats.AddFrame(1.25f + 0.0625f * static_cast<float>(i));  // 20 frames in 1.25 s
  EXPECT_NEAR(stats.fps, 16, 1e-3);
  EXPECT_NEAR(stats.maxFps, 16, 1e-3);
  EXPECT_NEAR(stats.avgFps, (1.6 / 2 + 16) / 2, 1e-3);
  stats.AddFrame(4);  // a slow stretch: 4 frames in 1.6875 s
  EXPECT_NEAR(stats.fps, 4 / 1.6875, 1e-3);
  EXPECT_NEAR(stats.maxFps, 16, 1e-3);
}

class Frames : public ::testing::Test {
 protected:
  TTestHost host;
  FakeDevicePtr device = MakeFakeDevice(&host);
};

TEST_F(Frames, TheSceneIsDrawnWithTheFrameStartingClean) {
  std::vector<TRenderStateFlags> seen;
  host.scene = [&](TDevice* d) {
    TRenderStateFlags flags{};
    for (int s = 0; s < kRenderStateCount; ++s) flags[s] = d->RenderStateOn(static_cast<TRenderState>(s));
    seen.push_back(flags);
    d->SetRenderState(rs2D);
  };
  device->Render();
  device->Present();
  device->Render();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1], TRenderStateFlags{});
}

TEST_F(Frames, NoSecondRenderWhileAFrameIsPending) {
  device->Render();
  device->Render();
  EXPECT_EQ(device->rendered, 1);
  device->Redraw();  // presents the pending frame, renders, presents again
  EXPECT_EQ(device->rendered, 2);
  EXPECT_EQ(device->presented, 2);
  EXPECT_FALSE(device->framePending());
}

TEST_F(Frames, TheCaretIsFilledLastInItsColourAtItsAlpha) {
  TPixmap* skin = device->CreatePixmap(4, 4);
  host.skin = skin;
  host.scene = [](TDevice* d) {
    d->SetColor(0xFF0000FF);
    d->FillRect(0, 0, 100, 100, 0);
  };
  TCaret* caret = device->CreateCaret(2, 12, 0xFF00FF00);
  TMatrix4F placed = IdentityMatrix4F;
  placed(3, 0) = 50;
  device->PlaceCaret(caret, placed, 3, 4);
  caret->alpha = 0.5f;
  device->Render();
  ASSERT_EQ(device->draws.size(), 1u);  // hidden: show count 0
  device->Present();
  device->ShowCaret();
  device->Render();
  ASSERT_EQ(device->draws.size(), 3u);
  const TRecordedDraw& last = device->draws.back();
  EXPECT_EQ(last.world, placed);
  EXPECT_EQ(last.material.diffuse, 0x7F00FF00u);  // Trunc(0.5 x 255) = 127
  auto v = last.pct();
  EXPECT_FLOAT_EQ(v[0].x, 3);
  EXPECT_FLOAT_EQ(v[0].y, 4);
  EXPECT_FLOAT_EQ(v[2].x, 5);
  EXPECT_FLOAT_EQ(v[2].y, 16);
  EXPECT_FLOAT_EQ(v[0].z, 1);
}

TEST_F(Frames, StatisticsFollowTheHostClock) {
  for (int i = 1; i <= 12; ++i) {
    host.time = i <= 11 ? 0.09 * i : 1.2;
    device->Render();
    device->Present();
  }
  EXPECT_NEAR(device->statistics().fps, 10, 0.01);
}

TEST_F(Frames, DebugLinesOnlyWhenTheDebugFormShows) {
  device->Render();
  device->Present();
  EXPECT_TRUE(host.debugLines.empty());
  host.debugVisible = true;
  host.scene = [](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFFFFFFFF);
    d->FillRect(0, 0, 1, 1, 0);
    d->AddParticles(7);
  };
  device->Render();
  std::vector<std::pair<std::string, std::string>> expected = {
      {"Render:", "fake"},     {"FPS:", "0.00"},     {"Avg FPS:", "0.00"},
      {"Max FPS:", "0.00"},    {"Tri Count:", "     2"}, {"Buffer Size:", "0x0"},
      {"Pixmap N:", "0"},      {"Mesh N:", "1"},     {"States:", "3"},
      {"Particle Count:", "7"}};
  EXPECT_EQ(host.debugLines, expected);
}

TEST_F(Frames, StatisticsBlockAtShutDown) {
  LogCapture log;
  device->LogStatistics();
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(i) ==== Device statistics ==========", "(i) Max FPS: 0.00",
                                                      "(i) Avg FPS: 0.00", "(i) ==== Device statistics finish ==="}));
}

TEST_F(Frames, StartAndCloseAreLogged) {
  LogCapture log;
  {
    FakeDevicePtr other = MakeFakeDevice(&host);
  }
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(i) fake device manager stared", "(i) fake device manager closed"}));
}

TEST_F(Frames, DestroyResourcesFreesEverythingLastFirst) {
  TPixmap* a = device->CreatePixmap(1, 1);
  TPixmap* b = device->CreatePixmap(1, 1);
  TMesh* m = device->CreateMesh(vfP, 3, false, 0, false, false, 1);
  ASSERT_TRUE(a && b && m);
  device->DestroyResources();
  EXPECT_TRUE(device->pixmaps().empty());
  EXPECT_TRUE(device->meshes().empty());
  EXPECT_EQ(device->dynamicMesh(), nullptr);
}

TEST_F(Frames, ScreenModesReadTheirNumbers) {
  device->setDesktop(1920, 1080);
  EXPECT_EQ(device->ScreenModeWidth(-1), 1920);
  EXPECT_EQ(device->ScreenModeHeight(-1), 1080);
  EXPECT_EQ(device->ScreenModeWidth(1), 800);
  EXPECT_EQ(device->ScreenModeHeight(1), 600);
  EXPECT_EQ(device->ScreenModeWidth(3), 0);  // index equal to the count
  EXPECT_EQ(device->ScreenModeHeight(-2), 0);
  device->screenModes().push_back(W("1280, 720"));
  device->screenModes().push_back(W("wide x tall"));
  device->screenModes().push_back(W("99999999999x5"));
  EXPECT_EQ(device->ScreenModeWidth(3), 1280);
  EXPECT_EQ(device->ScreenModeHeight(3), 720);
  EXPECT_EQ(device->ScreenModeWidth(4), 0);
  EXPECT_EQ(device->ScreenModeHeight(4), 0);
  EXPECT_EQ(device->ScreenModeWidth(5), 0);  // too large to be a size
  EXPECT_EQ(device->ScreenModeHeight(5), 5);
}

}  // namespace
