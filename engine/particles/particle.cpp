#include "engine/particles/particle.h"

#include "core/class_builder.h"

const ClassInfo& TParticle::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TParticle>("TParticle").build();
  return info;
}

const ClassInfo& TParticleList::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TParticleList>("TParticleList").build();
  return info;
}

void TParticleList::Create(TObject* owner) {
  inherited::Create(owner);
  setGrowthStep(64);
}
