// Font descriptions in a real applet: the applet's "default" and "system"
// fonts, descriptions that name a Font object or fall back to the cache, the
// "Font error " line, and what happens when a lent font goes away.
#include <gtest/gtest.h>

#include "engine/applet/applet.h"
#include "engine/cache/cache.h"
#include "engine/cache/cache_list.h"
#include "engine/media/font_object.h"
#include "engine/media/font_persistent.h"
#include "platform/font.h"
#include "tests/engine/media_world.h"

namespace {

class MediaFont : public ::testing::Test {
 protected:
  Applet* start(const std::string& children = "") {
    world.reset();  // one log capture at a time
    world = std::make_unique<AppletWorld>(AppletText(R"(width="64" height="48" title="Fonts")", children));
    return world->applet;
  }
  Font* font(const char16_t* name) {
    return dynamic_cast<Font*>(world->applet->findByClassAndName("Font", name));
  }
  // A description owned by the test, with the applet as owner.
  TFontPersistent* description() {
    descriptions.emplace_back(New<TFontPersistent>(world->applet));
    return descriptions.back().get();
  }
  void TearDown() override { descriptions.clear(); }
  MediaMakers makers;
  MediaPartsScope scope{makers};
  std::unique_ptr<AppletWorld> world;
  std::vector<std::unique_ptr<TFontPersistent, FreeDeleter>> descriptions;
};

TEST_F(MediaFont, TheAppletMakesDefaultAndSystemFontsWhenItsFileHasNone) {
  Applet* applet = start("  <Font name=\"system\" font.fontName=\"\" font.family=\"courier\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  Font* defaultFont = font(u"default");
  Font* systemFont = font(u"system");
  ASSERT_NE(defaultFont, nullptr);
  ASSERT_NE(systemFont, nullptr);
  EXPECT_EQ(defaultFont->font()->fontName(), u"");
  EXPECT_EQ(defaultFont->font()->family(), u"arial");
  EXPECT_EQ(defaultFont->font()->size(), 10);
  EXPECT_EQ(defaultFont->font()->style().bits(), 0u);
  // The file's own "system" is kept.
  EXPECT_EQ(systemFont->font()->family(), u"courier");
  EXPECT_EQ(systemFont->getParent(), applet);
}

TEST_F(MediaFont, ADescriptionNamingAFontUsesThatFontsDeviceFont) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  TFont* shared = font(u"default")->font()->getFont();
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(applet->cache()->fonts().count(), 1);

  TFontPersistent* text = description();  // fontName "default"
  text->setStepHorz(3);
  text->setStepVert(5);
  EXPECT_EQ(text->getFont(), shared);
  EXPECT_FLOAT_EQ(shared->charSpacing, 3);
  EXPECT_FLOAT_EQ(shared->lineSpacing, 5);
  // The last caller's steps win on the shared font.
  font(u"default")->font()->getFont();
  EXPECT_FLOAT_EQ(shared->charSpacing, 0);
  // No second device font was made.
  EXPECT_EQ(applet->cache()->fonts().count(), 1);
  EXPECT_FALSE(world->log.contains("(e) Font error default"));
}

TEST_F(MediaFont, AnUnknownFontNameFallsBackToDefaultAndWithoutItLogsFontError) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  TFont* fallback = font(u"default")->font()->getFont();
  TFontPersistent* text = description();
  text->setFontName(u"headline");
  EXPECT_EQ(text->getFont(), fallback);
  EXPECT_FALSE(world->log.contains("(e) Font error headline"));

  // Without a "default" font: the error line, and the cache's font of the
  // description's own family, size and style.
  font(u"default")->Free();
  TFont* own = text->getFont();
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(world->log.count("(e) Font error headline"), 1);
  EXPECT_EQ(own->family, "arial");
  EXPECT_GE(applet->cache()->fonts().indexOfResource(own), 0);
  TFontPersistent* other = description();
  other->setFontName(u"headline");
  other->setFamily(u"courier");
  other->setSize(12);
  TFont* courier = other->getFont();
  ASSERT_NE(courier, nullptr);
  EXPECT_EQ(world->log.count("(e) Font error headline"), 2);
  EXPECT_EQ(courier->family, "courier");
  EXPECT_FLOAT_EQ(courier->size, 12);
  // Resolved once: no further error lines.
  other->getFont();
  EXPECT_EQ(world->log.count("(e) Font error headline"), 2);
}

TEST_F(MediaFont, AFreedFontObjectTakesItsLoanBack) {
  Applet* applet = start("  <Font name=\"big\" font.fontName=\"\" font.size=\"24\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  TFontPersistent* text = description();
  text->setFontName(u"big");
  TFont* big = text->getFont();
  ASSERT_NE(big, nullptr);
  EXPECT_FLOAT_EQ(big->size, 24);
  font(u"big")->Free();  // its font goes back to the cache and is destroyed
  EXPECT_LT(applet->cache()->fonts().indexOfResource(big), 0);
  TFont* now = text->getFont();  // resolved again: the "default" font
  EXPECT_EQ(now, font(u"default")->font()->getFont());
}

TEST_F(MediaFont, ChangingFamilySizeOrStyleGivesTheCachedFontBack) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  const TCacheList& fonts = applet->cache()->fonts();
  TFontPersistent* text = description();
  text->setFontName(u"");
  text->setFamily(u"courier");
  TFont* courier = text->getFont();
  ASSERT_NE(courier, nullptr);
  EXPECT_EQ(fonts.useCountOf(courier), 1);
  text->setFamily(u"courier");  // the same value: nothing changes
  EXPECT_EQ(fonts.useCountOf(courier), 1);

  text->setStyle(TFontStyles{fsBold});
  EXPECT_LT(fonts.indexOfResource(courier), 0);
  TFont* bold = text->getFont();
  ASSERT_NE(bold, nullptr);
  EXPECT_EQ(bold->style, kFontBold);
  text->setSize(14);
  EXPECT_LT(fonts.indexOfResource(bold), 0);
  ASSERT_NE(text->getFont(), nullptr);
  EXPECT_FLOAT_EQ(text->getFont()->size, 14);

  // Destroying the description gives its font back as well.
  const int before = fonts.count();
  descriptions.clear();
  EXPECT_EQ(fonts.count(), before - 1);
}

TEST_F(MediaFont, FontsThatNameEachOtherEndWithoutAFont) {
  Applet* applet = start(
      "  <Font name=\"a\" font.fontName=\"b\"/>\r\n"
      "  <Font name=\"b\" font.fontName=\"a\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  EXPECT_EQ(font(u"a")->font()->getFont(), nullptr);
}

}  // namespace
