// The plain widgets on real frames read back from GL through both devices: a
// Screen's translucent colour over white, a StaticText's ink inside its
// rectangle on the side its alignment asks, and Background pictures in their
// one or two pieces (or none).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "compat/d3d8/test_hooks.h"
#include "gui/skinned/background.h"
#include "gui/skinned/screen.h"
#include "gui/skinned/static_text.h"
#include "platform/filters/filter.h"
#include "platform/filters/png_codec.h"
#include "tests/gui/gui_test_world.h"

namespace {
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

// A 16 x 16 PNG: red, green above; blue, white below.
std::string TilesPng() {
  std::vector<uint32_t> pixels(256);
  for (int i = 0; i < 256; ++i) {
    const bool right = i % 16 >= 8, below = i / 16 >= 8;
    pixels[i] = below ? (right ? kWhite : 0xFF0000FFu) : (right ? 0xFF00FF00u : 0xFFFF0000u);
  }
  std::vector<uint8_t> png;
  EncodePng(16, 16, pixels, png);
  return {png.begin(), png.end()};
}

// A pixel a frame should show in a colour.
struct Spot {
  int x, y;
  uint32_t colour;
};

class PlainWidgets : public ::testing::TestWithParam<const char*> {
 protected:
  Applet* load(const std::string& attributes, const std::string& children) {
    return game.load(std::string("deviceName=\"") + GetParam() + "\" " + attributes, children);
  }
  GuiTestGame game;
};

// The box holding every pixel of the frame that differs from the background.
struct InkBox {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  bool empty() const { return right < 0; }
};
InkBox FindInk(const GuiFrame& frame, uint32_t background) {
  InkBox box;
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      if (frame.at(x, y) == background) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

TEST_P(PlainWidgets, AScreenAtHalfAlphaDarkensWhiteToExactlyHalfGrey) {
  Applet* applet =
      load(R"(bkColor="#FFFFFFFF")",
           R"(<Screen name="screen" position.x="20" position.y="10" width="100" height="80" alpha="0.5"/>)");
  ASSERT_NE(applet, nullptr);
  auto* screen = dynamic_cast<Screen*>(applet->findByName(u"screen"));
  ASSERT_NE(screen, nullptr);
  // Round(0.5 x 255) = 128 is the alpha byte: 255 x (1 - 128/255) = 127 is left of white.
  EXPECT_EQ(screen->fillColor(), 0x80000000u);
  const GuiFrame frame = ReadFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  EXPECT_EQ(frame.at(21, 11), 0xFF7F7F7Fu) << std::hex << frame.at(21, 11);
  EXPECT_EQ(frame.at(118, 88), 0xFF7F7F7Fu) << std::hex << frame.at(118, 88);
  EXPECT_EQ(frame.at(125, 50), kWhite) << "outside the screen";

  struct Case {
    float alpha;
    const char16_t* color;
    uint32_t fill;
  };
  for (const Case& c : {Case{1.0f, u"#FF102030", 0xFF102030u}, Case{0.0f, u"#FF102030", 0x00102030u},
                        Case{0.25f, u"#00FFFFFF", 0x40FFFFFFu}}) {
    screen->setAlpha(c.alpha);
    screen->setColor(ColorFromText(c.color));
    EXPECT_EQ(screen->fillColor(), c.fill) << c.alpha;
  }
}

TEST_P(PlainWidgets, AStaticTextPutsItsInkInsideItsRectOnTheSideItsAlignmentSays) {
  Applet* applet = load(R"(bkColor="#FF000000")",
                        R"(<StaticText name="label" position.x="40" position.y="50" width="200" height="40"
    font.fontName="" font.family="arial" font.size="16" font.color="#FFFFFFFF" text="Hello"/>)");
  ASSERT_NE(applet, nullptr);
  auto* label = dynamic_cast<StaticText*>(applet->findByName(u"label"));
  ASSERT_NE(label, nullptr);
  struct Case {
    TTextAlign align;
    int nearLeft, nearRight;  // where the ink must begin and end
  };
  for (const Case& c : {Case{taLeft, 40, 120}, Case{taRight, 160, 240}, Case{taCenter, 100, 180}}) {
    label->setTextAlign(c.align);
    const InkBox ink = FindInk(ReadFrame(applet), kBlack);
    ASSERT_FALSE(ink.empty()) << c.align;
    EXPECT_GE(ink.left, c.nearLeft) << c.align;
    EXPECT_LE(ink.right, c.nearRight) << c.align;
    EXPECT_GE(ink.top, 50);
    EXPECT_LE(ink.bottom, 90);
    // Vertically centred: about as much room above the ink as below it.
    EXPECT_LE(std::abs((ink.top - 50) - (90 - ink.bottom)), 6) << ink.top << ".." << ink.bottom;
  }
  label->setText(u"");
  EXPECT_TRUE(FindInk(ReadFrame(applet), kBlack).empty());
}

TEST_P(PlainWidgets, ABackgroundDrawsPowerOfTwoAndWidePicturesAndNothingElse) {
  Applet* applet = load(R"(bkColor="#FF000000")",
                        R"(<Background name="back" position.x="0" position.y="0" width="320" height="200"/>)");
  ASSERT_NE(applet, nullptr);
  auto* back = dynamic_cast<Background*>(applet->findByName(u"back"));
  ASSERT_NE(back, nullptr);
  // Each picture: red above the row `split`, green from it down. Plain
  // pixels are read from a picture's converted copy, which loading it as a
  // pixmap writes.
  TFilter* filter = applet->parts()->filterObject();
  auto picture = [&](const std::string& name, int w, int h, int split) {
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) std::fill_n(pixels.begin() + y * w, w, y < split ? 0xFFFF0000u : 0xFF00FF00u);
    std::vector<uint8_t> png;
    ASSERT_TRUE(EncodePng(w, h, pixels, png));
    game.game.write(name, std::string(png.begin(), png.end()));
    TPixmap* loaded = filter->loadPixmap(applet->resourceManager(), Utf8ToWide(name));
    ASSERT_NE(loaded, nullptr);
    applet->device()->DestroyPixmap(loaded);
  };
  picture("square.png", 512, 256, 128);
  picture("wide.png", 800, 600, 500);
  picture("odd.png", 640, 480, 240);

  struct Case {
    const char16_t* file;
    size_t pieces;
    int splitY;  // the frame row where red turns green (200 x split / height)
  };
  for (const Case& c : {Case{u"square.png", 1, 100}, Case{u"wide.png", 2, 167}, Case{u"odd.png", 0, 0}}) {
    back->setImageFileName(c.file);
    EXPECT_EQ(back->imageFileName(), c.file);
    ASSERT_EQ(back->pieces().size(), c.pieces);
    const GuiFrame frame = ReadFrame(applet);
    if (c.pieces == 0) {
      EXPECT_TRUE(FindInk(frame, kBlack).empty());
      continue;
    }
    for (int x : {2, 160, 317}) {
      EXPECT_EQ(frame.at(x, 2) & 0xFFF0F0F0u, 0xFFF00000u) << x << std::hex << " " << frame.at(x, 2);
      EXPECT_EQ(frame.at(x, c.splitY - 4) & 0xFFF0F0F0u, 0xFFF00000u) << x;
      EXPECT_EQ(frame.at(x, c.splitY + 4) & 0xFFF0F0F0u, 0xFF00F000u) << x;
      EXPECT_EQ(frame.at(x, 197) & 0xFFF0F0F0u, 0xFF00F000u) << x;
    }
  }
  // The wide picture's lower piece shows its rows 500 to 599 from the second pixmap.
  back->setImageFileName(u"wide.png");
  ASSERT_EQ(back->pieces().size(), 2u);
  EXPECT_EQ(back->pieces()[1].source, MakeRectF(0, 28, 800, 128));
  EXPECT_EQ(back->pieces()[1].destination, MakeRectF(0, 500, 800, 600));
  back->setImageFileName(u"missing.png");
  EXPECT_TRUE(back->imageFileName().empty());
  EXPECT_TRUE(back->pieces().empty());
}

TEST_P(PlainWidgets, AnImageStretchesItsPixmapOverItsRect) {
  game.game.write("tiles.png", TilesPng());
  Applet* applet = load(
      R"(bkColor="#FF000000")",
      R"(<Image name="image" position.x="100" position.y="50" width="80" height="60" pixmap.fileName="tiles.png"/>)");
  ASSERT_NE(applet, nullptr);
  const GuiFrame frame = ReadFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  for (const Spot& c : {Spot{120, 65, 0xFFFF0000u}, Spot{160, 65, 0xFF00FF00u}, Spot{120, 95, 0xFF0000FFu},
                        Spot{160, 95, kWhite}, Spot{97, 80, kBlack}, Spot{140, 113, kBlack}}) {
    EXPECT_EQ(frame.at(c.x, c.y) & 0xFFF0F0F0u, c.colour & 0xFFF0F0F0u)
        << c.x << "," << c.y << std::hex << " " << frame.at(c.x, c.y);
  }
}

TEST_P(PlainWidgets, ABackgroundDrawsAPngThatHasNoConvertedCopyFromTheFirstFrameOfEveryRun) {
  game.game.write("tiles.png", TilesPng());
  for (int run = 1; run <= 2; ++run) {
    Applet* applet = load(R"(bkColor="#FF000000")",
                          R"(<Background name="back" position.x="0" position.y="0" width="320" height="200")"
                          R"( imageFileName="tiles.png"/>)");
    ASSERT_NE(applet, nullptr);
    const GuiFrame frame = ReadFrame(applet);
    ASSERT_FALSE(frame.pixels.empty());
    for (const Spot& c : {Spot{60, 40, 0xFFFF0000u}, Spot{260, 40, 0xFF00FF00u}, Spot{60, 160, 0xFF0000FFu},
                          Spot{260, 160, kWhite}}) {
      EXPECT_EQ(frame.at(c.x, c.y) & 0xFFF0F0F0u, c.colour & 0xFFF0F0F0u)
          << "run " << run << " at " << c.x << "," << c.y << std::hex << " " << frame.at(c.x, c.y);
    }
    const std::vector<std::string> lines = game.log.messages();
    EXPECT_TRUE(std::none_of(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("(e)"); }))
        << "run " << run;
  }
  // A picture that is not there, or of a size no background shows, is said
  // so, with the property that named it.
  load("", R"(<Background name="back" imageFileName="tilse.png"/>)");
  EXPECT_TRUE(game.log.contains("(e) File tilse.png not found, named by back.imageFileName"));
  std::vector<uint8_t> odd;
  ASSERT_TRUE(EncodePng(12, 16, std::vector<uint32_t>(12 * 16, kWhite), odd));
  game.game.write("odd.png", std::string(odd.begin(), odd.end()));
  load("", R"(<Background name="back" imageFileName="odd.png"/>)");
  EXPECT_TRUE(game.log.contains("(e) Can't show odd.png as a background: it is 12 x 16, and a background is 800 x "
                                "600 or has sides that are powers of two, named by back.imageFileName"));
}

// A device that cannot make the picture's texture (Direct3D's library is
// missing) names the picture it was for.
TEST(BackgroundTexture, ThatCannotBeMadeNamesItsPicture) {
  struct LibraryMissing {
    LibraryMissing() { d3d8_test::SetLibraryMissing(true); }
    ~LibraryMissing() { d3d8_test::Restore(); }
  } missing;
  GuiTestGame game;
  game.game.write("tiles.png", TilesPng());
  game.load(R"(deviceName="dx8")", R"(<Background name="back" width="320" height="200" imageFileName="tiles.png"/>)");
  EXPECT_TRUE(game.log.contains("(e) Can't create texture for tiles.png"));
}

INSTANTIATE_TEST_SUITE_P(BothDevices, PlainWidgets, ::testing::Values("ogl", "dx8"));
}  // namespace
