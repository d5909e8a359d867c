#pragma once
// The applet's three particle renderers, made in its top layer: the first
// blends by alpha, the second adds, the third tests depth (and adds). An
// effect goes to the one its blending and depth test ask for.
#include <array>

#include "engine/particles/particle_effect.h"

class Applet;
class BaseObject;
class ParticleRenderer;

class TParticleRenderers {
 public:
  void create(BaseObject* topLayer);
  ParticleRenderer* forSettings(TBlendingMode blending, bool zTest) const;
  ParticleRenderer* additive() const { return renderers_[kAdditive]; }
  ParticleRenderer* at(int index) const { return renderers_.at(static_cast<size_t>(index)); }
  // A renderer that is being freed is no longer handed out.
  void forget(const ParticleRenderer* renderer);
  void clearParticles();

 private:
  static constexpr int kBlend = 0;
  static constexpr int kAdditive = 1;
  static constexpr int kDepthTested = 2;
  std::array<ParticleRenderer*, 3> renderers_{};
};

// The renderers of an object's applet; nil without one (or without the
// program's parts).
TParticleRenderers* ParticleRenderersOf(const BaseObject* object);
