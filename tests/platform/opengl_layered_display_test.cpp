// Layered windows: the OpenGL device renders off screen and leaves the frame,
// with its alpha, in the window's bitmap.
#include <gtest/gtest.h>

#include "platform/opengl_window_helpers.h"
#include "support/log_capture.h"

namespace {

class GLLayered : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    log = std::make_unique<LogCapture>();
    gl = std::make_unique<GLWindow>(40, 30, TWindowKind::Layered);
    ASSERT_NE(gl->window()->layeredBits, nullptr);
    ASSERT_TRUE(gl->device()->ready());
    gl->device()->UseSeparateAlphaBlending(GetParam());
  }
  std::unique_ptr<LogCapture> log;
  std::unique_ptr<GLWindow> gl;
};

TEST_P(GLLayered, TheFrameGoesIntoTheBitmapWithItsAlpha) {
  gl->applet.scene = [](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetRenderState(rsBlendAlpha);
    d->SetColor(0xFFFF0000);
    d->FillRect(0, 0, 10, 5, 0);  // opaque red at the top-left
    d->SetColor(0x8000FF00);
    d->FillRect(20, 20, 30, 30, 0);  // half-transparent green lower down
  };
  auto frame = gl->Frame();
  EXPECT_EQ(gl->At(frame, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(gl->At(frame, 9, 4), 0xFFFF0000u);
  EXPECT_EQ(gl->At(frame, 10, 0), 0u);  // nothing drawn: fully transparent
  uint32_t half = gl->At(frame, 25, 25);
  EXPECT_NEAR(Alpha(half), 0x80, 1);
  EXPECT_NEAR(Green(half), 0x80, 1);  // blended over transparent black
  EXPECT_EQ(Red(half), 0);
  // The bitmap's rows are bottom-up: the top-left red is in its last row.
  const auto* bits = static_cast<const uint32_t*>(gl->window()->layeredBits);
  EXPECT_EQ(bits[29 * 40 + 0], 0xFFFF0000u);
}

TEST_P(GLLayered, AlphaDoesNotSurviveIntoTheNextFrame) {
  gl->applet.scene = [](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFFFFFFFF);
    d->FillRect(0, 0, 40, 30, 0);
  };
  auto first = gl->Frame();
  EXPECT_EQ(gl->At(first, 20, 15), 0xFFFFFFFFu);
  gl->applet.scene = nullptr;
  auto second = gl->Frame();
  for (int y = 0; y < 30; y += 3) {
    for (int x = 0; x < 40; x += 3) EXPECT_EQ(gl->At(second, x, y), 0u) << x << "," << y;
  }
}

TEST_P(GLLayered, RendersEvenWhileAFrameIsPending) {
  gl->device()->Render();
  EXPECT_TRUE(gl->device()->framePending());
  gl->applet.scene = [](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFF0000FF);
    d->FillRect(0, 0, 1, 1, 0);
  };
  gl->device()->Render();
  const auto* bits = static_cast<const uint32_t*>(gl->window()->layeredBits);
  EXPECT_EQ(bits[29 * 40], 0xFF0000FFu);
}

TEST_P(GLLayered, ResizingMakesTheOffscreenFrameAnew) {
  gl->platform()->UpdateWindow(gl->window(), 20, 10);
  ASSERT_EQ(gl->window()->appliedWidth, 20);
  gl->applet.scene = [](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFFFF00FF);
    d->FillRect(19, 9, 20, 10, 0);  // the new bottom-right pixel
  };
  gl->device()->Render();
  const auto* bits = static_cast<const uint32_t*>(gl->window()->layeredBits);
  EXPECT_EQ(bits[0 * 20 + 19], 0xFFFF00FFu);
  EXPECT_EQ(bits[9 * 20 + 0], 0u);
}

INSTANTIATE_TEST_SUITE_P(OneAndTwoPasses, GLLayered, ::testing::Bool());

TEST(GLLayeredLog, NamesTheOffscreenSupport) {
  LogCapture log;
  GLWindow gl(8, 8, TWindowKind::Layered);
  EXPECT_TRUE(log.contains("(i) WGL_ARB_pbuffer supported"));
  EXPECT_TRUE(log.contains("(i) WGL_ARB_pixel_format supported"));
}

}  // namespace
