#include "engine/effects/animation_key.h"

#include "engine/effects/animation_effect.h"

using C = AnimationChannel;

const ClassInfo& TAnimationKey::staticClassInfo() {
  using K = TAnimationKey;
  static const ClassInfo info =
      ClassBuilder<K>("TAnimationKey")
          .property("alpha", &K::get<C::Alpha>, &K::set<C::Alpha>)
          .property("color", &K::colorText<C::Color>, &K::setColor<C::Color>).storedWhen(&K::colorStored<C::Color>)
          .property("secondColor", &K::colorText<C::SecondColor>, &K::setColor<C::SecondColor>)
          .storedWhen(&K::colorStored<C::SecondColor>)
          .property("key", &K::key, &K::setKey).defaultValue(0)
          .property("zAngle", &K::get<C::ZAngle>, &K::set<C::ZAngle>)
          .property("xAngle", &K::get<C::XAngle>, &K::set<C::XAngle>)
          .property("yAngle", &K::get<C::YAngle>, &K::set<C::YAngle>)
          .property("z", &K::get<C::Z>, &K::set<C::Z>)
          .property("x", &K::get<C::X>, &K::set<C::X>)
          .property("y", &K::get<C::Y>, &K::set<C::Y>)
          .property("scale", &K::get<C::Scale>, &K::set<C::Scale>)
          .property("deltaZ", &K::get<C::DeltaZ>, &K::set<C::DeltaZ>)
          .property("deltaX", &K::get<C::DeltaX>, &K::set<C::DeltaX>)
          .property("deltaY", &K::get<C::DeltaY>, &K::set<C::DeltaY>)
          .property("width", &K::get<C::Width>, &K::set<C::Width>)
          .property("height", &K::get<C::Height>, &K::set<C::Height>)
          .build();
  return info;
}

void TAnimationKey::setValue(AnimationChannel channel, float value) {
  if (IsColorChannel(channel) || values_[Index(channel)] == value) return;
  values_[Index(channel)] = value;
  markUsed(channel);
}

void TAnimationKey::setColorText(AnimationChannel channel, const WideString& text) {
  if (!IsColorChannel(channel) || text.empty() || text == ColorToText(color(channel))) return;
  (channel == AnimationChannel::Color ? color_ : secondColor_) = TextToColor(text);
  markUsed(channel);
}

void TAnimationKey::markUsed(AnimationChannel channel) {
  if (auto* keys = dynamic_cast<TAnimationKeys*>(collection())) keys->setUsing(channel, true);
}

const ClassInfo& TAnimationKeys::staticClassInfo() {
  using K = TAnimationKeys;
  static const ClassInfo info = ClassBuilder<K>("TAnimationKeys")
                                    .property("alphaUsing", &K::getUsing<C::Alpha>, &K::putUsing<C::Alpha>).defaultValue(0)
                                    .property("colorUsing", &K::getUsing<C::Color>, &K::putUsing<C::Color>).defaultValue(0)
                                    .property("zAngleUsing", &K::getUsing<C::ZAngle>, &K::putUsing<C::ZAngle>).defaultValue(0)
                                    .property("xAngleUsing", &K::getUsing<C::XAngle>, &K::putUsing<C::XAngle>).defaultValue(0)
                                    .property("yAngleUsing", &K::getUsing<C::YAngle>, &K::putUsing<C::YAngle>).defaultValue(0)
                                    .property("secondColorUsing", &K::getUsing<C::SecondColor>, &K::putUsing<C::SecondColor>).defaultValue(0)
                                    .property("scaleUsing", &K::getUsing<C::Scale>, &K::putUsing<C::Scale>).defaultValue(0)
                                    .property("zUsing", &K::getUsing<C::Z>, &K::putUsing<C::Z>).defaultValue(0)
                                    .property("xUsing", &K::getUsing<C::X>, &K::putUsing<C::X>).defaultValue(0)
                                    .property("yUsing", &K::getUsing<C::Y>, &K::putUsing<C::Y>).defaultValue(0)
                                    .property("deltaYUsing", &K::getUsing<C::DeltaY>, &K::putUsing<C::DeltaY>).defaultValue(0)
                                    .property("deltaZUsing", &K::getUsing<C::DeltaZ>, &K::putUsing<C::DeltaZ>).defaultValue(0)
                                    .property("deltaXUsing", &K::getUsing<C::DeltaX>, &K::putUsing<C::DeltaX>).defaultValue(0)
                                    .property("heightUsing", &K::getUsing<C::Height>, &K::putUsing<C::Height>).defaultValue(0)
                                    .property("widthUsing", &K::getUsing<C::Width>, &K::putUsing<C::Width>).defaultValue(0)
                                    .build();
  return info;
}

AnimationEffect* TAnimationKeys::effect() const { return dynamic_cast<AnimationEffect*>(owner()); }
