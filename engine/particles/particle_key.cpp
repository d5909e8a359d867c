#include "engine/particles/particle_key.h"

#include <algorithm>
#include <cmath>

#include "core/objects/class_builder.h"

const ClassInfo& TParticleKey::staticClassInfo() {
  using K = TParticleKey;
  static const ClassInfo info = ClassBuilder<K>("TParticleKey")
                                    .property("key", &K::key, &K::setKey)
                                    .property("color", &K::colorText, &K::setColorText)
                                    .property("scale", &K::scale, &K::setScale).floatDefault(1.0f)
                                    .property("spin", &K::spin, &K::setSpin)
                                    .build();
  return info;
}

const ClassInfo& TParticleKeys::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TParticleKeys>("TParticleKeys").build();
  return info;
}

TParticleKey* TParticleKeys::addKey(TColorARGB color, float scale, float spin, uint32_t key) {
  auto* added = static_cast<TParticleKey*>(add());
  if (!added) return nullptr;
  added->setColor(color);
  added->setScale(scale);
  added->setSpin(spin);
  added->setKey(key);
  return added;
}

namespace {
uint32_t LerpByte(TColorARGB from, TColorARGB to, int shift, float f) {
  const auto a = static_cast<float>((from >> shift) & 0xFF);
  const auto b = static_cast<float>((to >> shift) & 0xFF);
  const float value = std::clamp(a + (b - a) * f, 0.0f, 255.0f);
  return static_cast<uint32_t>(value) << shift;
}

void Blend(const TParticleKey& first, const TParticleKey& second, float f, TParticleLook& look) {
  look.scale = first.scale() + (second.scale() - first.scale()) * f;
  look.spin = first.spin() + (second.spin() - first.spin()) * f;
  look.color = LerpByte(first.color(), second.color(), 24, f) | LerpByte(first.color(), second.color(), 16, f) |
               LerpByte(first.color(), second.color(), 8, f) | LerpByte(first.color(), second.color(), 0, f);
}

// Keys at one time: the later key holds from that time on.
float Fraction(float age, float from, float to) {
  const float span = to - from;
  return span > 0 ? std::clamp((age - from) / span, 0.0f, 1.0f) : 1.0f;
}
}  // namespace

TKeyLookup InterpolateKeys(const TParticleKeys& keys, float age, TParticleLook& look) {
  look = TParticleLook{};
  const int count = keys.count();
  if (count < 2) return TKeyLookup::Found;
  for (int i = 0; i + 1 < count; ++i) {
    const TParticleKey& first = *keys.key(i);
    const TParticleKey& second = *keys.key(i + 1);
    if (first.time() <= age && age <= second.time()) {
      Blend(first, second, Fraction(age, first.time(), second.time()), look);
      return TKeyLookup::Found;
    }
  }
  const TParticleKey& last = *keys.key(count - 1);
  if (age > last.time()) {
    Blend(*keys.key(count - 2), last, 1.0f, look);
    return TKeyLookup::AfterLast;
  }
  return TKeyLookup::Missing;
}
