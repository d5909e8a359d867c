#include "engine/particles/particle_effect.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <limits>
#include <random>
#include <string>

#include "core/geometry/coordinates.h"
#include "core/system/log.h"
#include "engine/applet/applet.h"
#include "engine/particles/particle.h"
#include "engine/particles/particle_renderer.h"
#include "engine/particles/particle_renderers.h"
#include "engine/scene/position_object.h"
#include "platform/device.h"

Q_DEFINE_ENUM(TParticleVelocityMode, "svmAbsolute", "svmRelative")
Q_DEFINE_ENUM(TParticleDispersionMode, "sdmFast", "sdmIsotropic")
Q_DEFINE_ENUM(TBlendingMode, "bmAdditive", "bmBlend")

namespace {
constexpr TColorARGB kStartColor = 0xFFFFFFFFu;
constexpr TColorARGB kEndColor = 0x00FFFFFFu;
constexpr uint32_t kDefaultLastKey = 90;  // the default life time of 3 seconds
constexpr float kJitter = 0.001f;
constexpr float kTangentTurn = 0.5f;  // radians

// One generator for all effects: particles need variety, not quality.
float Random() {
  static std::minstd_rand generator(12345);
  constexpr uint32_t kSteps = 1u << 24;  // exact in a float, so the result stays below 1
  return static_cast<float>((generator() - std::minstd_rand::min()) % kSteps) / static_cast<float>(kSteps);
}

float RandomBetween(float low, float high) { return low + Random() * (high - low); }

TVector4F Direction(const TVector4F& v) { return MakeVector4F(v.x, v.y, v.z, 0); }

void AddScaled3(TVector4F& to, const TVector4F& v, float factor) {
  to.x += v.x * factor;
  to.y += v.y * factor;
  to.z += v.z * factor;
}

WideString Number(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15f", value);
  return AnsiToWide(text);
}

// The key time for a life time: whole 30ths of a second within the key's range.
uint32_t KeyForSeconds(float seconds) {
  const double key = std::round(static_cast<double>(seconds) * 30.0);
  if (!(key > 0)) return 0;
  return key >= std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                     : static_cast<uint32_t>(key);
}
}  // namespace

const ClassInfo& ParticleEffect::staticClassInfo() {
  using P = ParticleEffect;
  static const ClassInfo info =
      ClassBuilder<P>("ParticleEffect")
          .property("keys", &P::keys, &P::setKeys)
          .property("gravity", &P::gravity, &P::setGravity)
          .property("initialPosition", &P::initialPosition, &P::setInitialPosition)
          .property("positionDispersionRange", &P::positionDispersionRange, &P::setPositionDispersionRange)
          .property("positionDispersion", &P::positionDispersion_).floatDefault(1.0f)
          .property("particleInterval", &P::particleInterval, &P::setParticleInterval).floatDefault(0.1f)
          .property("velocityMode", &P::velocityMode_).defaultValue(svmAbsolute)
          .property("dispersionMode", &P::dispersionMode_).defaultValue(sdmFast)
          .property("followToOwner", &P::followToOwner_).defaultValue(0)
          .property("lifeTime", &P::lifeTime, &P::setLifeTime).stored(false)
          .property("friction", &P::particleFriction_).floatDefault(1.0f)
          .property("directionAngle", &P::directionAngle_)
          .property("spreadAngle", &P::spreadAngle_)
          .property("velocityMin", &P::velocityMin_)
          .property("radialVelMin", &P::radialVelMin_)
          .property("tangentVelMin", &P::tangentVelMin_)
          .property("velocityMax", &P::velocityMax_)
          .property("radialVelMax", &P::radialVelMax_)
          .property("tangentVelMax", &P::tangentVelMax_)
          .property("onCreateParticle", &P::onCreateParticle_)
          .property("rect", &P::rect, &P::setRect)
          .property("blendingMode", &P::blendingMode_).defaultValue(bmAdditive)
          .property("zTest", &P::zTest_).defaultValue(0)
          .property("colorMin", &P::colorMin, &P::setColorMin).stored(false)
          .property("colorMax", &P::colorMax, &P::setColorMax).stored(false)
          .property("scaleMin", &P::scaleMin, &P::setScaleMin).stored(false)
          .property("scaleMax", &P::scaleMax, &P::setScaleMax).stored(false)
          .property("spinMin", &P::spinMin, &P::setSpinMin).stored(false)
          .property("spinMax", &P::spinMax, &P::setSpinMax).stored(false)
          .method("particleCount", &P::particleCount)
          .build();
  return info;
}

