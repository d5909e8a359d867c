#pragma once
// Registers the particle classes: the keys, then the renderer and the effect.
void RegisterParticleClasses();
