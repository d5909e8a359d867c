#pragma once
// Key frames of a particle's life: `TParticleKey` holds the colour, the quad's
// edge length and the spin a particle has at a time given in 30ths of a
// second; `TParticleKeys` is the list of them an effect interpolates over a
// particle's age.
#include <cstdint>

#include "core/geometry/geometry.h"
#include "core/objects/object_collection.h"

class TParticleKey : public TGCollectionItem {
  Q_OBJECT(TParticleKey, TGCollectionItem)

 public:
  // The key's time in seconds.
  float time() const { return static_cast<float>(key_) * (1.0f / 30.0f); }
  uint32_t key() const { return key_; }
  void setKey(uint32_t value) { key_ = value; }
  TColorARGB color() const { return color_; }
  void setColor(TColorARGB value) { color_ = value; }
  float scale() const { return scale_; }
  void setScale(float value) { scale_ = value; }
  float spin() const { return spin_; }
  void setSpin(float value) { spin_ = value; }

  WideString colorText() const { return ColorToText(color_); }
  // As every colour property: "#FFD040" is refused with a hint, not read
  // as an invisible colour.
  void setColorText(const WideString& text) { color_ = ColorFromText(text); }

 private:
  float spin_ = 0;
  float scale_ = 1.0f;
  TColorARGB color_ = 0xFFFFFFFFu;
  uint32_t key_ = 0;
};

class TParticleKeys : public TGCollection {
  Q_OBJECT(TParticleKeys, TGCollection)

 public:
  const ClassInfo& itemClass() const override { return TParticleKey::staticClassInfo(); }

  TParticleKey* key(int index) const { return static_cast<TParticleKey*>(item(index)); }
  TParticleKey* last() const { return count() > 0 ? key(count() - 1) : nullptr; }
  TParticleKey* addKey(TColorARGB color, float scale, float spin, uint32_t key);
};

// What a particle shows at an age.
struct TParticleLook {
  TColorARGB color = 0;
  float scale = 0;
  float spin = 0;
};

// Where an age falls among the keys.
enum class TKeyLookup { Found, AfterLast, Missing };

// The keys' values at `age` (seconds): linear between the enclosing pair,
// the colour byte by byte, each truncated. An age after the last key takes
// the last key's values; keys at one time give the later key's values; with
// fewer than two keys, or when no pair encloses the age, everything is 0.
TKeyLookup InterpolateKeys(const TParticleKeys& keys, float age, TParticleLook& look);
