// Particles in a real applet: the three renderers of the top layer, the
// effects each takes, the particle pixmap shared through the cache, and a
// burst on the screen and in the world read back from GL on both devices.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "engine/applet/applet.h"
#include "engine/applet/game_parts.h"
#include "engine/particles/particle_effect.h"
#include "engine/particles/particle_renderer.h"
#include "platform/device.h"
#include "tests/engine/media_world.h"

namespace {
// A 2D emitter at (12, 12) and a 3D one at the world's origin, which the
// camera puts in the middle of the 64 x 48 window; both emit white squares
// of 8 units that stay where they are born.
const char* const kBurst = R"(<Camera name="camera" kind="okSpace" position.y="-100" direction.y="-1" up.z="-1"/>
<Dummy name="flat" position.x="12" position.y="12">
  <ParticleEffect name="sparks" loop="True" particleInterval="0.05" positionDispersion="0">
    <keys><item key="0" color="#FFFFFFFF" scale="8"/><item key="60" color="#FFFFFFFF" scale="8"/></keys>
  </ParticleEffect>
</Dummy>
<Dummy name="deep" kind="okSpace">
  <ParticleEffect name="smoke" loop="True" particleInterval="0.05" positionDispersion="0" zTest="True" blendingMode="bmBlend">
    <keys><item key="0" color="#FFFFFFFF" scale="8"/><item key="60" color="#FFFFFFFF" scale="8"/></keys>
  </ParticleEffect>
</Dummy>
)";

class ParticleWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    makers.pixmaps["defaultpfx"] = {8, 8, [](int, int) { return kWhite; }};
    makers.pixmaps["defaultskin"] = {8, 8, [](int, int) { return kWhite; }};
  }
  Applet* load(const std::string& device) {
    world.reset();
    world = std::make_unique<AppletWorld>(AppletText(
        R"(width="64" height="48" title="Particles" cursorSystem="True" bkColor="#FF000000" deviceName=")" + device +
            "\"",
        kBurst));
    return world->applet;
  }
  // Frames of 0.1 s through the tree.
  void run(int frames) {
    for (int i = 0; i < frames; ++i) {
      world->applet->requestRedraw();
      world->applet->tick(world->applet->time() + 0.1, 0.1);
    }
  }
  template <class T>
  T* find(const char16_t* name) {
    return dynamic_cast<T*>(world->applet->findByName(name));
  }
  ParticleRenderer* renderer(int index) {
    return GameParts::of(world->applet)->particleRenderers().at(index);
  }

  MediaMakers makers;
  MediaPartsScope scope{makers};
  std::unique_ptr<AppletWorld> world;
};

TEST_F(ParticleWorld, ABurstShowsOnTheScreenAndInTheWorldAlikeOnBothDevices) {
  Frame frames[2];
  const char* const devices[] = {"ogl", "dx8"};
  for (int d = 0; d < 2; ++d) {
    Applet* applet = load(devices[d]);
    ASSERT_NE(applet, nullptr);
    run(3);
    auto* sparks = find<ParticleEffect>(u"sparks");
    ASSERT_NE(sparks, nullptr);
    ASSERT_GT(sparks->particleCount(), 0);
    frames[d] = RenderFrame(applet);
    const Frame& f = frames[d];
    ASSERT_FALSE(f.pixels.empty());
    EXPECT_TRUE(Near(f.at(12, 12), kWhite)) << devices[d] << std::hex << " " << f.at(12, 12);
    EXPECT_TRUE(Near(f.at(32, 24), kWhite)) << devices[d] << std::hex << " " << f.at(32, 24);
    EXPECT_TRUE(Near(f.at(12, 24), 0xFF000000u)) << devices[d];
    EXPECT_TRUE(Near(f.at(50, 10), 0xFF000000u)) << devices[d];
    EXPECT_EQ(applet->device()->particleCount(),
              sparks->particleCount() + find<ParticleEffect>(u"smoke")->particleCount());
  }
  // Alike wherever the picture is flat: edges may lie half a pixel apart.
  int compared = 0;
  for (int y = 1; y + 1 < frames[0].height; ++y) {
    for (int x = 1; x + 1 < frames[0].width; ++x) {
      bool flat = true;
      for (int n = 0; n < 9 && flat; ++n) flat = Near(frames[0].at(x + n % 3 - 1, y + n / 3 - 1), frames[0].at(x, y));
      if (!flat) continue;
      ++compared;
      EXPECT_TRUE(Near(frames[0].at(x, y), frames[1].at(x, y))) << x << "," << y;
    }
  }
  EXPECT_GT(compared, 2000);
}

TEST_F(ParticleWorld, EffectsGoToTheRendererTheirSettingsAskForAndShareOnePixmap) {
  Applet* applet = load("ogl");
  ASSERT_NE(applet, nullptr);
  BaseObject* top = applet->topLayer();
  ASSERT_NE(top, nullptr);
  const auto particleImageRequests = [&] {
    int asked = 0;
    for (const MediaRequest& request : makers.pixmapRequests) asked += request.name == "defaultpfx.pixmap";
    return asked;
  };
  // Loaded and shown without a particle: the built-in image is not read yet.
  EXPECT_EQ(particleImageRequests(), 0);
  // Blend, additive, depth-tested: in the top layer, in that order.
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(renderer(i)->getParent(), top);
    EXPECT_EQ(renderer(i)->blendingMode(), i == 0 ? bmBlend : bmAdditive);
    EXPECT_EQ(renderer(i)->zTest(), i == 2);
    EXPECT_EQ(renderer(i)->pixmap(), renderer(0)->pixmap());
  }
  ASSERT_NE(renderer(0)->pixmap(), nullptr);
  EXPECT_EQ(renderer(0)->pixmap()->width(), 8);
  EXPECT_EQ(particleImageRequests(), 1);
  EXPECT_EQ(find<ParticleEffect>(u"sparks")->renderer(), renderer(1));
  EXPECT_EQ(find<ParticleEffect>(u"smoke")->renderer(), renderer(2));  // depth test over blending
  auto* made = New<ParticleEffect>(find<BaseObject>(u"flat"));
  made->setLoop(true);
  EXPECT_EQ(made->renderer(), renderer(1));
  EXPECT_EQ(renderer(1)->effects().size(), 2u);

  // A renderer that goes gives its pixmap back; the others still draw with it.
  TPixmap* shared = renderer(0)->pixmap();
  renderer(1)->setPixmapFile("none.pixmap");
  EXPECT_EQ(renderer(1)->pixmap(), nullptr);
  renderer(0)->Free();
  EXPECT_EQ(made->renderer(), renderer(1));
  const auto& live = applet->device()->pixmaps();
  EXPECT_NE(std::find(live.begin(), live.end(), shared), live.end());
  EXPECT_EQ(renderer(2)->pixmap(), shared);
  renderer(1)->Free();
  EXPECT_EQ(made->renderer(), nullptr);
  run(2);  // an effect without a renderer still steps
  EXPECT_GT(made->particleCount(), 0);

  applet->killParticles();
  EXPECT_EQ(find<ParticleEffect>(u"smoke")->particleCount(), 0);
  made->Free();
}
}  // namespace
