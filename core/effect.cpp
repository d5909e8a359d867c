#include "core/effect.h"

#include <algorithm>

#include "core/applet_services.h"
#include "core/step_handler.h"

const ClassInfo& Effect::staticClassInfo() {
  using E = Effect;
  static const ClassInfo info = ClassBuilder<E>("Effect")
                                    .property("running", &E::running, &E::setRunning).defaultValue(0)
                                    .property("runningTime", &E::runningTime_)
                                    .property("loop", &E::loop_).defaultValue(0).storedWhen(&E::loopStored)
                                    .property("friction", &E::friction_).storedWhen(&E::frictionStored)
                                    .property("shiftTime", &E::shiftTime_)
                                    .method("progress", &E::progress)
                                    .build();
  return info;
}

void Effect::Create(TObject* owner) {
  friction_ = 1.0f;
  speed_ = 1.0f;
  shiftElapsed_ = 0;
  runningTime_ = 0;
  inherited::Create(owner);
  elapsed_ = 0;
}

void Effect::setRunning(bool value) {
  finishing_ = false;
  if (value == running_) return;
  elapsed_ = 0;
  shiftElapsed_ = 0;
  speed_ = 1.0f;
  running_ = value;
  if (value) update();
}

float Effect::progress() const {
  if (runningTime_ <= 0) return 0;  // no length: nothing to measure against
  return elapsed_ / runningTime_;
}

void Effect::tick(double time, double delta) {
  inherited::tick(time, delta);
  if (runningTime_ <= 0 && !loop_) {
    running_ = false;
    return;
  }
  if (finishing_) {
    apply(time, runningTime_ - remainder_);
    setRunning(false);
    finishing_ = false;
  } else {
    bool mayAdvance = shiftTime_ == 0;
    if (!mayAdvance) {
      shiftElapsed_ += static_cast<float>(delta);
      mayAdvance = shiftElapsed_ >= shiftTime_;
    }
    if (mayAdvance && !advance(time, delta)) return;
  }
  update();
}

// One advancing step; false when the effect asks for no redraw.
bool Effect::advance(double time, double delta) {
  speed_ = speed_ + static_cast<float>(delta) * (speed_ * friction_ - speed_);
  if (speed_ <= 0 && running_) {
    // A friction that stops the effect ends it; it would never reach its end.
    setRunning(false);
    return true;
  }
  const float step = static_cast<float>(delta) * speed_;
  BaseObject* owner = parent();
  const bool parentHidden = owner && owner->isHiddenVisual();
  if (!running_ && !lingering_) return false;
  if (running_ && parentHidden) {
    if (!lingering_) return false;
    apply(time, step);
    elapsed_ += step;
    return true;
  }
  if (!running_) {  // lingering after a stop
    apply(time, step);
    elapsed_ += step;
    return true;
  }
  apply(time, step);
  if (runningTime_ > 0) {
    const float before = elapsed_;
    elapsed_ += step;
    if (elapsed_ >= runningTime_) {
      if (loop_) {
        elapsed_ = 0;
        loopRestart();
      } else if (lingering_) {
        running_ = false;
      } else {
        finishing_ = true;
        remainder_ = before;
      }
    }
  } else {
    elapsed_ += step;
  }
  return true;
}

void Effect::waitUntilStopped() {
  BaseObject* host = applet();
  AppletServices* services = GetAppletServices();
  if (!host || !services || !StepHandler()) return;
  const auto& live = liveObjects();
  auto alive = [&] { return std::find(live.begin(), live.end(), this) != live.end(); };
  // The effect may be freed by a script while frames run: check before each look.
  while (alive() && running_ && !services->isTerminated(host)) {
    if (services->isPaused(host)) return;
    StepHandler()(host);
  }
}
