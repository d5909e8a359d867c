// What the media objects write into real object files, and what they read
// back: the stored tests of fonts and materials and the nested values of
// font descriptions.
#include <gtest/gtest.h>

#include <memory>

#include "core/resources/folder_resource_man.h"
#include "core/streams/object_file.h"
#include "engine/media/font_object.h"
#include "engine/media/font_persistent.h"
#include "engine/media/material.h"
#include "engine/registration.h"
#include "support/temp_dir.h"

namespace {

template <typename T>
using Held = std::unique_ptr<T, FreeDeleter>;

class MediaStored : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllClasses();
    manager.reset(New<TFolderResourceMan>(nullptr));
    manager->setRoot(dir.path());
  }
  // Stores the tree and answers the file's text.
  std::string store(BaseObject* root, const char16_t* name = u"stored.qxml") {
    EXPECT_TRUE(StoreObjectFile(manager.get(), name, root));
    return dir.read(WideToUtf8(name));
  }
  Held<BaseObject> load(const char16_t* name = u"stored.qxml") {
    return Held<BaseObject>(LoadObjectFile(manager.get(), name, nullptr, false, nullptr));
  }
  static bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
  TempDir dir;
  Held<TFolderResourceMan> manager;
};

TEST_F(MediaStored, AMaterialWritesOnlyTheColoursThatDifferFromItsDefaults) {
  Held<Materials> materials(New<Materials>(nullptr));
  materials->SetName(u"palette");
  auto* blue = New<Material>(materials.get());
  blue->SetName(u"blue");
  blue->setDiffuse(0xFF0000FFu);
  auto* plain = New<Material>(materials.get());
  plain->SetName(u"plain");

  const std::string text = store(materials.get());
  EXPECT_TRUE(has(text, "diffuse=\"#FF0000FF\"")) << text;
  EXPECT_FALSE(has(text, "ambient")) << text;
  EXPECT_FALSE(has(text, "specular")) << text;

  blue->setAmbient(0xFF010203u);
  blue->setSpecular(0x80FFFFFFu);
  blue->setLighting(true);
  store(materials.get());
  Held<BaseObject> copy = load();
  auto* copied = dynamic_cast<Materials*>(copy.get());
  ASSERT_NE(copied, nullptr);
  Material* readBlue = copied->getMaterial(u"blue");
  ASSERT_NE(readBlue, nullptr);
  EXPECT_EQ(readBlue->diffuse(), 0xFF0000FFu);
  EXPECT_EQ(readBlue->ambient(), 0xFF010203u);
  EXPECT_EQ(readBlue->specular(), 0x80FFFFFFu);
  EXPECT_TRUE(readBlue->lighting());
  Material* readPlain = copied->getMaterial(u"plain");
  ASSERT_NE(readPlain, nullptr);
  EXPECT_EQ(readPlain->diffuse(), 0xFF969696u);
  EXPECT_EQ(readPlain->ambient(), 0xFF969696u);
  EXPECT_EQ(readPlain->specular(), 0xFFFFFFFFu);
  EXPECT_FALSE(readPlain->lighting());
  EXPECT_EQ(copied->getMaterial(u"palette"), nullptr);
}

TEST_F(MediaStored, AFontNamingAnotherFontWritesOnlyTheName) {
  Held<Font> font(New<Font>(nullptr));
  font->SetName(u"title");
  TFontPersistent* description = font->font();
  description->setFamily(u"courier");
  description->setSize(14);
  description->setStyle(TFontStyles{fsItalic});
  ASSERT_EQ(description->fontName(), u"default");

  const std::string text = store(font.get());
  EXPECT_TRUE(has(text, "font.fontName=\"default\"")) << text;
  EXPECT_FALSE(has(text, "font.family")) << text;
  EXPECT_FALSE(has(text, "font.size")) << text;
  EXPECT_FALSE(has(text, "font.style")) << text;
  EXPECT_FALSE(has(text, "font.color")) << text;
}

TEST_F(MediaStored, AFontOfItsOwnWritesWhatDiffersAndReadsBackTheSame) {
  Held<Font> font(New<Font>(nullptr));
  font->SetName(u"title");
  TFontPersistent* description = font->font();
  description->setFontName(u"");
  description->setFamily(u"Courier");
  description->setSize(14);
  description->setStyle(TFontStyles{fsBold, fsItalic});
  description->setColor(0xFF00FF00u);
  description->setStepHorz(2);

  const std::string text = store(font.get());
  EXPECT_TRUE(has(text, "font.family=\"Courier\"")) << text;
  EXPECT_TRUE(has(text, "font.size=\"14\"")) << text;
  EXPECT_TRUE(has(text, "font.color=\"#FF00FF00\"")) << text;
  EXPECT_TRUE(has(text, "font.style")) << text;

  // The empty font name is written too: left out, it would read back as
  // "default" and the font would lose its own family.
  Held<BaseObject> copy = load();
  auto* read = dynamic_cast<Font*>(copy.get());
  ASSERT_NE(read, nullptr);
  TFontPersistent* back = read->font();
  EXPECT_EQ(back->fontName(), u"") << text;
  EXPECT_EQ(back->family(), u"Courier");
  EXPECT_EQ(back->size(), 14);
  EXPECT_EQ(back->style(), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(back->color(), 0xFF00FF00u);
  EXPECT_EQ(back->stepHorz(), 2);

  // "arial" in any capitals, size 10 and no style are the defaults.
  description->setFamily(u"ARIAL");
  description->setSize(10);
  description->setStyle(TFontStyles());
  description->setColor(kNoColor);
  const std::string plain = store(font.get(), u"plain.qxml");
  EXPECT_FALSE(has(plain, "font.family")) << plain;
  EXPECT_FALSE(has(plain, "font.size")) << plain;
  EXPECT_FALSE(has(plain, "font.style")) << plain;
  EXPECT_FALSE(has(plain, "font.color")) << plain;
}

TEST_F(MediaStored, MediaObjectsLoadedOutsideAnAppletStayInert) {
  dir.write("skin.qxml",
            "<?xml version=\"1.0\"?>\r\n<Skin name=\"s\">\r\n"
            "  <SkinElement name=\"e\" pixmap.fileName=\"x.png\" pixmap.rect.right=\"5\"/>\r\n</Skin>\r\n");
  Held<BaseObject> skin = load(u"skin.qxml");
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin->className(), "Skin");
  ASSERT_NE(skin->findByName(u"e"), nullptr);
  Held<Font> font(New<Font>(nullptr));
  EXPECT_EQ(font->font()->getFont(), nullptr);
  Held<Material> material(New<Material>(nullptr));
  material->apply(kNoColor, 0.5f);  // no device: nothing happens
}

}  // namespace
