#include "engine/particles/particle.h"

#include <unordered_map>

#include "core/objects/class_builder.h"

namespace {
std::unordered_map<const TObject*, int64_t>& LiveCounts() {
  static std::unordered_map<const TObject*, int64_t> counts;
  return counts;
}
}  // namespace

const ClassInfo& TParticle::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TParticle>("TParticle").build();
  return info;
}

void TParticle::Create(TObject* owner) {
  inherited::Create(owner);
  ++LiveCounts()[owner];
}

void TParticle::Destroy() {
  auto& counts = LiveCounts();
  if (auto it = counts.find(owner()); it != counts.end() && --it->second <= 0) counts.erase(it);
  inherited::Destroy();
}

int64_t TParticle::liveUnder(const TObject* owner) {
  auto it = LiveCounts().find(owner);
  return it == LiveCounts().end() ? 0 : it->second;
}

const ClassInfo& TParticleList::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TParticleList>("TParticleList").build();
  return info;
}

void TParticleList::Create(TObject* owner) {
  inherited::Create(owner);
  setGrowthStep(64);
}
