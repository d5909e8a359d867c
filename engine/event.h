#pragma once
// The applet's input queue and dispatcher, and at the same time the
// script-visible "event" through which handlers read the parameters of what
// happened. The window procedure posts input records here; other objects post
// scheduled actions. Once a frame the applet's tick lets the queue dispatch
// what is waiting into the object tree. The queue is re-entered by nested
// frame loops (modal objects, waits), which its in-dispatch flags make safe.
#include <cstdint>
#include <vector>

#include "core/geometry/geometry.h"
#include "core/objects/base_object.h"

class Applet;
class TLowEvent;
class TPointPersistent;
class TSpaceCoord;
class TWideStringList;

class Event : public BaseObject {
  Q_OBJECT(Event, BaseObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void objectRemoved(BaseObject* object) override;

  // Takes an input record; the queue owns it from here on.
  void queueEvent(TLowEvent* event);
  // Dispatches what is waiting; re-entrant.
  void processQueue();
  // Queues a scheduled action (0 hide, 1 show, 2 free, 3 reload) for an
  // object, unless the same action for it is queued already.
  void scheduleAction(BaseObject* object, uint8_t action, float delay);
  // Drops a queued scheduled action (show cancels a fading hide with it).
  void cancelScheduledAction(BaseObject* object, uint8_t action);

  void addKeyListener(BaseObject* mission);
  void removeKeyListener(BaseObject* mission);
  bool isKeyListener(BaseObject* object) const;

  void pushParamObject(BaseObject* object) { paramObjects_.push_back(object); }
  void popParamObject();
  void pushThis(BaseObject* object) { thisStack_.push_back(object); }
  void popThis();
  BaseObject* paramObject() const { return paramObjects_.empty() ? nullptr : paramObjects_.back(); }
  BaseObject* paramThis() const { return thisStack_.empty() ? nullptr : thisStack_.back(); }
  // A handler's yes or no (complexCollise chains go on when it is true).
  bool paramResult() const { return paramResult_; }
  void setParamResult(bool value) { paramResult_ = value; }

  // The search-result list that lookups fill; answers the new count.
  int appendParam(BaseObject* object);
  BaseObject* paramList(int32_t index) const;
  int32_t paramListCount() const { return static_cast<int32_t>(resultList_.size()); }
  void clearParamList() { resultList_.clear(); }

  bool isKeyDown(int32_t key) const;
  void acquireMouse();
  void unacquireMouse();
  void waitForEvents();
  void addVarToDebug(const WideString&) {}

  // Recording and playback of input (event_recording.cpp).
  void recordEvent(const WideString& fileName);
  void stop();
  void playEvent(const WideString& fileName);
  bool recording() const { return recording_; }
  bool playing() const { return playing_; }
  // Recorded lines not yet played back.
  int pendingPlaybackLines() const;

  // ---- parameters ----------------------------------------------------------
  void setParamInt(uint32_t value) { paramInt_ = value; }
  void setParamPoint(float x, float y);
  void setParamDelta(float dx, float dy);
  TPointF paramPointValue() const;
  TPointF paramDeltaValue() const;
  TPointPersistent* paramPoint() const { return paramPoint_; }
  TPointPersistent* paramDelta() const { return paramDelta_; }
  TSpaceCoord* paramNormal() const { return paramNormal_; }
  void setParamNormal(TSpaceCoord* coord);
  TSpaceCoord* paramPosition() const { return paramPosition_; }
  void setParamPosition(TSpaceCoord* coord);
  uint32_t paramKey() const { return paramKey_; }
  const WideString& customText() const { return paramString_; }
  // Sets the custom-event text and answers the one it replaces.
  WideString exchangeCustomText(const WideString& text) {
    WideString old = paramString_;
    paramString_ = text;
    return old;
  }

  bool mouseAsquired() const { return mouseAsquired_; }
  bool isLButtonDown() const { return isLButtonDown_; }
  bool isRButtonDown() const { return isRButtonDown_; }
  bool isAltDown() const { return isAltDown_; }
  int queuedCount() const { return static_cast<int>(queue_.size()); }
  const std::vector<TLowEvent*>& queue() const { return queue_; }

 private:
  Applet* owningApplet() const;
  void dispatchEvent(TLowEvent* event);
  void dispatchKeyDown(TLowEvent* event);
  void dispatchKeyUp(TLowEvent* event);
  void dispatchMouse(TLowEvent* event);
  void dispatchMouseMove(TLowEvent* event);
  void dispatchWheel(TLowEvent* event);
  void dispatchScheduled(TLowEvent* event);
  void dispatchWindowAction(TLowEvent* event);
  void freeScheduled(BaseObject* target);
  void playbackStep();
  void applyPlaybackStart(Applet* applet);
  void removeQueued(size_t index);
  void fireAppletHandler(const char* property);
  // Asks the applet for a frame while something in the queue waits for time
  // to pass (scheduled actions, recorded lines not yet due), so that a scene
  // that animates nothing still counts them down.
  void keepFramesComing();

  // Writes from scripts that the event refuses.
  void refuseParamObject(BaseObject*);
  void refuseThis(BaseObject*);
  void refusePoint(TPointPersistent*);
  void ignoreFlag(bool) {}

  std::vector<TLowEvent*> queue_;  // newest at index 0
  std::vector<uint16_t> pressedKeys_;
  bool isLButtonDown_ = false;
  bool isRButtonDown_ = false;
  bool isAltDown_ = false;
  bool mouseAsquired_ = false;
  std::vector<BaseObject*> paramObjects_;
  std::vector<BaseObject*> thisStack_;
  std::vector<BaseObject*> keyListeners_;
  std::vector<BaseObject*> resultList_;
  TPointPersistent* paramPoint_ = nullptr;
  uint32_t paramKey_ = 0;
  TSpaceCoord* paramNormal_ = nullptr;
  TSpaceCoord* ownNormal_ = nullptr;
  TPointPersistent* paramDelta_ = nullptr;
  bool paramResult_ = false;
  uint32_t paramInt_ = 0;
  WideString paramString_;
  TSpaceCoord* paramPosition_ = nullptr;
  TSpaceCoord* ownPosition_ = nullptr;
  bool waiting_ = false;
  bool recording_ = false;
  bool playing_ = false;
  // The applet time the recording started at; applied by the first pass of
  // playback (a recording that started at time 0 included), then -1.
  float playbackStart_ = -1;
  bool playbackPending_ = false;
  WideString recordFileName_;
  TWideStringList* recordLines_ = nullptr;
};
