#pragma once
// `ParticleEffect`: an effect under a positioned object that, while it runs,
// emits particles from its owner's place at a fixed interval, moves them
// every step and lets them die after their life time; their colour, size and
// spin follow the keys over their age. It keeps stepping after it stopped
// while particles live. One of the applet's particle renderers draws them.
#include <cstdint>

#include "core/geometry/geometry.h"
#include "core/objects/class_builder.h"
#include "core/objects/effect.h"
#include "engine/particles/particle_key.h"

class ParticleRenderer;
class TParticle;

class TParticleList;
class TRectPersistent;
class TSpaceCoord;

enum TParticleVelocityMode { svmAbsolute, svmRelative };
Q_DECLARE_ENUM(TParticleVelocityMode)
enum TParticleDispersionMode { sdmFast, sdmIsotropic };
Q_DECLARE_ENUM(TParticleDispersionMode)
enum TBlendingMode { bmAdditive, bmBlend };
Q_DECLARE_ENUM(TBlendingMode)

class ParticleEffect : public Effect {
  Q_OBJECT(ParticleEffect, Effect)

  enum class TParticleKeyValues { scale, spin };

 public:
  // Most particles one step emits, however long the step was: a frame after
  // a long pause, or an interval near zero, must not emit millions.
  static constexpr int32_t kMaxEmittedPerStep = 1000;
  // Most particles alive at once in one effect and in all effects of one
  // applet: past them the oldest go, so a tiny interval with a long life
  // cannot take the machine's memory.
  static constexpr int32_t kMaxLiveParticles = 10000;
  static constexpr int64_t kMaxLiveParticlesPerApplet = 50000;

  void Create(TObject* owner) override;
  void Destroy() override;
  void Loaded() override;
  // For tests: the bounds, changed (0 restores the program's).
  static void SetParticleBoundsForTest(int32_t perEffect, int64_t perApplet);
  void objectRemoved(BaseObject* object) override;
  void apply(double time, double step) override;

  // ---- operations ----------------------------------------------------------------
  // A new particle, born now, at the end of the list.
  virtual TParticle* newParticle();
  virtual int32_t particleCount() const;
  // Frees every particle.
  void clearParticles();
  TParticleList* particles() const { return particles_; }
  ParticleRenderer* renderer() const { return renderer_; }
  // Moves the effect to a renderer (nil: to none).
  void registerWith(ParticleRenderer* renderer);

  // ---- properties ----------------------------------------------------------------
  TParticleKeys* keys() const { return keys_; }
  void setKeys(TParticleKeys* keys);
  TSpaceCoord* gravity() const { return gravity_; }
  void setGravity(TSpaceCoord* value);
  TSpaceCoord* initialPosition() const { return initialPosition_; }
  void setInitialPosition(TSpaceCoord* value);
  TSpaceCoord* positionDispersionRange() const { return positionDispersionRange_; }
  void setPositionDispersionRange(TSpaceCoord* value);
  TRectPersistent* rect() const { return rect_; }
  void setRect(TRectPersistent* value);
  float particleInterval() const { return particleInterval_; }
  void setParticleInterval(float value);
  float lifeTime() const { return lifeTime_; }
  void setLifeTime(float value);
  float emitAccumulator() const { return emitAccumulator_; }
  TBlendingMode blendingMode() const { return blendingMode_; }
  bool zTest() const { return zTest_; }

  // Views on the first two keys: 0 (or a colour of 0) when a key is missing.
  WideString colorMin() const { return keyColor(0); }
  void setColorMin(const WideString& text) { setKeyColor(0, text); }
  WideString colorMax() const { return keyColor(1); }
  void setColorMax(const WideString& text) { setKeyColor(1, text); }
  float scaleMin() const { return keyValue(0, TParticleKeyValues::scale); }
  void setScaleMin(float value) { setKeyValue(0, TParticleKeyValues::scale, value); }
  float scaleMax() const { return keyValue(1, TParticleKeyValues::scale); }
  void setScaleMax(float value) { setKeyValue(1, TParticleKeyValues::scale, value); }
  float spinMin() const { return keyValue(0, TParticleKeyValues::spin); }
  void setSpinMin(float value) { setKeyValue(0, TParticleKeyValues::spin, value); }
  float spinMax() const { return keyValue(1, TParticleKeyValues::spin); }
  void setSpinMax(float value) { setKeyValue(1, TParticleKeyValues::spin, value); }

 private:
  WideString keyColor(int index) const;
  void setKeyColor(int index, const WideString& text);
  float keyValue(int index, TParticleKeyValues which) const;
  void setKeyValue(int index, TParticleKeyValues which, float value);

  void registerBySettings();
  int32_t dueEmissions(float step);
  void emit();
  // Frees the oldest particles while this effect or its applet holds more
  // than its bound.
  void dropOldestPastBounds();
  TVector4F emissionVelocity();
  void moveParticle(TParticle& particle, const TMatrix4F& turn, float dt, float moveTime);
  TVector4F ownerWorldPosition();
  TVector4F viewAxis();
  void notifyCreated(TParticle* particle);

  TParticleKeys* keys_ = nullptr;
  TSpaceCoord* gravity_ = nullptr;
  TSpaceCoord* initialPosition_ = nullptr;
  TSpaceCoord* positionDispersionRange_ = nullptr;
  float positionDispersion_ = 1.0f;
  float particleInterval_ = 0.1f;
  TParticleVelocityMode velocityMode_ = svmAbsolute;
  TParticleDispersionMode dispersionMode_ = sdmFast;
  bool followToOwner_ = false;
  float lifeTime_ = 3.0f;
  float particleFriction_ = 1.0f;
  float directionAngle_ = 0;
  float spreadAngle_ = 0;
  float velocityMin_ = 0;
  float radialVelMin_ = 0;
  float tangentVelMin_ = 0;
  float velocityMax_ = 0;
  float radialVelMax_ = 0;
  float tangentVelMax_ = 0;
  ParticleRenderer* renderer_ = nullptr;
  TParticleList* particles_ = nullptr;
  MethodRef onCreateParticle_;
  TVector4F lastOwnerPosition_{0, 0, 0, 1};
  float emitAccumulator_ = 0;
  TRectPersistent* rect_ = nullptr;
  TBlendingMode blendingMode_ = bmAdditive;
  bool zTest_ = false;
  // Key faults are logged once per effect, not for every particle of every frame.
  bool keyFaultLogged_ = false;
  bool boundLogged_ = false;

  friend class ParticleRenderer;
  // The look of a particle at its age, logging the first key fault.
  void lookOf(const TParticle& particle, TParticleLook& look);
};
