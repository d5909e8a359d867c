#include "core/objects/effect.h"

#include "core/objects/applet_services.h"
#include "core/objects/step_handler.h"

#include <memory>

const ClassInfo& Effect::staticClassInfo() {
  using E = Effect;
  static const ClassInfo info = ClassBuilder<E>("Effect")
                                    .property("running", &E::running, &E::setRunning).defaultValue(0)
                                    .property("runningTime", &E::runningTime_)
                                    .property("loop", &E::loop_).defaultValue(0).storedWhen(&E::loopStored)
                                    .property("friction", &E::friction_).storedWhen(&E::frictionStored).floatDefault(1.0f)
                                    .property("shiftTime", &E::shiftTime_)
                                    .method("progress", &E::progress)
                                    .build();
  return info;
}

// Pushes a waiter for the length of one wait. LIFO holds because nested
// waits are nested calls; a waiter whose effect was freed is already off the
// list (the effect emptied it).
class Effect::WaiterScope {
 public:
  explicit WaiterScope(Effect* effect) : effect_(effect), waiter_(std::make_unique<Waiter>()) {
    waiter_->next = effect_->waiters_;
    effect_->waiters_ = waiter_.get();
  }
  ~WaiterScope() {
    if (!waiter_->freed) effect_->waiters_ = waiter_->next;
  }
  WaiterScope(const WaiterScope&) = delete;
  WaiterScope& operator=(const WaiterScope&) = delete;
  bool effectFreed() const { return waiter_->freed; }

 private:
  Effect* effect_;
  // On the heap: the effect keeps a pointer to it while the wait runs.
  std::unique_ptr<Waiter> waiter_;
};

void Effect::Create(TObject* owner) {
  friction_ = 1.0f;
  speed_ = 1.0f;
  shiftElapsed_ = 0;
  runningTime_ = 0;
  inherited::Create(owner);
  elapsed_ = 0;
}

void Effect::Destroy() {
  for (Waiter* waiter = waiters_; waiter; waiter = waiter->next) waiter->freed = true;
  waiters_ = nullptr;
  inherited::Destroy();
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
    // The last step overshot the end: apply exactly what was left of the run.
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

// A run that can no longer reach its end: a friction that took the speed to
// zero or below, or one that slowed it until a step no longer moves the
// elapsed time. Left running, such an effect never stops and a wait on it
// never returns.
bool Effect::runIsStuck(float step, double delta) const {
  if (speed_ <= 0) return true;
  if (loop_ || runningTime_ <= 0 || friction_ >= 1.0f || delta <= 0) return false;
  return elapsed_ + step == elapsed_;
}

// One advancing step; false when the effect asks for no redraw.
bool Effect::advance(double time, double delta) {
  const auto d = static_cast<float>(delta);
  speed_ = speed_ + d * (speed_ * friction_ - speed_);
  const float step = d * speed_;
  if (running_ && runIsStuck(step, delta)) {
    setRunning(false);
    return true;
  }
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
  BaseObject* host = runningApplet();
  AppletServices* services = host ? GetAppletServices() : nullptr;
  // Without an applet or a step handler no frame could ever stop the effect.
  if (!services || !StepHandler()) return;
  WaiterScope scope(this);
  while (running_ && !services->isTerminated(host)) {
    if (services->isPaused(host)) return;
    // The effect of a hidden object stands still: no frame would stop it.
    if (parent() && parent()->isHiddenVisual() && !lingering_) return;
    StepHandler()(host);
    // A script may have freed the effect during the step: touch nothing of it.
    if (scope.effectFreed()) return;
  }
}
