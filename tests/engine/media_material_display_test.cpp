// Materials in a real applet: the built-in "default" and "gui", a main file's
// own Materials in their place, what apply hands the device, and the colour
// and alpha of an object's material on real pixels.
#include <gtest/gtest.h>

#include "engine/applet/applet.h"
#include "engine/applet/game_parts.h"
#include "engine/media/material.h"
#include "engine/media/pixmap_persistent.h"
#include "engine/scene/position_object.h"
#include "engine/script_engine.h"
#include "platform/device.h"
#include "tests/engine/media_world.h"

namespace {
// What the device's material was when a positioned object drew itself.
std::vector<TMaterial>* seen = nullptr;

class MaterialProbe : public PositionObject {
  Q_OBJECT(MaterialProbe, PositionObject)
 public:
  void drawSelf() override {
    Applet* applet = ownerApplet();
    if (seen && applet && applet->device()) seen->push_back(applet->device()->material());
  }
};
}  // namespace

const ClassInfo& MaterialProbe::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<MaterialProbe>("MaterialProbe").build();
  return info;
}

namespace {

class MediaMaterial : public ::testing::Test {
 protected:
  void SetUp() override { makers.pixmaps["white"] = {8, 8, [](int, int) { return kWhite; }}; }
  Applet* start(const std::string& children = "") {
    world.reset();  // one log capture at a time
    world = std::make_unique<AppletWorld>(AppletText(R"(width="64" height="48" title="Materials")", children));
    return world->applet;
  }
  Material* material(const char16_t* name) { return dynamic_cast<Material*>(world->applet->findMaterial(name)); }
  MediaMakers makers;
  MediaPartsScope scope{makers};
  std::unique_ptr<AppletWorld> world;
};

TEST_F(MediaMaterial, TheAppletMakesDefaultAndGuiMaterials) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  EXPECT_GE(world->indexOf("(i) Materials created"), 0);
  EXPECT_LT(world->indexOf("(i) Event created"), world->indexOf("(i) Materials created"));
  EXPECT_GE(world->indexOf("(i) Load materials"), 0);
  EXPECT_FALSE(world->log.contains("(i) Load material from main.qxml"));
  Material* lit = material(u"default");
  ASSERT_NE(lit, nullptr);
  EXPECT_TRUE(lit->lighting());
  EXPECT_EQ(lit->diffuse(), 0xFF969696u);
  EXPECT_EQ(lit->ambient(), 0xFF969696u);
  EXPECT_EQ(lit->specular(), 0xFFFFFFFFu);
  Material* gui = material(u"gui");
  ASSERT_NE(gui, nullptr);
  EXPECT_FALSE(gui->lighting());
  EXPECT_EQ(gui->diffuse(), 0xFFFFFFFFu);
  EXPECT_EQ(gui->ambient(), 0xFFFFFFFFu);
  EXPECT_EQ(material(u"nothing"), nullptr);
  // The group is a service of the applet, outside its tree.
  EXPECT_EQ(applet->findByClassName("Materials"), nullptr);
  ASSERT_NE(GameParts::of(applet), nullptr);
  EXPECT_EQ(GameParts::of(applet)->materials()->getMaterial(u"gui"), gui);
}

TEST_F(MediaMaterial, AMainFilesOwnMaterialsTakeThePlaceOfTheBuiltInOnes) {
  Applet* applet = start(
      "  <Materials name=\"mine\">\r\n"
      "    <Material name=\"red\" diffuse=\"#FFFF0000\" lighting=\"False\"/>\r\n"
      "  </Materials>\r\n");
  ASSERT_NE(applet, nullptr);
  EXPECT_TRUE(world->log.contains("(i) Load material from main.qxml"));
  EXPECT_EQ(material(u"default"), nullptr);
  EXPECT_EQ(material(u"gui"), nullptr);
  Material* red = material(u"red");
  ASSERT_NE(red, nullptr);
  EXPECT_EQ(red->diffuse(), 0xFFFF0000u);
  EXPECT_EQ(red->ambient(), 0xFF969696u);

  // Freed by a script: no longer handed out.
  applet->findByName(u"mine")->Free();
  EXPECT_EQ(material(u"red"), nullptr);
  EXPECT_EQ(GameParts::of(applet)->materials(), nullptr);
}

