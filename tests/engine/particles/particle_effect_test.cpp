// Particle effects on real tree objects without a display: emission by
// interval, life and death over the keys, the keys' views and the life time,
// and the effect's stored form read back from an object file.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/geometry/coordinates.h"
#include "core/resources/folder_resource_man.h"
#include "core/streams/object_file.h"
#include "engine/particles/particle.h"
#include "engine/particles/particle_effect.h"
#include "engine/registration.h"
#include "engine/scene/position_object.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {
template <class T>
using Owned = std::unique_ptr<T, FreeDeleter>;

class Particles : public ::testing::Test {
 protected:
  Particles() {
    RegisterAllClasses();
    owner.reset(New<PositionObject>(nullptr));
    effect = New<ParticleEffect>(owner.get());
    effect->setLoop(true);  // runs without a running time
  }
  void tick(double delta) {
    time_ += delta;
    owner->tick(time_, delta);
  }

  Owned<PositionObject> owner;
  ParticleEffect* effect = nullptr;
  LogCapture log;
  double time_ = 0;
};

TEST_F(Particles, EmitTruncatedIntervalsEveryFewFramesAndDropTheRemainder) {
  struct Case {
    float interval;
    double frame;
    std::vector<int> countAfterEach;
  };
  const Case cases[] = {
      {0.1f, 0.25, {0, 2, 2, 4, 4, 6}},   // 0.25 s frames: two every other frame, 0.05 s dropped
      {0.5f, 0.25, {0, 0, 1, 1, 1, 2}},
      {0.0f, 0.25, {0, 0, 0}},            // no interval: nothing
      {-1.0f, 0.25, {0, 0, 0}},           // taken as 0
      {0.001f, 1000, {0, 1000, 1000}},    // a long pause emits a bounded burst
      {1e-30f, 0.02, {0, 1000, 1000}},
  };
  for (const Case& c : cases) {
    effect->clearParticles();
    effect->setParticleInterval(c.interval);
    effect->setLifeTime(1e6f);
    for (size_t i = 0; i < c.countAfterEach.size(); ++i) {
      tick(c.frame);
      EXPECT_EQ(effect->particleCount(), c.countAfterEach[i]) << "interval " << c.interval << " frame " << i;
    }
    // The accumulator is capped to a new interval: the next case starts empty.
    effect->setParticleInterval(0);
  }
}

TEST_F(Particles, LiveParticlesAreBoundedPerEffectAndPerAppletAndTheOldestGo) {
  // A tiny interval and a long life: without bounds the count only grows.
  ParticleEffect::SetParticleBoundsForTest(300, 500);
  auto* second = New<ParticleEffect>(owner.get());
  second->setLoop(true);
  for (ParticleEffect* e : {effect, second}) {
    e->setParticleInterval(1e-6f);
    e->setLifeTime(1e6f);
  }
  for (int frame = 0; frame < 6; ++frame) {
    tick(0.1);
    EXPECT_LE(effect->particleCount(), 300);
    EXPECT_LE(effect->particleCount() + second->particleCount(), 500);
  }
  EXPECT_EQ(effect->particleCount() + second->particleCount(), 500);
  // What is left was born last: the oldest went first.
  for (ParticleEffect* e : {effect, second}) {
    for (int i = 0; i < e->particleCount(); ++i) EXPECT_GE(e->particles()->particle(i)->birthTime, 0.35f);
  }
  EXPECT_EQ(log.count("(e) Too many particles in ParticleEffect \"\": the oldest go first (at most 300 an effect, 500 "
                      "an applet)"),
            2);
  ParticleEffect::SetParticleBoundsForTest(0, 0);
}

