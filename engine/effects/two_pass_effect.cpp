#include "engine/effects/two_pass_effect.h"

const ClassInfo& TwoPassEffect::staticClassInfo() {
  using T = TwoPassEffect;
  static const ClassInfo info = ClassBuilder<T>("TwoPassEffect")
                                    .property("pass1", &T::keys, &T::setKeys).storedWhen(&T::pass1Stored)
                                    .property("pass2", &T::pass2, &T::setPass2).storedWhen(&T::pass1Stored)
                                    .property("pauseTime", &T::pauseTime_)
                                    .build();
  return info;
}

void TwoPassEffect::Create(TObject* owner) {
  pass2_ = New<TAnimationKeys>(this);
  inherited::Create(owner);
}

void TwoPassEffect::Destroy() {
  FreeAndNil(pass2_);
  inherited::Destroy();
}

void TwoPassEffect::setPass2(TAnimationKeys* keys) {
  if (keys && pass2_) AssignAnimationKeys(*pass2_, *keys);
}

bool TwoPassEffect::usesChannel(AnimationChannel channel) const {
  return inherited::usesChannel(channel) || pass2_->isUsing(channel);
}

void TwoPassEffect::updateRunningTime() {
  if (!playable()) return;
  const float secondStart = keys()->last()->time() + pauseTime_;
  for (int i = 0; i < pass2_->count(); ++i) pass2_->key(i)->setTimeOffset(secondStart);
  setRunningTime(pass2_->last()->time());
}

float TwoPassEffect::wrapTime(float time) {
  if (!playable()) return 0;
  const float end = pass2_->last()->time();
  if (time <= end) return time;
  return loop() ? time - end : end;
}

bool TwoPassEffect::findKeys(TAnimationKey*& first, TAnimationKey*& second, float time) {
  if (!playable()) return false;
  TAnimationKeys* pass1 = keys();
  // From the start itself, so that the first frame shows the first key
  // rather than the owner's own values.
  for (int i = 0; i + 1 < pass1->count(); ++i) {
    if (pass1->key(i)->time() <= time && time <= pass1->key(i + 1)->time()) {
      first = pass1->key(i);
      second = pass1->key(i + 1);
      return true;
    }
  }
  const float pauseStart = pass1->last()->time();
  if (time > pauseStart && time <= pauseStart + pauseTime_) {
    first = pass1->last();
    second = pass2_->first();
    return true;
  }
  for (int i = 0; i + 1 < pass2_->count(); ++i) {
    if (pass2_->key(i)->time() <= time && time <= pass2_->key(i + 1)->time()) {
      first = pass2_->key(i);
      second = pass2_->key(i + 1);
      return true;
    }
  }
  return false;
}
