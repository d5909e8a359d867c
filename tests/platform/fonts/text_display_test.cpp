// Text drawn through the Direct3D 8 device and the OpenGL device appears in
// the frame read back from GL where the layout measured it, the same on both.
#include <gtest/gtest.h>

#include "core/resources/folder_resource_man.h"
#include "platform/d3d8_window_helpers.h"
#include "platform/font.h"
#include "platform/fonts/fonts_registration.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

#include <fstream>
#include <iterator>
#include <string>

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

// The frame of one line at the given size, its left end at `left` (left of
// the window for a long line), and the log lines its two draws made.
struct Drawn {
  std::vector<uint32_t> frame;
  std::vector<std::string> log;
};

Drawn DrawLine(TResourceMan* fonts, const std::string& family, float size, const WideString& text, float left) {
  LogCapture log;
  DeviceWindow w("ogl", kWidth, kHeight);
  w.applet.fonts = fonts;
  w.applet.background = 0xFF000000;
  TFont* font = w.device()->CreateFont(family, size, 0);
  w.applet.scene = [&](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetWorldMatrix(IdentityMatrix4F);
    d->SetRenderState(rsBlendAlpha);
    d->DrawText(font, text, 0xFFFFFFFF, 0, MakeRectF(left, 9, kWidth, 40));
  };
  w.Frame();
  Drawn drawn{RgbOf(w.Frame()), log.messages()};
  w.device()->DestroyFont(font);
  return drawn;
}

// The first column from `from` on holding ink, or kWidth.
int InkColumn(const std::vector<uint32_t>& frame, int from) {
  for (int x = from; x < kWidth; ++x) {
    for (int y = 0; y < kHeight; ++y) {
      if ((frame[static_cast<size_t>(y * kWidth + x)] & 0xFF) >= 96) return x;
    }
  }
  return kWidth;
}

TEST_F(TextOnDevices, AWordSpaceAt18PixelsIsAsWideAsTheFontSays) {
  for (const char* family : {"arial", "dejavu sans"}) {
    SCOPED_TRACE(family);
    // Where the second "I" begins, with a space before it and without.
    auto secondStart = [&](const WideString& text) {
      const std::vector<uint32_t> frame = DrawLine(manager.get(), family, 18, text, 12).frame;
      int first = InkColumn(frame, 0), gap = first;
      while (gap < kWidth && InkColumn(frame, gap) == gap) ++gap;
      return InkColumn(frame, gap);
    };
    EXPECT_GE(secondStart(u"I I") - secondStart(u"II"), 4);
  }
}

TEST_F(TextOnDevices, ALineOfThousandsOfGlyphsIsDrawnWholeAndToldOnce) {
  // 3,000 glyphs 3 pixels apart (charSpacing 0): the line's end lies in the
  // window when its start lies far left of it.
  WideString text(2999, u'l');
  text += u'W';
  int32_t count = 0;
  TRectF box = MakeRectF(0, 0, 1e6f, 40);
  {
    DeviceWindow w("ogl", kWidth, kHeight);
    w.applet.fonts = manager.get();
    TFont* font = w.device()->CreateFont("arial", 14, 0);
    w.device()->MeasureText(font, text, 65535, count, 0, box);
    w.device()->DestroyFont(font);
  }
  const Drawn end = DrawLine(manager.get(), "arial", 14, text, 140 - RectWidth(box));
  EXPECT_LT(InkColumn(end.frame, 100), 140) << "the last glyphs are drawn";
  int told = 0;
  for (const std::string& line : end.log) {
    if (line.find("too long.") == std::string::npos) continue;
    ++told;
    EXPECT_LT(line.size(), 120u) << "shortened";
  }
  EXPECT_EQ(told, 1) << "two frames, one line";
}

TEST_F(TextOnDevices, AnEmojiIsOneCharacterBeyondTheTable) {
  const Drawn drawn = DrawLine(manager.get(), "arial", 14, u"a\U0001F600b", 12);
  int told = 0;
  for (const std::string& line : drawn.log) told += line.find("Unsupported char") != std::string::npos ? 1 : 0;
  EXPECT_EQ(told, 1);
  // Only the cache files say how long the table grew: never to the halves.
  std::ifstream fn(dir.file("cache/arial14.fn"), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(fn)), {});
  EXPECT_NE(text.find("charcount=1103\r\n"), std::string::npos) << text.substr(0, 80);
}
}  // namespace