TEST_F(Particles, LifeTimeMovesTheLastOfTwoKeysAndParticlesDieAfterIt) {
  effect->setLifeTime(2);
  EXPECT_EQ(effect->keys()->key(1)->key(), 60u);
  EXPECT_FLOAT_EQ(effect->lifeTime(), 2.0f);
  effect->setLifeTime(-5);
  EXPECT_EQ(effect->keys()->key(1)->key(), 0u);

  // One particle, 1 s of life, moved by its velocity and gravity.
  effect->setLifeTime(1);
  effect->setParticleInterval(0.25f);
  effect->gravity()->setXYZ(0, 10, 0);
  tick(0.25);
  tick(0.25);
  ASSERT_EQ(effect->particleCount(), 1);
  const TParticle* particle = effect->particles()->particle(0);
  EXPECT_FLOAT_EQ(particle->age, 0.25f);
  EXPECT_NEAR(particle->position.y, 10 * 0.25 * 0.25, 0.01);
  effect->setParticleInterval(0);
  effect->setRunning(false);
  EXPECT_TRUE(effect->lingering());  // stopped, still stepping its particles
  for (int i = 0; i < 3; ++i) tick(0.25);
  EXPECT_EQ(effect->particleCount(), 0);
  EXPECT_FALSE(effect->lingering());
}

TEST_F(Particles, KeysGiveColourScaleAndSpinOverAParticlesAge) {
  struct Key {
    uint32_t at;
    TColorARGB color;
    float scale;
    float spin;
  };
  struct Case {
    std::vector<Key> keys;
    float age;
    TParticleLook look;
    TKeyLookup found;
  };
  const Key a{0, 0xFF204060u, 2, 0}, b{30, 0x00A0C0E0u, 4, 90}, c{30, 0x80000000u, 8, 0};
  const Case cases[] = {
      {{a, b}, 0, {0xFF204060u, 2, 0}, TKeyLookup::Found},
      {{a, b}, 0.5f, {0x7F6080A0u, 3, 45}, TKeyLookup::Found},  // bytes truncated
      {{a, b}, 1, {0x00A0C0E0u, 4, 90}, TKeyLookup::Found},
      {{a, b}, 2, {0x00A0C0E0u, 4, 90}, TKeyLookup::AfterLast},
      {{a, b, c}, 1, {0x00A0C0E0u, 4, 90}, TKeyLookup::Found},  // keys at one time: the first pair that encloses
      {{a, c, b}, 1, {0x80000000u, 8, 0}, TKeyLookup::Found},   // no division by the empty span
      {{b, a}, 0, {0, 0, 0}, TKeyLookup::Missing},
      {{a}, 0.5f, {0, 0, 0}, TKeyLookup::Found},                // fewer than two keys: nothing
  };
  for (const Case& test : cases) {
    Owned<TParticleKeys> keys(New<TParticleKeys>(nullptr));
    for (const Key& k : test.keys) keys->addKey(k.color, k.scale, k.spin, k.at);
    TParticleLook look;
    EXPECT_EQ(InterpolateKeys(*keys, test.age, look), test.found) << test.age;
    EXPECT_EQ(look.color, test.look.color) << std::hex << look.color;
    EXPECT_FLOAT_EQ(look.scale, test.look.scale);
    EXPECT_FLOAT_EQ(look.spin, test.look.spin);
  }
}

TEST_F(Particles, ViewsOnTheFirstTwoKeysAndVelocitiesReadBack) {
  effect->setColorMin(u"#FF112233");
  effect->setScaleMax(5);
  effect->setSpinMax(30);
  SetFloatProp(effect, *effect->classInfo().findProperty("tangentVelMax"), 7.5f);
  EXPECT_EQ(effect->keys()->key(0)->color(), 0xFF112233u);
  EXPECT_EQ(effect->colorMax(), u"#00FFFFFF");
  EXPECT_FLOAT_EQ(effect->keys()->key(1)->scale(), 5);
  EXPECT_FLOAT_EQ(effect->spinMax(), 30);
  EXPECT_FLOAT_EQ(GetFloatProp(effect, *effect->classInfo().findProperty("tangentVelMax")), 7.5f);
  // Without keys the views read nothing and write nowhere.
  effect->keys()->clear();
  effect->setScaleMin(3);
  EXPECT_FLOAT_EQ(effect->scaleMin(), 0);
  EXPECT_EQ(effect->colorMax(), u"#00000000");
  effect->setLifeTime(4);
  effect->setParticleInterval(0.25f);
  tick(0.25);
  tick(0.25);
  EXPECT_EQ(effect->particleCount(), 1);
}

