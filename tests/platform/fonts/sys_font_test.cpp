// Texture-atlas fonts rasterised from the system fonts on a device that keeps
// pixels in memory: the cache files and their rules, glyphs added on demand,
// measuring, the quads of a line, and damaged cache files.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "compat/win32/font.h"
#include "compat/win32/gdi.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/stream.h"
#include "platform/device_fake_helpers.h"
#include "platform/filters/filter.h"
#include "platform/filters/filters_registration.h"
#include "platform/filters/pixmap_pixels.h"
#include "platform/fonts/fonts_registration.h"
#include "platform/fonts/sys_font_win32.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

class FontWorld : public ::testing::Test, public TTestHost, public TFilterHost {
 protected:
  void SetUp() override {
    RegisterFilters();
    RegisterFonts();
    device = MakeFakeDevice(this);
    auto* folder = New<TFolderResourceMan>();
    folder->setRoot(dir.path());
    manager.reset(folder);
    fonts = folder;
    filter.reset(new TFilter());
    filter->setHost(this);
    filter->Create(nullptr);
  }
  void TearDown() override {
    for (TFont* font : made) device->DestroyFont(font);
    filter.reset();
    device.reset();
    manager.reset();
  }
  TDevice* filterDevice() override { return device.get(); }
  float filterModelScale() override { return 1; }
  TFilter* fontFilter() override { return filter.get(); }
  TDevice* currentDevice() override { return device.get(); }