// ---- life -------------------------------------------------------------------------------

void ParticleEffect::Create(TObject* owner) {
  // The owned parts exist before the inherited construction reads into them.
  keys_ = New<TParticleKeys>(this);
  keys_->addKey(kStartColor, 1.0f, 0, 0);
  keys_->addKey(kEndColor, 1.0f, 0, kDefaultLastKey);
  gravity_ = New<TSpaceCoord>(this);
  initialPosition_ = New<TSpaceCoord>(this);
  positionDispersionRange_ = New<TSpaceCoord>(this);
  rect_ = New<TRectPersistent>(this);
  rect_->setRect(MakeRectF(0, 0, 1, 1));
  rect_->setDefaultRect(MakeRectF(0, 0, 1, 1));
  particles_ = New<TParticleList>(this);
  inherited::Create(owner);
  setRunning(true);
  lastOwnerPosition_ = ownerWorldPosition();
  if (parent()) {
    if (TParticleRenderers* renderers = ParticleRenderersOf(this)) registerWith(renderers->additive());
  }
}

void ParticleEffect::Destroy() {
  registerWith(nullptr);
  clearParticles();
  FreeAndNil(particles_);
  FreeAndNil(rect_);
  FreeAndNil(positionDispersionRange_);
  FreeAndNil(initialPosition_);
  FreeAndNil(gravity_);
  FreeAndNil(keys_);
  inherited::Destroy();
}

void ParticleEffect::Loaded() {
  inherited::Loaded();
  registerBySettings();
  if (TParticleKey* last = keys_->last()) lifeTime_ = last->time();
  lastOwnerPosition_ = ownerWorldPosition();
}

void ParticleEffect::registerBySettings() {
  if (TParticleRenderers* renderers = ParticleRenderersOf(this)) {
    registerWith(renderers->forSettings(blendingMode_, zTest_));
  }
}

void ParticleEffect::registerWith(ParticleRenderer* renderer) {
  if (renderer == renderer_) return;
  if (renderer_) {
    renderer_->removeEffect(this);
    unwatchRemovalOf(renderer_);
  }
  renderer_ = renderer;
  if (renderer_) {
    renderer_->addEffect(this);
    watchRemovalOf(renderer_);
  }
}

void ParticleEffect::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  if (object == renderer_) renderer_ = nullptr;
}

// ---- particles ------------------------------------------------------------------------

TParticle* ParticleEffect::newParticle() {
  auto* particle = New<TParticle>(applet());
  particle->birthTime = elapsed();
  particle->age = 0;
  particle->list = particles_;
  particles_->add(particle);
  notifyCreated(particle);
  return particle;
}

void ParticleEffect::notifyCreated(TParticle* particle) {
  if (!onCreateParticle_) return;
  const Variant arguments[] = {Variant(static_cast<TObject*>(this)), Variant(static_cast<TObject*>(particle))};
  try {
    onCreateParticle_.method->invoke.call(onCreateParticle_.object, arguments, nullptr);
  } catch (const std::exception& e) {
    LogError(u"onCreateParticle: " + AnsiToWide(e.what()));
  }
}

int32_t ParticleEffect::particleCount() const { return particles_ ? particles_->count() : 0; }

void ParticleEffect::clearParticles() {
  if (!particles_) return;
  particles_->freeItemsAndClear();
  lingering_ = false;
}

void ParticleEffect::lookOf(const TParticle& particle, TParticleLook& look) {
  const float age = std::min(particle.age, lifeTime_);
  const TKeyLookup found = InterpolateKeys(*keys_, age, look);
  if (found == TKeyLookup::Found || keyFaultLogged_) return;
  keyFaultLogged_ = true;
  const float lastTime = keys_->last()->time();
  if (found == TKeyLookup::AfterLast) {
    LogError(u"Error key " + Number(age) + u" " + Number(lastTime));
  } else {
    LogError(u"Can't find key " + Number(elapsed()) + u" " + Number(age) + u" " + Number(lastTime));
  }
}

// ---- the step ---------------------------------------------------------------------------

