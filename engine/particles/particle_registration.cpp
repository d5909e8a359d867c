#include "engine/particles/particle_registration.h"

#include "core/objects/class_registry.h"
#include "engine/particles/particle_effect.h"
#include "engine/particles/particle_key.h"
#include "engine/particles/particle_renderer.h"

void RegisterParticleClasses() {
  RegisterClasses({&TParticleKey::staticClassInfo(), &TParticleKeys::staticClassInfo()});
  RegisterClasses({&ParticleRenderer::staticClassInfo(), &ParticleEffect::staticClassInfo()});
}
