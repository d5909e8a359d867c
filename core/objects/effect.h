#pragma once
// A child object that applies a timed change to its parent (fade, move,
// animation, sound, particles). The timing engine lives here; each concrete
// effect only implements `apply`.
#include "core/objects/base_object.h"

class Effect : public BaseObject {
  Q_OBJECT(Effect, BaseObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void tick(double time, double delta) override;

  // One step of the effect on its parent.
  virtual void apply(double /*time*/, double /*step*/) {}
  virtual void setRunning(bool value);
  // Called when a looping run wraps.
  virtual void loopRestart() {}

  // Runs nested frames until the effect stops, the applet terminates or
  // pauses, or the effect is freed.
  void waitUntilStopped();
  // Elapsed time over running time; 0 for an effect without a running time.
  float progress() const;

  bool running() const { return running_; }
  float runningTime() const { return runningTime_; }
  void setRunningTime(float seconds) { runningTime_ = seconds; }
  bool loop() const { return loop_; }
  void setLoop(bool value) { loop_ = value; }
  float friction() const { return friction_; }
  void setFriction(float value) { friction_ = value; }
  float shiftTime() const { return shiftTime_; }
  void setShiftTime(float seconds) { shiftTime_ = seconds; }
  float elapsed() const { return elapsed_; }
  float speed() const { return speed_; }
  bool finishing() const { return finishing_; }
  bool lingering() const { return lingering_; }

 protected:
  // Set by a derived class while it still has output to advance after stopping.
  bool lingering_ = false;
  // Stops without a redraw request or the finishing step.
  void stopQuietly() { running_ = false; }

 private:
  // One nested wait on this effect; the effect marks every waiter when it is
  // freed, so a wait never reads an effect that a script freed meanwhile.
  struct Waiter {
    bool freed = false;
    Waiter* next = nullptr;
  };
  class WaiterScope;

  bool advance(double time, double delta);
  bool runIsStuck(float step, double delta) const;
  bool loopStored() const { return fileName().empty(); }
  bool frictionStored() const { return friction_ != 1.0f; }

  bool running_ = false;
  float runningTime_ = 0;
  float elapsed_ = 0;
  float remainder_ = 0;
  bool finishing_ = false;
  bool loop_ = false;
  float speed_ = 1.0f;
  float friction_ = 1.0f;
  float shiftElapsed_ = 0;
  float shiftTime_ = 0;
  Waiter* waiters_ = nullptr;
};