  T3DSysFont* Glyphs(const std::string& family = "arial", float size = 10, int32_t style = 0) {
    made.push_back(device->CreateFont(family, size, style));
    return dynamic_cast<T3DSysFont*>(made.back()->glyphSet);
  }
  std::string Read(const std::string& name) {
    std::ifstream in(dir.file(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<uint32_t> Pixels(TPixmap* pixmap) {
    TArgbImage image;
    ImageFromPixmap(device.get(), pixmap, image);
    return image.pixels;
  }

  TempDir dir;
  LogCapture log;
  FakeDevicePtr device;
  std::unique_ptr<TResourceMan, FreeDeleter> manager;
  std::unique_ptr<TFilter, FreeDeleter> filter;
  std::vector<TFont*> made;
};

struct PixelCell {
  int left, top, right, bottom;
};
PixelCell CellOf(const TGlyphRecord& g, const TGlyphTable& t) {
  auto px = [](float f, uint32_t size) { return static_cast<int>(std::lround(f * static_cast<float>(size))); };
  return {px(g.u0, t.atlasWidth), px(g.v0, t.atlasHeight), px(g.u1, t.atlasWidth), px(g.v1, t.atlasHeight)};
}

TEST_F(FontWorld, SystemFontIsRasterisedIntoCacheFilesThatReloadIdentically) {
  T3DSysFont* glyphs = Glyphs();
  ASSERT_NE(glyphs, nullptr);
  const TGlyphTable& table = glyphs->table();
  ASSERT_EQ(table.glyphs.size(), 1103u);
  for (uint32_t code = 32; code < 1135; ++code) {
    EXPECT_EQ(table.find(code)->enabled, code <= 126 || (code >= 1040 && code <= 1103)) << code;
  }
  EXPECT_EQ(Read("cache/arial10.fnbin").substr(0, 7), "FONTBIN");
  EXPECT_NE(Read("cache/arial10.fn").find("allowrebuild=-1"), std::string::npos);
  ASSERT_TRUE(std::filesystem::exists(dir.file("cache/arial10.png")));

  // Cells lie inside the atlas, do not overlap, and hold all the ink.
  std::vector<uint32_t> atlas = Pixels(glyphs->Atlas());
  ASSERT_EQ(atlas.size(), size_t{table.atlasWidth} * table.atlasHeight);
  std::vector<int> owner(atlas.size(), -1);
  for (size_t i = 0; i < table.glyphs.size(); ++i) {
    const TGlyphRecord& g = table.glyphs[i];
    if (!g.enabled) continue;
    for (float f : {g.u0, g.v0, g.u1, g.v1}) ASSERT_TRUE(f >= 0 && f <= 1) << i;
    PixelCell c = CellOf(g, table);
    for (int y = c.top; y < c.bottom; ++y) {
      for (int x = c.left; x < c.right; ++x) {
        int& o = owner[static_cast<size_t>(y) * table.atlasWidth + x];
        ASSERT_EQ(o, -1) << "glyphs " << o << " and " << i << " overlap";
        o = static_cast<int>(i);
      }
    }
  }
  int ink = 0;
  for (size_t p = 0; p < atlas.size(); ++p) {
    EXPECT_EQ(atlas[p] & 0xFFFFFF, 0xFFFFFFu);
    if (atlas[p] >> 24) {
      ink += 1;
      EXPECT_NE(owner[p], -1) << "ink outside every cell at " << p;
    }
  }
  EXPECT_GT(ink, 500);

  // The next font of that name comes from the binary file, with the same
  // table and the stored atlas.
  auto written = std::filesystem::last_write_time(dir.file("cache/arial10.fnbin"));
  T3DSysFont* again = Glyphs();
  EXPECT_EQ(again->table(), table);
  EXPECT_EQ(Pixels(again->Atlas()), atlas);
  EXPECT_EQ(std::filesystem::last_write_time(dir.file("cache/arial10.fnbin")), written);
  // And the text form reads back the same table.
  auto* fromText = New<T3DSysFontWin32>(nullptr);
  fromText->useDevice(device.get(), this);
  EXPECT_TRUE(fromText->LoadFn(manager.get(), "cache\\arial10", 0, 10, "arial"));
  EXPECT_EQ(fromText->table(), table);
  fromText->Free();
}

TEST_F(FontWorld, CharactersAreAddedOnDemand) {
  T3DSysFont* glyphs = Glyphs();
  std::vector<uint32_t> before = Pixels(glyphs->Atlas());
  glyphs->AddChars(u"a\u07D0");  // code 2000
  EXPECT_EQ(glyphs->table().glyphs.size(), 1969u);
  EXPECT_TRUE(glyphs->table().find(2000)->enabled);
  EXPECT_GT(glyphs->table().find(2000)->u1, glyphs->table().find(2000)->u0);
  // Rasterised again: a new atlas, and cache files with the longer table.
  EXPECT_NE(Pixels(glyphs->Atlas()), before);
  EXPECT_NE(Read("cache/arial10.fn").find("charcount=1969"), std::string::npos);

  // A font stored without rebuilding enables new characters but keeps its atlas.
  std::string text = Read("cache/arial10.fn");
  text.replace(text.find("allowrebuild=-1"), 15, "allowrebuild=0");
  std::ofstream(dir.file("cache/arial12.fn"), std::ios::binary) << text;
  std::filesystem::copy_file(dir.file("cache/arial10.png"), dir.file("cache/arial12.png"));
  T3DSysFont* fixed = Glyphs("arial", 12);
  ASSERT_FALSE(fixed->table().allowRebuild);
  EXPECT_TRUE(std::filesystem::exists(dir.file("cache/arial12.fnbin")));
  TPixmap* kept = fixed->Atlas();
  ASSERT_NE(kept, nullptr);
  fixed->AddChars(u"\u3042");
  EXPECT_TRUE(fixed->table().find(0x3042)->enabled);
  EXPECT_EQ(fixed->Atlas(), kept);
}

TEST_F(FontWorld, MeasuringCountsTheCharactersThatFit) {
  T3DSysFont* glyphs = Glyphs();
  int32_t count = -1;
  TPointF size = MakePointF(7, 7);
  glyphs->MeasureText(u"", count, size, 1000);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(size, MakePointF(0, 0));
  glyphs->MeasureText(u"Hello", count, size, 1000);
  EXPECT_EQ(count, 5);
  const TGlyphTable& t = glyphs->table();
  const TGlyphRecord& space = *t.find(32);
  EXPECT_EQ(size.y, std::trunc((space.v1 - space.v0) * static_cast<float>(t.atlasHeight)));
  float full = size.x;
  glyphs->MeasureText(u"Hello", count, size, full / 2);
  EXPECT_GT(count, 0);
  EXPECT_LT(count, 5);
  EXPECT_LE(size.x, full / 2 + 2);
  glyphs->MeasureText(u"Hello", count, size, 1);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(size.x, 0);
}

TEST_F(FontWorld, ALineWritesOneQuadForEveryVisibleCharacter) {
  T3DSysFont* glyphs = Glyphs();
  device->SetColor(0xFF00FF00);
  device->draws.clear();
  glyphs->BuildText(made.back(), IdentityMatrix4F, u"a b\tc ", 5, 7);
  ASSERT_EQ(device->draws.size(), 1u);
  const TRecordedDraw& draw = device->draws[0];
  std::vector<TVertexPCT> v = draw.pct();
  ASSERT_EQ(v.size(), 12u);
  ASSERT_EQ(draw.indices.size(), 18u);
  for (uint16_t index : draw.indices) {
    EXPECT_GE(index, draw.firstVertex);
    EXPECT_LT(index, draw.firstVertex + 12);
  }
  const TGlyphTable& t = glyphs->table();
  const TGlyphRecord &a = *t.find('a'), &space = *t.find(' '), &b = *t.find('b');
  float aw = (a.u1 - a.u0) * static_cast<float>(t.atlasWidth);
  EXPECT_FLOAT_EQ(v[0].x, 5.0f + static_cast<float>(a.before));
  EXPECT_FLOAT_EQ(v[0].y, 7);
  EXPECT_FLOAT_EQ(v[1].x - v[0].x, aw);
  // The space takes its room before and after its cell as measuring does.
  float spaceWidth = static_cast<float>(space.before) + (space.u1 - space.u0) * static_cast<float>(t.atlasWidth) +
                     static_cast<float>(space.after);
  EXPECT_FLOAT_EQ(v[4].x, v[0].x + static_cast<float>(a.after) + aw + spaceWidth + static_cast<float>(b.before));
  EXPECT_EQ(v[0].color, device->DeviceColor(0xFF00FF00));
}

TEST_F(FontWorld, DamagedCacheFilesAreRefusedAndBuiltAgain) {
  std::string goodBinary;
  {
    Glyphs();
    goodBinary = Read("cache/arial10.fnbin");
  }
  struct Case {
    std::string name, fnbin, fn, line;
  };
  std::string badCount = goodBinary;
  badCount[15] = '\x7F';  // more records than the file holds
  const Case cases[] = {
      {"count beyond the data", badCount, "", "(e) Invalide font file cache\\arial10.fnbin"},
      {"wrong signature", "FONTBIX" + goodBinary.substr(7), "", "(e) Invalide font file cache\\arial10.fnbin"},
      {"text without sizes", "", "charcount=3\r\n", "(e) Invalide font file cache\\arial10.fn"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(dir.file("cache"));
    std::filesystem::create_directories(dir.file("cache"));
    if (!c.fnbin.empty()) std::ofstream(dir.file("cache/arial10.fnbin"), std::ios::binary) << c.fnbin;
    if (!c.fn.empty()) std::ofstream(dir.file("cache/arial10.fn"), std::ios::binary) << c.fn;
    log.clear();
    T3DSysFont* glyphs = Glyphs();
    EXPECT_TRUE(log.contains(c.line)) << ::testing::PrintToString(log.messages());
    EXPECT_EQ(glyphs->table().glyphs.size(), 1103u);
    EXPECT_NE(glyphs->Atlas(), nullptr);
    EXPECT_EQ(Read("cache/arial10.fnbin"), goodBinary);
  }
}

TEST_F(FontWorld, InkAboveTheAscentStaysInItsGlyphsCell) {
  // The breve of the capital short I rises above the ascent of Liberation
  // Mono at 16 pixels: its cell holds all the ink the font draws for it.
  T3DSysFont* glyphs = Glyphs("liberation mono", 16);
  ASSERT_NE(glyphs, nullptr);
  const TGlyphTable& table = glyphs->table();
  const std::vector<uint32_t> atlas = Pixels(glyphs->Atlas());
  const PixelCell c = CellOf(*table.find(0x419), table);
  int64_t inCell = 0;
  for (int y = c.top; y < c.bottom; ++y) {
    for (int x = c.left; x < c.right; ++x) inCell += atlas[static_cast<size_t>(y) * table.atlasWidth + x] >> 24;
  }
  // The same character drawn alone with room all round.
  HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           ANTIALIASED_QUALITY, DEFAULT_PITCH, "liberation mono");
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, font);
  BITMAPINFO info;
  info.bmiHeader.biWidth = 64;
  info.bmiHeader.biHeight = -64;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_TRUE(bitmap && bits);
  SelectObject(dc, bitmap);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, TRANSPARENT);
  const char16_t shortI = 0x419;
  TextOutW(dc, 20, 20, &shortI, 1);
  int64_t alone = 0;
  for (int p = 0; p < 64 * 64; ++p) alone += static_cast<const uint32_t*>(bits)[p] & 0xFF;
  DeleteDC(dc);
  DeleteObject(bitmap);
  DeleteObject(font);
  ASSERT_GT(alone, 0);
  EXPECT_NEAR(static_cast<double>(inCell), static_cast<double>(alone), static_cast<double>(alone) / 100);
}

TEST_F(FontWorld, AnAtlasHigherThanTheLimitIsRefused) {
  T3DSysFont* glyphs = Glyphs("arial", 300);
  EXPECT_TRUE(log.contains("(e) Can't create font - pixmap too large: arial 300"));
  EXPECT_EQ(glyphs->Atlas(), nullptr);
}

}  // namespace