void ParticleEffect::apply(double time, double step) {
  inherited::apply(time, step);
  const auto dt = static_cast<float>(step);
  bool changed = false;
  if (particleInterval_ > 0 && running()) {
    const int32_t due = dueEmissions(dt);
    for (int32_t i = 0; i < due; ++i) emit();
    if (due > 0) dropOldestPastBounds();
    if (due > 0) {
      lingering_ = true;
      changed = true;
    }
  }
  const TVector4F ownerPosition = ownerWorldPosition();
  const TVector4F ownerMove = Direction(VecSub(ownerPosition, lastOwnerPosition_));
  lastOwnerPosition_ = ownerPosition;

  const int count = particles_->count();
  if (count == 0) {
    if (changed && parent()) parent()->update();
    return;
  }
  const TVector4F axis = viewAxis();
  const TMatrix4F turn = MatRotation(axis, kTangentTurn);
  // The particles' friction bends the step's time: no change at 1.
  const float moveTime = particleFriction_ == 1.0f ? dt : std::pow(dt, particleFriction_);
  bool died = false;
  for (int i = 0; i < count; ++i) {
    TParticle* particle = particles_->particle(i);
    if (followToOwner_) AddScaled3(particle->position, ownerMove, 1);
    if (particle->age < lifeTime_ - dt) {
      moveParticle(*particle, turn, dt, moveTime);
    } else {
      particles_->put(i, nullptr);
      particle->Free();
      died = true;
    }
  }
  if (died) {
    particles_->pack();
    if (particles_->count() == 0) lingering_ = false;
  }
  if (parent()) parent()->update();
}

int32_t ParticleEffect::dueEmissions(float step) {
  if (!(emitAccumulator_ >= particleInterval_)) {
    emitAccumulator_ += step;
    return 0;
  }
  // The remainder is dropped.
  const double due = std::trunc(static_cast<double>(emitAccumulator_) / particleInterval_);
  emitAccumulator_ = 0;
  return due >= kMaxEmittedPerStep ? kMaxEmittedPerStep : static_cast<int32_t>(due);
}

namespace {
int32_t perEffectBound = ParticleEffect::kMaxLiveParticles;
int64_t perAppletBound = ParticleEffect::kMaxLiveParticlesPerApplet;
}  // namespace

void ParticleEffect::SetParticleBoundsForTest(int32_t perEffect, int64_t perApplet) {
  perEffectBound = perEffect > 0 ? perEffect : kMaxLiveParticles;
  perAppletBound = perApplet > 0 ? perApplet : kMaxLiveParticlesPerApplet;
}

void ParticleEffect::dropOldestPastBounds() {
  const int count = particles_->count();
  const TObject* holder = count > 0 ? particles_->particle(0)->owner() : nullptr;
  const int64_t overApplet = TParticle::liveUnder(holder) - perAppletBound;
  const int64_t over = std::max<int64_t>(count - perEffectBound, overApplet);
  if (over <= 0) return;
  const int drop = static_cast<int>(std::min<int64_t>(over, count));
  // The list holds the particles in the order they were born.
  for (int i = 0; i < drop; ++i) {
    TParticle* particle = particles_->particle(i);
    particles_->put(i, nullptr);
    particle->Free();
  }
  particles_->pack();
  if (!boundLogged_) {
    boundLogged_ = true;
    LogError(u"Too many particles in " + AnsiToWide(className()) + u" \"" + name() + u"\": the oldest go first (at most " +
             AnsiToWide(std::to_string(perEffectBound)) + u" an effect, " +
             AnsiToWide(std::to_string(perAppletBound)) + u" an applet)");
  }
}

void ParticleEffect::emit() {
  TParticle* particle = newParticle();
  particle->effect = this;
  TVector4F place = VecAdd(ownerWorldPosition(), Direction(initialPosition_->vector()));
  const TVector4F& range = positionDispersionRange_->vector();
  const float spread = 2 * positionDispersion_;
  place.x += (Random() - 0.5f) * spread * range.x;
  place.y += (Random() - 0.5f) * spread * range.y;
  place.z += (Random() - 0.5f) * spread * range.z;
  place.w = 1;
  particle->startPosition = place;
  particle->position = place;
  particle->velocity = emissionVelocity();
  particle->radialSpeed = RandomBetween(radialVelMin_, radialVelMax_);
  particle->tangentialSpeed = RandomBetween(tangentVelMin_, tangentVelMax_);
  particle->birthTime = elapsed();
  particle->age = 0;
}

TVector4F ParticleEffect::emissionVelocity() {
  const float degrees = directionAngle_ - spreadAngle_ / 2 + Random() * spreadAngle_;
  TVector4F direction = MakeVector4F(1, 0, 0, 0);
  VecRotate(direction, MakeVector4F(0, 0, 1, 0), DegreesToRadians(degrees));
  TVector4F velocity = Direction(VecScale(direction, RandomBetween(velocityMin_, velocityMax_)));
  if (velocityMode_ == svmRelative) {
    if (auto* owner = dynamic_cast<PositionObject*>(parent())) velocity = Direction(owner->localToWorld(velocity));
  }
  return velocity;
}

