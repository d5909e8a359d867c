// Text through glyph sets: when text is drawn, what the layout is asked, how
// fonts find their cache files, and fonts freeing their glyphs once.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "core/resources/folder_resource_man.h"
#include "platform/device_fake_helpers.h"
#include "platform/font.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

// A glyph set that records what it is asked, and lays out one line per
// text with a fixed 10-pixel advance a character.
class TRecordingGlyphs : public TGlyphSet {
  Q_OBJECT(TRecordingGlyphs, TGlyphSet)

 public:
  static std::vector<std::string>* calls;
  static int destroyed;
  static TDevice* drawingDevice;  // its colour is noted with every line built
  TPixmap* atlas = nullptr;
  int32_t fitLimit = 1000;  // characters MeasureText lets fit

  void Destroy() override {
    destroyed += 1;
    inherited::Destroy();
  }
  TPixmap* Atlas() override { return atlas; }
  void MeasureText(const WideString& text, int32_t& count, TPointF& size, float) override {
    count = static_cast<int32_t>(std::min<size_t>(text.size(), static_cast<size_t>(fitLimit)));
    size = MakePointF(10.0f * static_cast<float>(count), 12);
  }
  void BuildText(TFont*, const TMatrix4F&, const WideString& text, float x, float y) override {
    char colour[16];
    std::snprintf(colour, sizeof colour, "%08X", drawingDevice ? drawingDevice->material().diffuse : 0u);
    calls->push_back("build " + WideToUtf8(text) + " at " + std::to_string(static_cast<int>(x)) + "," +
                     std::to_string(static_cast<int>(y)) + " in " + colour);
  }
  void LayoutText(TFont*, uint8_t flags, const WideString& text, std::vector<TTextLine>& lines, int32_t& count,
                  float widthLimit, TRectF& rect) override {
    calls->push_back("layout flags " + std::to_string(flags) + " limit " + std::to_string(static_cast<int>(widthLimit)));
    TPointF size;
    MeasureText(text, count, size, widthLimit);
    lines.push_back({MakeRectF(rect.left + 0.75f, rect.top + 0.5f, rect.left + size.x, rect.top + size.y), text});
    rect.right = rect.left + size.x;
  }
  bool LoadFn(TResourceMan*, const std::string& base, int32_t style, int32_t size, const std::string& family) override {
    calls->push_back("LoadFn " + base + " " + std::to_string(style) + " " + std::to_string(size) + " " + family);
    return true;
  }
  bool LoadFnbin(TResourceMan*, const std::string& base, int32_t, int32_t, const std::string&) override {
    calls->push_back("LoadFnbin " + base);
    return true;
  }
  void SaveFnbin(TResourceMan*, const std::string& base) override { calls->push_back("SaveFnbin " + base); }
  void BuildFromSystem(TResourceMan*, const std::string& base, int32_t, int32_t, const std::string&) override {
    calls->push_back("BuildFromSystem " + base);
  }
};
std::vector<std::string>* TRecordingGlyphs::calls = nullptr;
int TRecordingGlyphs::destroyed = 0;
TDevice* TRecordingGlyphs::drawingDevice = nullptr;

}  // namespace

const ClassInfo& TRecordingGlyphs::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TRecordingGlyphs>("TRecordingGlyphs").build();
  return info;
}

namespace {

class Text : public ::testing::Test {
 protected:
  void SetUp() override {
    TRecordingGlyphs::calls = &calls;
    TRecordingGlyphs::destroyed = 0;
    TRecordingGlyphs::drawingDevice = device.get();
    SetGlyphSetClass([](TObject* owner) -> TGlyphSet* { return New<TRecordingGlyphs>(owner); });
    manager = New<TFolderResourceMan>();
    manager->setRoot(dir.path());
    host.fonts = manager;
  }
  void TearDown() override {
    SetGlyphSetClass(nullptr);
    device.reset();
    manager->Free();
  }
  void Touch(const std::string& name, int secondsAgo) {
    std::string path = dir.write(name, "x");
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() -
                                               std::chrono::seconds(secondsAgo));
  }
  TFont* Font(const std::string& family = "Arial", float size = 12, int32_t style = 0) {
    TFont* font = device->CreateFont(family, size, style);
    calls.clear();
    return font;
  }

