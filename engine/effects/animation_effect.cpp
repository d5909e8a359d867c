#include "engine/effects/animation_effect.h"

#include <cmath>

#include "core/system/log.h"
#include "engine/effects/animation_channels.h"

namespace {
constexpr AnimationChannel kApplyOrder[] = {
    AnimationChannel::Alpha,  AnimationChannel::Color,  AnimationChannel::SecondColor, AnimationChannel::Width,
    AnimationChannel::Height, AnimationChannel::XAngle, AnimationChannel::YAngle,      AnimationChannel::ZAngle,
    AnimationChannel::X,      AnimationChannel::Y,      AnimationChannel::Z,           AnimationChannel::DeltaX,
    AnimationChannel::DeltaY, AnimationChannel::DeltaZ, AnimationChannel::Scale,
};

// The channels whose current value a key can take (the deltas are relative).
bool TakesCurrentValue(AnimationChannel channel) {
  return channel != AnimationChannel::DeltaX && channel != AnimationChannel::DeltaY &&
         channel != AnimationChannel::DeltaZ;
}
}  // namespace

const ClassInfo& AnimationEffect::staticClassInfo() {
  using A = AnimationEffect;
  static const ClassInfo info = ClassBuilder<A>("AnimationEffect")
                                    .property("keys", &A::keys, &A::setKeys).storedWhen(&A::keysStored)
                                    .property("useCurrent", &A::useCurrent_).defaultValue(0)
                                    .method("addKey", &A::addKey)
                                    .build();
  return info;
}

void AssignAnimationKeys(TAnimationKeys& target, const TAnimationKeys& source) {
  if (&target == &source) return;
  target.beginUpdate();
  target.clear();
  for (int i = 0; i < source.count(); ++i) {
    const TAnimationKey* from = source.key(i);
    auto* to = static_cast<TAnimationKey*>(target.add());
    if (!to) continue;
    to->setKey(from->key());
    to->setTimeOffset(from->timeOffset());
    for (int c = 0; c < kAnimationChannelCount; ++c) {
      const auto channel = static_cast<AnimationChannel>(c);
      if (IsColorChannel(channel)) {
        to->setColorText(channel, ColorToText(from->color(channel)));
      } else {
        to->setValue(channel, from->value(channel));
      }
    }
  }
  for (int c = 0; c < kAnimationChannelCount; ++c) {
    const auto channel = static_cast<AnimationChannel>(c);
    target.setUsing(channel, source.isUsing(channel));
  }
  target.endUpdate();
}

void AnimationEffect::Create(TObject* owner) {
  keys_ = New<TAnimationKeys>(this);
  inherited::Create(owner);
  setRunningTime(2.0f);
}

void AnimationEffect::Destroy() {
  FreeAndNil(keys_);
  inherited::Destroy();
}

void AnimationEffect::setKeys(TAnimationKeys* keys) {
  if (keys && keys_) AssignAnimationKeys(*keys_, *keys);
}

void AnimationEffect::addKey(const WideString& color, const WideString& secondColor, float key, float alpha) {
  auto* added = static_cast<TAnimationKey*>(keys_->add());
  if (!added) return;
  added->setKey(static_cast<int32_t>(std::trunc(key)));
  added->setValue(AnimationChannel::Alpha, alpha);
  added->setColorText(AnimationChannel::Color, color);
  added->setColorText(AnimationChannel::SecondColor, secondColor);
}

// ---- timing ------------------------------------------------------------------------

void AnimationEffect::updateRunningTime() {
  if (keys_->count() >= 2) setRunningTime(keys_->last()->time());
}

float AnimationEffect::wrapTime(float time) {
  if (keys_->count() < 2) return 0;
  const float end = keys_->last()->time();
  if (time <= end) return time;
  return loop() ? time - end : end;
}

bool AnimationEffect::findKeys(TAnimationKey*& first, TAnimationKey*& second, float time) {
  for (int i = 0; i + 1 < keys_->count(); ++i) {
    if (keys_->key(i)->time() <= time && time <= keys_->key(i + 1)->time()) {
      first = keys_->key(i);
      second = keys_->key(i + 1);
      return true;
    }
  }
  return false;
}

// ---- running -------------------------------------------------------------------------

void AnimationEffect::setRunning(bool value) {
  float x = 0, y = 0, z = 0;
  BaseObject* owner = parent();
  if (ReadChannel(owner, AnimationChannel::X, x) && ReadChannel(owner, AnimationChannel::Y, y) &&
      ReadChannel(owner, AnimationChannel::Z, z)) {
    basePosition_ = MakeVector4F(x, y, z, 1);
  }
  if (useCurrent_ && keys_->count() >= 2) takeCurrentValues();
  if (value && !running()) reportUnreachedOnce();
  inherited::setRunning(value);
}

void AnimationEffect::reportUnreachedOnce() {
  // Once per effect: an "enter" effect may start on every hover. An effect
  // started from its file (`running` read before its keys) has no channels
  // yet; it reports on its first frame instead.
  if (reportedUnreached_) return;
  bool usesAny = false;
  for (AnimationChannel channel : kApplyOrder) usesAny = usesAny || usesChannel(channel);
  if (!usesAny) return;
  reportedUnreached_ = true;
  reportUnreachedChannels();
}

void AnimationEffect::takeCurrentValues() {
  BaseObject* owner = parent();
  TAnimationKey* first = keys_->first();
  for (AnimationChannel channel : kApplyOrder) {
    if (!keys_->isUsing(channel) || !TakesCurrentValue(channel)) continue;
    if (IsColorChannel(channel)) {
      TColorARGB color = 0;
      if (ReadColorChannel(owner, channel, color)) first->setColorText(channel, ColorToText(color));
    } else {
      float value = 0;
      if (ReadChannel(owner, channel, value)) first->setValue(channel, value);
    }
  }
}

void AnimationEffect::reportUnreachedChannels() {
  BaseObject* owner = parent();
  if (!owner) return;
  for (AnimationChannel channel : kApplyOrder) {
    if (usesChannel(channel) && !ChannelReaches(owner, channel)) {
      LogInfo(u"Animation " + name() + u": " + AnsiToWide(owner->className()) + u" has no published " +
              AnsiToWide(ChannelPropertyName(channel)));
    }
  }
}

void AnimationEffect::apply(double /*time*/, double /*step*/) {
  reportUnreachedOnce();
  updateRunningTime();
  const float t = wrapTime(elapsed());
  currentTime_ = t;
  TAnimationKey* first = nullptr;
  TAnimationKey* second = nullptr;
  if (!findKeys(first, second, t)) return;
  applyChannels(*first, *second, t);
}

void AnimationEffect::applyChannels(const TAnimationKey& first, const TAnimationKey& second, float time) {
  const float span = second.time() - first.time();
  // Keys at one time: the later key holds from that time on.
  const float f = span > 0 ? (time - first.time()) / span : 1.0f;
  BaseObject* owner = parent();
  for (AnimationChannel channel : kApplyOrder) {
    if (!usesChannel(channel)) continue;
    if (IsColorChannel(channel)) {
      WriteColorChannel(owner, channel, ColorLerp(first.color(channel), second.color(channel), f));
    } else {
      WriteChannel(owner, channel, LerpF(first.value(channel), second.value(channel), f), basePosition_);
    }
  }
}
