#pragma once
// Key frames of an animation: `TAnimationKey` holds one frame's values of the
// animated channels at a time given in 30ths of a second; `TAnimationKeys`
// is the list of them with one flag per channel. Setting a key's channel to a
// new value sets the channel's flag, and only flagged channels are animated,
// so reading keys from a file flags exactly the channels the file sets.
#include <array>
#include <cstdint>

#include "core/geometry/geometry.h"
#include "core/objects/object_collection.h"

class AnimationEffect;

// The animated channels, in the order the keys publish their flags.
enum class AnimationChannel {
  Alpha,
  Color,
  ZAngle,
  XAngle,
  YAngle,
  SecondColor,
  Scale,
  Z,
  X,
  Y,
  DeltaY,
  DeltaZ,
  DeltaX,
  Height,
  Width,
};
constexpr int kAnimationChannelCount = 15;

constexpr bool IsColorChannel(AnimationChannel channel) {
  return channel == AnimationChannel::Color || channel == AnimationChannel::SecondColor;
}

class TAnimationKey : public TGCollectionItem {
  Q_OBJECT(TAnimationKey, TGCollectionItem)

 public:
  static constexpr TColorARGB kNoColor = 0xFFFFFFFFu;

  // The key's time in seconds: key / 30 plus the time offset.
  float time() const { return static_cast<float>(key_) * (1.0f / 30.0f) + timeOffset_; }
  int32_t key() const { return key_; }
  void setKey(int32_t value) { key_ = value; }
  // Seconds added to the key's time (a two-pass effect's second list).
  float timeOffset() const { return timeOffset_; }
  void setTimeOffset(float seconds) { timeOffset_ = seconds; }

  // A float channel's value (colour channels answer 0).
  float value(AnimationChannel channel) const { return values_[Index(channel)]; }
  // Stores the value; a change flags the channel.
  void setValue(AnimationChannel channel, float value);
  TColorARGB color(AnimationChannel channel) const {
    return channel == AnimationChannel::Color ? color_ : secondColor_;
  }
  // Colours are set as text: only a non-empty text that differs from the
  // current colour's text changes the colour (and flags the channel).
  void setColorText(AnimationChannel channel, const WideString& text);

 private:
  static constexpr size_t Index(AnimationChannel channel) { return static_cast<size_t>(channel); }
  template <AnimationChannel C>
  float get() const {
    return value(C);
  }
  template <AnimationChannel C>
  void set(float v) {
    setValue(C, v);
  }
  template <AnimationChannel C>
  WideString colorText() const {
    return ColorToText(color(C));
  }
  template <AnimationChannel C>
  void setColor(const WideString& text) {
    setColorText(C, text);
  }
  template <AnimationChannel C>
  bool colorStored() const {
    return color(C) != kNoColor;
  }
  void markUsed(AnimationChannel channel);

  std::array<float, kAnimationChannelCount> values_{};
  TColorARGB color_ = kNoColor;
  TColorARGB secondColor_ = kNoColor;
  int32_t key_ = 0;
  float timeOffset_ = 0;
};

class TAnimationKeys : public TGCollection {
  Q_OBJECT(TAnimationKeys, TGCollection)

 public:
  const ClassInfo& itemClass() const override { return TAnimationKey::staticClassInfo(); }

  TAnimationKey* key(int index) const { return static_cast<TAnimationKey*>(item(index)); }
  TAnimationKey* first() const { return count() > 0 ? key(0) : nullptr; }
  TAnimationKey* last() const { return count() > 0 ? key(count() - 1) : nullptr; }
  // The effect the keys belong to (their owner), or nil.
  AnimationEffect* effect() const;

  bool isUsing(AnimationChannel channel) const { return using_[static_cast<size_t>(channel)]; }
  void setUsing(AnimationChannel channel, bool value) { using_[static_cast<size_t>(channel)] = value; }

 private:
  template <AnimationChannel C>
  bool getUsing() const {
    return isUsing(C);
  }
  template <AnimationChannel C>
  void putUsing(bool value) {
    setUsing(C, value);
  }

  std::array<bool, kAnimationChannelCount> using_{};
};
