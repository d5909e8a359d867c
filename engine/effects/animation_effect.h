#pragma once
// `AnimationEffect`: interpolates key frames onto its owner's published
// channels (alpha, colours, size, angles, position, scale) while it runs.
// Keys are placed in 30ths of a second; the run lasts until the last key,
// and with `loop` starts again from the first.
#include "core/geometry/geometry.h"
#include "core/objects/effect.h"
#include "engine/effects/animation_key.h"

class AnimationEffect : public Effect {
  Q_OBJECT(AnimationEffect, Effect)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void apply(double time, double step) override;
  void setRunning(bool value) override;

  // Appends a key at Trunc(key) with the alpha and colours (an empty colour
  // text keeps the default), through the setters, so the flags follow.
  void addKey(const WideString& color, const WideString& secondColor, float key, float alpha);

  // With two or more keys the run lasts until the last key.
  virtual void updateRunningTime();
  // The time within the animation for an elapsed time.
  virtual float wrapTime(float time);
  // The pair of keys around the time; false when none encloses it.
  virtual bool findKeys(TAnimationKey*& first, TAnimationKey*& second, float time);

  TAnimationKeys* keys() const { return keys_; }
  // Copies the keys (scripts and the inspector assign a list).
  void setKeys(TAnimationKeys* keys);
  float currentTime() const { return currentTime_; }
  const TVector4F& basePosition() const { return basePosition_; }
  bool useCurrent() const { return useCurrent_; }
  void setUseCurrent(bool value) { useCurrent_ = value; }

 protected:
  // The keys are written as "keys" unless a derived class names them itself.
  virtual bool keysStoredAsKeys() const { return true; }
  // Whether any of the effect's key lists flags the channel.
  virtual bool usesChannel(AnimationChannel channel) const { return keys_->isUsing(channel); }

 private:
  // Logs each flagged channel that cannot reach the owner.
  void reportUnreachedChannels();
  void reportUnreachedOnce();

  void takeCurrentValues();
  void applyChannels(const TAnimationKey& first, const TAnimationKey& second, float time);
  bool keysStored() const { return keysStoredAsKeys() && fileName().empty(); }

  TAnimationKeys* keys_ = nullptr;
  float currentTime_ = 0;
  TVector4F basePosition_{0, 0, 0, 1};
  bool useCurrent_ = false;
  bool reportedUnreached_ = false;
};

// Copies every key's values, colours and time and the channel flags.
void AssignAnimationKeys(TAnimationKeys& target, const TAnimationKeys& source);