TEST_F(Particles, StoredEffectReadsBackItsKeysAndTakesItsLifeTimeFromTheLastKey) {
  TempDir dir;
  Owned<TFolderResourceMan> manager(New<TFolderResourceMan>(nullptr));
  manager->setRoot(dir.path());
  effect->SetName(u"fountain");
  effect->keys()->key(1)->setKey(45);
  effect->keys()->addKey(0x80FF0000u, 6, 180, 75);
  effect->setParticleInterval(0.02f);
  effect->rect()->setRect(MakeRectF(0, 0, 0.5f, 0.5f));
  effect->gravity()->setXYZ(0, -9.8f, 0);
  SetFloatProp(effect, *effect->classInfo().findProperty("friction"), 0);
  ASSERT_TRUE(StoreObjectFile(manager.get(), u"fountain.qxml", owner.get()));
  const std::string text = dir.read("fountain.qxml");
  EXPECT_EQ(text.find("lifeTime"), std::string::npos) << text;

  Owned<BaseObject> copy(LoadObjectFile(manager.get(), u"fountain.qxml", nullptr, false, nullptr));
  ASSERT_NE(copy, nullptr);
  auto* loaded = dynamic_cast<ParticleEffect*>(copy->findOwnEffect(u"fountain"));
  ASSERT_NE(loaded, nullptr);
  ASSERT_EQ(loaded->keys()->count(), 3);
  EXPECT_EQ(loaded->keys()->key(2)->color(), 0x80FF0000u);
  EXPECT_FLOAT_EQ(loaded->keys()->key(2)->spin(), 180);
  EXPECT_FLOAT_EQ(loaded->lifeTime(), 2.5f);
  EXPECT_FLOAT_EQ(loaded->particleInterval(), 0.02f);
  EXPECT_FLOAT_EQ(loaded->rect()->right(), 0.5f);
  EXPECT_FLOAT_EQ(loaded->gravity()->y(), -9.8f);
  EXPECT_FLOAT_EQ(GetFloatProp(loaded, *loaded->classInfo().findProperty("friction")), 0);
  EXPECT_FLOAT_EQ(loaded->friction(), 1);  // the effect's own speed friction is not the particles'
}

TEST_F(Particles, AKeyColourOfSixDigitsIsRefusedWithFileAndLine) {
  TempDir dir;
  dir.write("main.qxml",
            "<?xml version=\"1.0\"?>\r\n<PositionObject>\r\n  <ParticleEffect name=\"sparks\">\r\n    <keys>\r\n"
            "      <item key=\"0\" color=\"#FFD040\"/>\r\n      <item key=\"30\" color=\"#80FF6020\"/>\r\n"
            "    </keys>\r\n  </ParticleEffect>\r\n</PositionObject>\r\n");
  Owned<TFolderResourceMan> manager(New<TFolderResourceMan>(nullptr));
  manager->setRoot(dir.path());
  Owned<BaseObject> root(LoadObjectFile(manager.get(), u"main.qxml", nullptr, false, nullptr));
  ASSERT_NE(root, nullptr);
  auto* loaded = dynamic_cast<ParticleEffect*>(root->findOwnEffect(u"sparks"));
  ASSERT_NE(loaded, nullptr);
  ASSERT_EQ(loaded->keys()->count(), 2);
  EXPECT_EQ(loaded->keys()->key(0)->color(), 0xFFFFFFFFu);  // the key keeps its default
  EXPECT_EQ(loaded->keys()->key(1)->color(), 0x80FF6020u);
  EXPECT_TRUE(log.contains("(e) Invalid property value TParticleKey.color: #FFD040: a colour is #AARRGGBB, e.g. "
                           "#FFFFD040 in file main.qxml line 5"));
}
}  // namespace
