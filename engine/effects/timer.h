#pragma once
// `Timer`: runs its `onTimer` text every `interval` seconds of its own tick
// time while enabled, and once at once when it is enabled. A timer fires at
// most once a tick: time left over from a long frame fires on the next ticks.
// Code can add a callback that runs after the text.
#include <functional>

#include "core/objects/base_object.h"

class Timer : public BaseObject {
  Q_OBJECT(Timer, BaseObject)

 public:
  using Callback = std::function<void(Timer* timer)>;

  void tick(double time, double delta) override;

  float interval() const { return interval_; }
  // A value that is not above 0 becomes 0.0001 s: the timer fires every tick.
  void setInterval(float seconds);
  bool enabled() const { return enabled_; }
  void setEnabled(bool value);
  float accumulated() const { return accumulated_; }
  const WideString& onTimer() const { return onTimer_; }
  void setOnTimer(const WideString& text) { onTimer_ = text; }
  void setCallback(Callback callback) { callback_ = std::move(callback); }
  bool hasCallback() const { return static_cast<bool>(callback_); }

 private:
  void fire();
  bool intervalStored() const { return interval_ != 1.0f; }

  float interval_ = 1.0f;
  float accumulated_ = 0;
  Callback callback_;
  WideString onTimer_;
  bool enabled_ = false;
};
