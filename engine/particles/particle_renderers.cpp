#include "engine/particles/particle_renderers.h"

#include "engine/applet/applet.h"
#include "engine/applet/game_parts.h"
#include "engine/particles/particle_renderer.h"

void TParticleRenderers::create(BaseObject* topLayer) {
  for (int i = 0; i < static_cast<int>(renderers_.size()); ++i) {
    auto* renderer = New<ParticleRenderer>(topLayer);
    renderer->setBlendingMode(i == kBlend ? bmBlend : bmAdditive);
    renderer->setZTest(i == kDepthTested);
    renderers_[static_cast<size_t>(i)] = renderer;
  }
}

ParticleRenderer* TParticleRenderers::forSettings(TBlendingMode blending, bool zTest) const {
  if (zTest) return renderers_[kDepthTested];
  return renderers_[blending == bmBlend ? kBlend : kAdditive];
}

void TParticleRenderers::forget(const ParticleRenderer* renderer) {
  for (ParticleRenderer*& slot : renderers_) {
    if (slot == renderer) slot = nullptr;
  }
}

void TParticleRenderers::clearParticles() {
  for (ParticleRenderer* renderer : renderers_) {
    if (renderer) renderer->clearParticles();
  }
}

TParticleRenderers* ParticleRenderersOf(const BaseObject* object) {
  const auto* applet = object ? dynamic_cast<const Applet*>(object->applet()) : nullptr;
  GameParts* parts = GameParts::of(applet);
  return parts ? &parts->particleRenderers() : nullptr;
}