void ParticleEffect::moveParticle(TParticle& particle, const TMatrix4F& turn, float dt, float moveTime) {
  TVector4F& velocity = particle.velocity;
  velocity.x += Random() * 2 * kJitter - kJitter;
  velocity.y += Random() * 2 * kJitter - kJitter;
  velocity.z += Random() * 2 * kJitter - kJitter;
  AddScaled3(velocity, gravity_->vector(), dt);
  const TVector4F away = Direction(VecSub(particle.position, particle.startPosition));
  const bool moved = away.x != 0 || away.y != 0 || away.z != 0;
  if (particle.tangentialSpeed != 0 && moved) {
    const TVector4F turned = VecTransform(away, turn);
    AddScaled3(velocity, VecNormalized(Direction(VecSub(turned, away))), particle.tangentialSpeed * dt);
  }
  if (particle.radialSpeed != 0 && moved) AddScaled3(velocity, VecNormalized(away), particle.radialSpeed * dt);
  AddScaled3(particle.position, velocity, moveTime);
  particle.age += dt;
}

TVector4F ParticleEffect::ownerWorldPosition() {
  auto* owner = dynamic_cast<PositionObject*>(parent());
  return owner ? owner->getWorldPosition() : MakeVector4F(0, 0, 0, 1);
}

// The axis tangential motion turns about: the camera's direction for an
// owner in the 3D world, the screen's normal for one on the screen.
TVector4F ParticleEffect::viewAxis() {
  auto* owner = dynamic_cast<PositionObject*>(parent());
  auto* applet = dynamic_cast<Applet*>(this->applet());
  if (owner && owner->kind() == okSpace && applet && applet->device()) {
    const TVector4F& direction = applet->device()->windowParts().camera.direction;
    if (direction.x != 0 || direction.y != 0 || direction.z != 0) return Direction(VecNormalized(direction));
  }
  return MakeVector4F(0, 0, 1, 0);
}

// ---- properties -----------------------------------------------------------------------

void ParticleEffect::setKeys(TParticleKeys* keys) {
  if (!keys || keys == keys_) return;
  keys_->beginUpdate();
  keys_->clear();
  for (int i = 0; i < keys->count(); ++i) {
    const TParticleKey* from = keys->key(i);
    keys_->addKey(from->color(), from->scale(), from->spin(), from->key());
  }
  keys_->endUpdate();
}

void ParticleEffect::setGravity(TSpaceCoord* value) {
  if (value && value != gravity_) gravity_->Assign(*value);
}

void ParticleEffect::setInitialPosition(TSpaceCoord* value) {
  if (value && value != initialPosition_) initialPosition_->Assign(*value);
}

void ParticleEffect::setPositionDispersionRange(TSpaceCoord* value) {
  if (value && value != positionDispersionRange_) positionDispersionRange_->Assign(*value);
}

void ParticleEffect::setRect(TRectPersistent* value) {
  if (value && value != rect_) rect_->Assign(*value);
}

void ParticleEffect::setParticleInterval(float value) {
  if (value == particleInterval_) return;
  particleInterval_ = value >= 0 ? value : 0;  // NaN too
  emitAccumulator_ = std::min(emitAccumulator_, particleInterval_);
}

void ParticleEffect::setLifeTime(float value) {
  if (value == lifeTime_) return;
  lifeTime_ = value;
  if (keys_->count() != 2) return;
  TParticleKey* last = keys_->key(1);
  last->setKey(KeyForSeconds(value));
  lifeTime_ = last->time();
}

WideString ParticleEffect::keyColor(int index) const {
  const TParticleKey* key = keys_->key(index);
  return ColorToText(key ? key->color() : 0);
}

void ParticleEffect::setKeyColor(int index, const WideString& text) {
  if (TParticleKey* key = keys_->key(index)) key->setColorText(text);
}

float ParticleEffect::keyValue(int index, TParticleKeyValues which) const {
  const TParticleKey* key = keys_->key(index);
  if (!key) return 0;
  return which == TParticleKeyValues::scale ? key->scale() : key->spin();
}

void ParticleEffect::setKeyValue(int index, TParticleKeyValues which, float value) {
  TParticleKey* key = keys_->key(index);
  if (!key) return;
  if (which == TParticleKeyValues::scale) {
    key->setScale(value);
  } else {
    key->setSpin(value);
  }
}
