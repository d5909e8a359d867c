#pragma once
// One particle of a particle effect and the list an effect keeps them in.
// Particles are no objects of the tree: their effect moves them, its
// renderer draws them, and they go with their effect.
#include "core/geometry/geometry.h"
#include "core/objects/persistent_object_list.h"

class ParticleEffect;
class TParticleList;

class TParticle : public TSomePersistent {
  Q_OBJECT(TParticle, TSomePersistent)

 public:
  TVector4F position{0, 0, 0, 1};
  TVector4F velocity{0, 0, 0, 0};
  float tangentialSpeed = 0;
  float radialSpeed = 0;
  // The effect's time at emission.
  float birthTime = 0;
  // Seconds since emission.
  float age = 0;
  TVector4F startPosition{0, 0, 0, 1};
  TParticleList* list = nullptr;
  ParticleEffect* effect = nullptr;

  void Create(TObject* owner) override;
  void Destroy() override;
  // The particles alive now under an owner (the applet).
  static int64_t liveUnder(const TObject* owner);
};

// Grows in steps of 64; the places of freed particles are packed out after
// each step of the effect.
class TParticleList : public TPersistentObjectList {
 public:
  using inherited = TPersistentObjectList;
  static const ClassInfo& staticClassInfo();
  const ClassInfo& classInfo() const override { return staticClassInfo(); }

  void Create(TObject* owner) override;

  TParticle* particle(int index) const { return static_cast<TParticle*>(get(index)); }
};
