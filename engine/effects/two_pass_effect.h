#pragma once
// `TwoPassEffect`: plays its first key list (`pass1`), holds for `pauseTime`
// seconds while the values move towards the second list's first key, then
// plays the second list (`pass2`), whose key times count from the end of the
// pause. The run lasts until the second list's last key.
#include "engine/effects/animation_effect.h"

class TwoPassEffect : public AnimationEffect {
  Q_OBJECT(TwoPassEffect, AnimationEffect)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  void updateRunningTime() override;
  float wrapTime(float time) override;
  bool findKeys(TAnimationKey*& first, TAnimationKey*& second, float time) override;

  TAnimationKeys* pass2() const { return pass2_; }
  void setPass2(TAnimationKeys* keys);
  float pauseTime() const { return pauseTime_; }
  void setPauseTime(float seconds) { pauseTime_ = seconds; }

 protected:
  bool keysStoredAsKeys() const override { return false; }
  bool usesChannel(AnimationChannel channel) const override;

 private:
  bool playable() const { return keys()->count() >= 2 && pass2_->count() >= 2; }
  bool pass1Stored() const { return fileName().empty(); }

  TAnimationKeys* pass2_ = nullptr;
  float pauseTime_ = 0;
};
