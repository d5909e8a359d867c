#pragma once
// `Mission`: the root of one level. It starts the level (handlers, bodies,
// the mouse), pauses it (Escape pauses it; a paused mission freezes its
// ticks, its onTick and the scheduled actions of what it holds), ends it by
// success or failure (at most once; the mission vanishes at once and is freed
// 0.2 seconds later) and restarts it by reading its file again.
#include "engine/scene/position_object.h"

class Event;

class Mission : public PositionObject {
  Q_OBJECT(Mission, PositionObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  virtual void start();
  virtual void success();
  virtual void fail();
  // Reloads the level shortly after; nothing (one log line) once the mission
  // has ended, so a "retry" in onFail or onSuccess cannot bring an ended
  // level back.
  virtual void restart();
  // The scheduled reload: the children are read again from the file. Not
  // published: only the event queue runs it, and not once the mission ended.
  void reload();
  // A script's dispose fails the mission.
  void dispose() override;

  bool pause() const { return pause_; }
  void setPause(bool value);
  // The same without onPause/onResume.
  void setPauseNoEvent(bool value);
  bool mouseAcquire() const { return mouseAcquire_; }
  void setMouseAcquire(bool value) { mouseAcquire_ = value; }
  bool isSuccess() const { return isSuccess_; }

  void keyDown(uint16_t& key, uint16_t& character, uint8_t shift) override;
  // The event's paramInt := percentage done (truncated), then onLoading.
  void loadingProgress(int64_t done, int64_t total) override;
  void drawChildren() override;
  void tick(double time, double delta) override;
  bool holdsTickHandler() const override { return pause_; }

  // The object selected in the design tools, or nil.
  BaseObject* getDesignSelected() const { return designSelectedHook ? designSelectedHook() : nullptr; }
  // Installed by the design tools, which keep the selection.
  static BaseObject* (*designSelectedHook)();

 private:
  void setIsSuccess(bool value) { isSuccess_ = value; }
  void finish(bool won);
  // True, with a log line, when the mission has ended.
  bool endedLogged(const char16_t* what) const;
  void changePause(bool value, bool withHandlers);
  Event* event() const;

  bool pause_ = false;
  WideString onFail_;
  WideString onSuccess_;
  WideString onLoading_;
  WideString onStart_;
  WideString onPause_;
  WideString onResume_;
  bool mouseAcquire_ = true;
  bool isSuccess_ = false;
  WideString onHide_;
  WideString onFailMsg_;
  WideString onSuccessMsg_;
};
