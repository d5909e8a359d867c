#include "engine/effects/timer.h"

const ClassInfo& Timer::staticClassInfo() {
  using T = Timer;
  static const ClassInfo info = ClassBuilder<T>("Timer")
                                    .property("interval", &T::interval, &T::setInterval).floatDefault(1.0f)
                                    .property("onTimer", &T::onTimer_)
                                    .property("enabled", &T::enabled, &T::setEnabled).defaultValue(0)
                                    .build();
  return info;
}

void Timer::setInterval(float seconds) { interval_ = seconds > 0 ? seconds : 0.0001f; }

void Timer::setEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  accumulated_ = 0;
  if (value) fire();
}

void Timer::tick(double time, double delta) {
  inherited::tick(time, delta);
  if (!enabled_) return;
  accumulated_ += static_cast<float>(delta);
  if (accumulated_ > interval_) {
    fire();
    accumulated_ -= interval_;
  }
}

void Timer::fire() {
  runHandler(WideString(onTimer_));
  // A copy: the callback may replace or clear itself.
  if (Callback callback = callback_) callback(this);
}