  TempDir dir;
  TResourceMan* manager = nullptr;
  std::vector<std::string> calls;
  TTestHost host;
  FakeDevicePtr device = MakeFakeDevice(&host);
};

TEST_F(Text, CacheBaseNamesCarrySizeAndStyle) {
  EXPECT_EQ(FontCacheBaseName("Arial", 12.9f, 0), "cache\\Arial12");
  EXPECT_EQ(FontCacheBaseName("Arial", 12, kFontBold), "cache\\Arial12bold");
  EXPECT_EQ(FontCacheBaseName("Times", 8, kFontBold | kFontItalic), "cache\\Times8bolditalic");
  EXPECT_EQ(FontCacheBaseName("Times", 8, kFontItalic), "cache\\Times8italic");
}

TEST_F(Text, WithoutCacheFilesTheFontIsRasterised) {
  TFont* font = device->CreateFont("Arial", 12, kFontBold);
  EXPECT_EQ(calls, std::vector<std::string>{"BuildFromSystem cache\\Arial12bold"});
  EXPECT_EQ(font->family, "Arial");
  EXPECT_EQ(font->style, kFontBold);
  EXPECT_EQ(font->charSpacing, 0);
  EXPECT_EQ(font->lineSpacing, 0);
  device->DestroyFont(font);
}

TEST_F(Text, ATextDescriptionWithoutBinaryIsReadAndStoredBinary) {
  Touch("cache/Arial12.fn", 10);
  device->DestroyFont(device->CreateFont("Arial", 12, 0));
  EXPECT_EQ(calls, (std::vector<std::string>{"LoadFn cache\\Arial12 0 12 Arial", "SaveFnbin cache\\Arial12"}));
}

TEST_F(Text, AnUpToDateBinaryIsLoaded) {
  Touch("cache/Arial12.fn", 100);
  Touch("cache/Arial12.fnbin", 10);
  device->DestroyFont(device->CreateFont("Arial", 12, 0));
  EXPECT_EQ(calls, std::vector<std::string>{"LoadFnbin cache\\Arial12"});
}

TEST_F(Text, ABinaryOlderThanItsTextIsBuiltAgain) {
  Touch("cache/Arial12.fn", 10);
  Touch("cache/Arial12.fnbin", 100);
  device->DestroyFont(device->CreateFont("Arial", 12, 0));
  EXPECT_EQ(calls, (std::vector<std::string>{"LoadFn cache\\Arial12 0 12 Arial", "SaveFnbin cache\\Arial12"}));
}

TEST_F(Text, ABinaryAloneIsLoaded) {
  Touch("cache/Arial12italic.fnbin", 10);
  device->DestroyFont(device->CreateFont("Arial", 12, kFontItalic));
  EXPECT_EQ(calls, std::vector<std::string>{"LoadFnbin cache\\Arial12italic"});
}

TEST_F(Text, DestroyingAFontFreesItsGlyphsOnce) {
  TFont* font = Font();
  ASSERT_NE(font->glyphSet, nullptr);
  device->DestroyFont(font);
  EXPECT_EQ(TRecordingGlyphs::destroyed, 1);
  device->DestroyFont(nullptr);
}

