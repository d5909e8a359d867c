#pragma once
// `TimerEffect`: an effect that runs its owner's `onTimer` text when a run
// ends (stopped by time or by hand) and each time a looping run wraps.
#include "core/objects/effect.h"

class TimerEffect : public Effect {
  Q_OBJECT(TimerEffect, Effect)

 public:
  void setRunning(bool value) override;
  void loopRestart() override;

  const WideString& onTimer() const { return onTimer_; }
  void setOnTimer(const WideString& text) { onTimer_ = text; }

 private:
  void runOnTimer();
  WideString onTimer_;
};