TEST_F(MediaMaterial, ApplyHandsTheDeviceTheColoursFadedByAlpha) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  TDevice* device = applet->device();
  Material* lit = material(u"default");
  ASSERT_NE(lit, nullptr);

  lit->apply(kNoColor, 1.0f);
  EXPECT_EQ(device->material(), (TMaterial{true, 0xFF969696u, 0xFF969696u, 0xFFFFFFFFu}));
  lit->apply(kNoColor, 0.5f);
  EXPECT_EQ(device->material(), (TMaterial{true, 0x7F969696u, 0x7F969696u, 0x7FFFFFFFu}));
  lit->apply(0xFF00FF00u, 0.0f);
  EXPECT_EQ(device->material(), (TMaterial{true, 0x0000FF00u, 0x00969696u, 0x00FFFFFFu}));
  // An alpha outside 0..1 changes nothing.
  lit->apply(0x80102030u, -0.5f);
  EXPECT_EQ(device->material(), (TMaterial{true, 0x80102030u, 0xFF969696u, 0xFFFFFFFFu}));
  lit->apply(kNoColor, 2.0f);
  EXPECT_EQ(device->material().diffuse, 0xFF969696u);
}

TEST_F(MediaMaterial, ApplyMaterialFindsTheMaterialByItsTag) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  Materials* materials = GameParts::of(applet)->materials();
  material(u"gui")->setTagString(u"flat");
  applet->device()->SetMaterial(TMaterial{});
  materials->applyMaterial(u"nosuchtag");
  EXPECT_EQ(applet->device()->material(), TMaterial{});
  materials->applyMaterial(u"flat");
  EXPECT_EQ(applet->device()->material(), (TMaterial{false, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}));
}

TEST_F(MediaMaterial, ScriptsReachTheMaterialsByName) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  ASSERT_NE(applet->scriptEngine(), nullptr);
  ASSERT_TRUE(applet->scriptEngine()->evaluate(
      u"var m = materials.getMaterial('default'); var d = m.diffuse; m.ambient = '#FF102030';"))
      << world->log.messages().back();
  EXPECT_EQ(applet->scriptEngine()->getGlobal(u"d").toText(), u"#FF969696");
  EXPECT_EQ(material(u"default")->ambient(), 0xFF102030u);
}

TEST_F(MediaMaterial, AnObjectsMaterialColourOverrideAndAlphaTintItsPixels) {
  Applet* applet = start(
      "  <Materials>\r\n"
      "    <Material name=\"gui\" diffuse=\"#FFFFFFFF\"/>\r\n"
      "    <Material name=\"greenish\" diffuse=\"#FF00FF00\"/>\r\n"
      "  </Materials>\r\n");
  ASSERT_NE(applet, nullptr);
  MediaPaint* paint = AddPaint(applet, {0, 0, 16, 16});
  paint->usePixmap()->setFileName(u"white.png");
  Frame frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(8, 8), kWhite)) << std::hex << frame.at(8, 8);
  EXPECT_EQ(paint->cachedMaterial(), material(u"gui"));

  paint->setMaterial(u"greenish");
  frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(8, 8), kGreen)) << std::hex << frame.at(8, 8);

  paint->setColorOverride(0xFFFF0000u);
  frame = RenderFrame(applet);
  EXPECT_TRUE(Near(frame.at(8, 8), kRed)) << std::hex << frame.at(8, 8);

  // A freed material is forgotten; the object draws with what the device has.
  paint->setColorOverride(kNoColor);
  material(u"greenish")->Free();
  EXPECT_EQ(paint->cachedMaterial(), nullptr);
  frame = RenderFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
}

TEST_F(MediaMaterial, APositionedObjectDrawsWithItsMaterialFadedByItsAlpha) {
  Applet* applet = start();
  ASSERT_NE(applet, nullptr);
  std::vector<TMaterial> materials;
  seen = &materials;
  auto* probe = New<MaterialProbe>(applet);
  probe->setAlpha(0.5f);
  RenderFrame(applet);
  ASSERT_EQ(materials.size(), 1u);
  EXPECT_EQ(materials[0], (TMaterial{true, 0x7F969696u, 0x7F969696u, 0x7FFFFFFFu}));
  EXPECT_EQ(probe->cachedMaterial(), material(u"default"));

  probe->setMaterial(u"gui");
  probe->setAlpha(1.0f);
  probe->setColorOverride(0xFF123456u);
  RenderFrame(applet);
  ASSERT_EQ(materials.size(), 2u);
  EXPECT_EQ(materials[1], (TMaterial{false, 0xFF123456u, 0xFFFFFFFFu, 0xFFFFFFFFu}));
  seen = nullptr;
}

}  // namespace