TEST_F(Text, TextIsLaidOutAndBuiltLineByLineAtWholePixels) {
  TFont* font = Font();
  TPixmap* atlas = device->CreatePixmap(8, 8);
  static_cast<TRecordingGlyphs*>(font->glyphSet)->atlas = atlas;
  const TMaterial lit{true, 0xFF445566, 0xFF010203, 0xFF0A0B0C};
  device->SetMaterial(lit);
  device->DrawText(font, W("Hello"), 0xFF112233, kTextCentre, MakeRectF(10, 20, 200, 60));
  EXPECT_EQ(calls, (std::vector<std::string>{"layout flags 2 limit 65535", "build Hello at 10,20 in FF112233"}));
  EXPECT_EQ(device->boundPixmap(), atlas);
  EXPECT_TRUE(device->RenderStateOn(rsFilterLinear));
  EXPECT_TRUE(device->RenderStateOn(rsTextureModulate));
  // What is drawn after the text keeps the material it had.
  EXPECT_EQ(device->material(), lit);
  device->DestroyFont(font);
}

TEST_F(Text, NothingIsDrawnForEmptyTextInvisibleColourWireframeOrNoFont) {
  TFont* font = Font();
  device->DrawText(font, W(""), 0xFF000000, 0, MakeRectF(0, 0, 10, 10));
  device->DrawText(font, W("x"), 0x00FFFFFF, 0, MakeRectF(0, 0, 10, 10));
  device->DrawText(nullptr, W("x"), 0xFF000000, 0, MakeRectF(0, 0, 10, 10));
  device->SetRenderState(rsWireframe);
  device->DrawText(font, W("x"), 0xFF000000, 0, MakeRectF(0, 0, 10, 10));
  EXPECT_TRUE(calls.empty());
  device->SetRenderState(rsSolid);
  device->DrawText(font, W("x"), 0x01000000, 0, MakeRectF(0, 0, 10, 10));
  EXPECT_EQ(calls.size(), 2u);
  device->DestroyFont(font);
}

TEST_F(Text, WithoutGlyphsTextSaysSoOnceAndDrawsNothing) {
  SetGlyphSetClass(nullptr);
  LogCapture log;
  TFont* font = device->CreateFont("Arial", 12, 0);
  EXPECT_EQ(font->glyphSet, nullptr);
  device->DrawText(font, W("a"), 0xFF000000, 0, MakeRectF(0, 0, 10, 10));
  device->DrawText(font, W("b"), 0xFF000000, 0, MakeRectF(0, 0, 10, 10));
  int32_t count = 5;
  TRectF rect = MakeRectF(0, 0, 10, 10);
  device->MeasureText(font, W("c"), 100, count, 0, rect);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(log.count("(e) Font error Arial 12.000000000000000"), 1);
  EXPECT_TRUE(device->draws.empty());
  device->DestroyFont(font);
}

TEST_F(Text, MeasuringEmptyTextGivesAnEmptyRectangle) {
  TFont* font = Font();
  int32_t count = 9;
  TRectF rect = MakeRectF(5, 5, 50, 20);
  device->MeasureText(font, W(""), 100, count, 0, rect);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(rect.right, 5);
  EXPECT_TRUE(calls.empty());
  device->MeasureText(font, W("abcd"), 100, count, 0, rect);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(rect.right, 45);
  device->DestroyFont(font);
}

TEST_F(Text, FittedTextIsCutToWhatFitsOnOneLine) {
  TFont* font = Font();
  static_cast<TRecordingGlyphs*>(font->glyphSet)->fitLimit = 3;
  TRectF rect = MakeRectF(0, 0, 30, 12);
  device->DrawTextFit(font, W("abcdef"), 0xFF000000, kTextWordWrap | kTextRight, rect);
  EXPECT_EQ(calls, (std::vector<std::string>{"layout flags 4 limit 30", "layout flags 4 limit 65535",
                                             "build abc at 0,0 in FF000000"}));
  calls.clear();
  rect = MakeRectF(0, 0, 30, 12);
  device->DrawTextFit(font, W("ab\rcdef"), 0xFF000000, 0, rect);  // a line break: kept whole
  EXPECT_EQ(calls.back(), "build ab\rcdef at 0,0 in FF000000");
  device->DestroyFont(font);
}

}  // namespace
