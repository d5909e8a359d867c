#include "engine/effects/timer_effect.h"

const ClassInfo& TimerEffect::staticClassInfo() {
  static const ClassInfo info =
      ClassBuilder<TimerEffect>("TimerEffect").property("onTimer", &TimerEffect::onTimer_).build();
  return info;
}

void TimerEffect::setRunning(bool value) {
  const bool wasRunning = running();
  inherited::setRunning(value);
  if (wasRunning && !running()) runOnTimer();
}

void TimerEffect::loopRestart() {
  inherited::loopRestart();
  runOnTimer();
}

void TimerEffect::runOnTimer() {
  // The text is the effect's own; its owner runs it as its own handler.
  if (BaseObject* owner = parent()) owner->runHandler(WideString(onTimer_));
}
