// Text drawn through the Direct3D 8 device and the OpenGL device appears in
// the frame read back from GL where the layout measured it, the same on both.
#include <gtest/gtest.h>

#include "core/folder_resource_man.h"
#include "platform/d3d8_window_helpers.h"
#include "platform/font.h"
#include "platform/fonts/fonts_registration.h"
#include "support/temp_dir.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 48;

struct Shown {
  std::vector<uint32_t> frame;
  TRectF box;
};

class TextOnDevices : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFonts();
    auto* folder = New<TFolderResourceMan>();
    folder->setRoot(dir.path());
    manager.reset(folder);
  }

  // The frame of one line of text at (12, 9) and the box the layout measured.
  Shown Draw(const std::string& deviceName, const WideString& text) {
    DeviceWindow w(deviceName, kWidth, kHeight);
    w.applet.fonts = manager.get();
    w.applet.background = 0xFF000000;
    TFont* font = w.device()->CreateFont("arial", 14, 0);
    Shown shown;
    shown.box = MakeRectF(12, 9, 150, 40);
    int32_t count = 0;
    w.device()->MeasureText(font, text, 65535, count, 0, shown.box);
    EXPECT_EQ(count, static_cast<int32_t>(text.size()));
    w.applet.scene = [&](TDevice* d) {
      d->SetRenderState(rs2D);
      d->SetWorldMatrix(IdentityMatrix4F);
      d->SetRenderState(rsBlendAlpha);
      d->DrawText(font, text, 0xFFFFFFFF, 0, MakeRectF(12, 9, 150, 40));
    };
    shown.frame = RgbOf(w.Frame());
    w.device()->DestroyFont(font);
    return shown;
  }

  TempDir dir;
  std::unique_ptr<TResourceMan, FreeDeleter> manager;
};

// Pixels brighter than the background inside and outside the box.
std::pair<int, int> Ink(const Shown& shown) {
  int inside = 0, outside = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if ((shown.frame[static_cast<size_t>(y * kWidth + x)] & 0xFF) < 24) continue;
      bool in = x >= shown.box.left && x < shown.box.right && y >= shown.box.top && y < shown.box.bottom;
      (in ? inside : outside) += 1;
    }
  }
  return {inside, outside};
}

TEST_F(TextOnDevices, TextAppearsInItsMeasuredBoxAlikeOnBothDevices) {
  for (const WideString& text : {WideString(u"Hello, World"), WideString(u"\u041f\u0440\u0438\u0432\u0435\u0442")}) {
    SCOPED_TRACE(WideToUtf8(text));
    Shown direct3d = Draw("dx8", text), opengl = Draw("ogl", text);
    EXPECT_EQ(direct3d.box, opengl.box);
    EXPECT_GT(RectWidth(opengl.box), 6.0f * static_cast<float>(text.size()));
    EXPECT_GE(RectHeight(opengl.box), 14);
    auto [inside, outside] = Ink(opengl);
    EXPECT_GT(inside, 20 * static_cast<int>(text.size()));
    EXPECT_EQ(outside, 0);
    EXPECT_LE(LargestChannelDifference(direct3d.frame, opengl.frame), 2);
  }
}

}  // namespace
