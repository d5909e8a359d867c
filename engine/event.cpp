#include "engine/event.h"

#include <algorithm>

#include "core/geometry/coordinates.h"
#include "core/objects/item.h"
#include "core/objects/step_handler.h"
#include "core/objects/wide_strings.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "engine/applet/applet.h"
#include "engine/scene/mission.h"
#include "engine/visual_object.h"
#include "platform/input_records.h"
#include "platform/platform.h"

namespace {
constexpr uint16_t kEscapeKey = 27;
constexpr uint16_t kConsoleCharacter = 96;  // the grave accent
constexpr int32_t kLeftWindow = 65534;      // coordinates at or above it: the pointer left
}  // namespace

const ClassInfo& Event::staticClassInfo() {
  using E = Event;
  static const ClassInfo info =
      ClassBuilder<E>("Event")
          .property("isAltDown", &E::isAltDown, &E::ignoreFlag).stored(false)
          .property("isLButtonDown", &E::isLButtonDown, &E::ignoreFlag).stored(false)
          .property("isRButtonDown", &E::isRButtonDown, &E::ignoreFlag).stored(false)
          .readOnly("mouseAsquired", &E::mouseAsquired).stored(false)
          .readOnly("paramListCount", &E::paramListCount).stored(false)
          .property("paramPoint", &E::paramPoint, &E::refusePoint).stored(false)
          .property("paramDelta", &E::paramDelta, &E::refusePoint).stored(false)
          .property("paramNormal", &E::paramNormal, &E::setParamNormal).stored(false)
          .property("paramPosition", &E::paramPosition, &E::setParamPosition).stored(false)
          .property("paramKey", &E::paramKey_).stored(false)
          .property("paramInt", &E::paramInt_).stored(false)
          .property("paramString", &E::paramString_).stored(false)
          .property("paramResult", &E::paramResult_).stored(false)
          .property("paramObject", &E::paramObject, &E::refuseParamObject).stored(false)
          .property("paramThis", &E::paramThis, &E::refuseThis).stored(false)
          .method("addVarToDebug", &E::addVarToDebug)
          .method("isKeyDown", &E::isKeyDown)
          .method("paramList", &E::paramList)
          .method("acquireMouse", &E::acquireMouse)
          .method("unacquireMouse", &E::unacquireMouse)
          .method("waitForEvents", &E::waitForEvents)
          .method("playEvent", &E::playEvent)
          .method("recordEvent", &E::recordEvent)
          .method("stop", &E::stop)
          .build();
  return info;
}

void Event::Create(TObject* owner) {
  inherited::Create(owner);
  hearEveryRemoval();  // scheduled actions may target any object
  paramPoint_ = New<TPointPersistent>(this);
  paramDelta_ = New<TPointPersistent>(this);
  ownNormal_ = New<TSpaceCoord>(this);
  ownNormal_->setXYZ(0, 0, 0);
  ownPosition_ = New<TSpaceCoord>(this);
  ownPosition_->setXYZ(0, 0, 0);
  paramNormal_ = ownNormal_;
  paramPosition_ = ownPosition_;
  recordLines_ = New<TWideStringList>(this);
}

void Event::Destroy() {
  for (TLowEvent* e : queue_) e->Free();
  queue_.clear();
  FreeAndNil(recordLines_);
  FreeAndNil(paramPoint_);
  FreeAndNil(paramDelta_);
  // Only the coordinates the event made itself are its to free.
  FreeAndNil(ownNormal_);
  FreeAndNil(ownPosition_);
  inherited::Destroy();
}

Applet* Event::owningApplet() const { return AppletOf(this); }

// ---- queueing ------------------------------------------------------------------------

void Event::queueEvent(TLowEvent* event) {
  if (!event) return;
  Applet* applet = owningApplet();
  if (event->kind < lekMouseUp) waiting_ = false;
  const bool paused = applet && applet->paused();
  if (event->kind <= lekWheel && paused) {
    // Input that arrives while the applet is paused is dropped.
    event->Free();
    return;
  }
  queue_.insert(queue_.begin(), event);
  if (recording_ && event->kind < lekSchedule && applet) {
    recordLines_->add(FloatToWideStr(applet->time()) + u":" + EventToText(event));
  }
  // Whatever was queued is seen in the next frame, even in a scene that
  // animates nothing and only draws on request.
  if (applet) applet->requestRedraw();
}

void Event::scheduleAction(BaseObject* object, uint8_t action, float delay) {
  for (TLowEvent* e : queue_) {
    TScheduleActionEvent* s = e->asScheduleAction();
    if (s && s->target == object && s->action == action) return;
  }
  queueEvent(TScheduleActionEvent::Create(delay, object, action));
}

void Event::cancelScheduledAction(BaseObject* object, uint8_t action) {
  for (size_t i = queue_.size(); i-- > 0;) {
    TScheduleActionEvent* s = queue_[i]->asScheduleAction();
    if (s && s->target == object && s->action == action && !s->inDispatch) removeQueued(i);
  }
}

void Event::removeQueued(size_t index) {
  TLowEvent* e = queue_[index];
  queue_.erase(queue_.begin() + static_cast<std::ptrdiff_t>(index));
  e->Free();
}

void Event::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  for (size_t i = queue_.size(); i-- > 0;) {
    TScheduleActionEvent* s = queue_[i]->asScheduleAction();
    if (!s || s->target != object) continue;
    if (s->inDispatch) {
      // The record being dispatched stays with its dispatcher, which frees it.
      s->target = nullptr;
      s->handled = 1;
    } else {
      removeQueued(i);
    }
  }
  // The stacks keep their depth, so that every pop still matches its push.
  std::replace(paramObjects_.begin(), paramObjects_.end(), object, static_cast<BaseObject*>(nullptr));
  std::replace(thisStack_.begin(), thisStack_.end(), object, static_cast<BaseObject*>(nullptr));
  std::replace(resultList_.begin(), resultList_.end(), object, static_cast<BaseObject*>(nullptr));
  std::erase(keyListeners_, object);
  // A coordinate lent by the dying object is no longer shown.
  if (paramNormal_ != ownNormal_ && paramNormal_ && paramNormal_->owner() == object) paramNormal_ = ownNormal_;
  if (paramPosition_ != ownPosition_ && paramPosition_ && paramPosition_->owner() == object) {
    paramPosition_ = ownPosition_;
  }
}

void Event::processQueue() {
  if (playing_) playbackStep();
  // From the oldest record (last) to the newest (index 0). Handlers may run
  // nested frame loops that process this same queue; the in-dispatch flag
  // keeps them off the record in hand, and the walk goes on from where that
  // record is now.
  for (size_t i = queue_.size(); i-- > 0;) {
    TLowEvent* e = queue_[i];
    if (e->handled || e->inDispatch) continue;
    e->inDispatch = 1;
    dispatchEvent(e);
    e->inDispatch = 0;
    auto at = std::find(queue_.begin(), queue_.end(), e);
    if (at == queue_.end()) {
      // Only the dispatcher frees a record in dispatch, so it cannot be gone;
      // stay within the queue all the same.
      i = std::min(i, queue_.size());
      continue;
    }
    i = static_cast<size_t>(at - queue_.begin());
    if (e->handled) {
      queue_.erase(at);
      e->Free();
    }
  }
  keepFramesComing();
}

void Event::keepFramesComing() {
  Applet* applet = owningApplet();
  if (!applet) return;
  const bool waitingRecord = std::any_of(queue_.begin(), queue_.end(), [](TLowEvent* e) {
    return !e->handled && !e->inDispatch && e->kind == lekSchedule;
  });
  if (waitingRecord || (playing_ && pendingPlaybackLines() > 0)) applet->requestRedraw();
}

// ---- dispatch ---------------------------------------------------------------------------

void Event::dispatchEvent(TLowEvent* event) {
  switch (event->kind) {
    case lekKeyDown: dispatchKeyDown(event); break;
    case lekKeyUp: dispatchKeyUp(event); break;
    case lekMouseDown:
    case lekMouseUp: dispatchMouse(event); break;
    case lekMouseMove: dispatchMouseMove(event); break;
    case lekWheel: dispatchWheel(event); break;
    case lekSchedule: dispatchScheduled(event); break;
    case lekWindowAction: dispatchWindowAction(event); break;
    default: break;
  }
}

void Event::fireAppletHandler(const char* property) {
  Applet* applet = owningApplet();
  if (!applet) return;
  if (const PropInfo* p = applet->classInfo().findProperty(property, {TypeKind::WideText})) {
    applet->runHandler(GetWideStrProp(applet, *p));
  }
}

void Event::dispatchKeyDown(TLowEvent* event) {
  TKeyEvent* k = event->asKey();
  event->handled = 1;
  Applet* applet = owningApplet();
  if (!k || !applet) return;
  if (k->key == kEscapeKey) applet->cancelModal(4);
  if (k->character == kConsoleCharacter) {
    applet->toggleConsole();
    return;
  }
  if (k->key && std::find(pressedKeys_.begin(), pressedKeys_.end(), k->key) == pressedKeys_.end()) {
    pressedKeys_.push_back(k->key);
  }
  uint16_t key = k->key, character = k->character;
  for (BaseObject* listener : std::vector<BaseObject*>(keyListeners_)) {
    if (!isKeyListener(listener)) continue;  // removed by an earlier listener
    if (auto* visual = dynamic_cast<VisualObject*>(listener)) visual->keyDown(key, character, k->shift);
  }
  applet->keyDown(key, character, k->shift);
}

void Event::dispatchKeyUp(TLowEvent* event) {
  TKeyEvent* k = event->asKey();
  event->handled = 1;
  Applet* applet = owningApplet();
  if (!k || !applet) return;
  if (k->key) std::erase(pressedKeys_, k->key);
  uint16_t key = k->key, character = k->character;
  for (BaseObject* listener : std::vector<BaseObject*>(keyListeners_)) {
    if (!isKeyListener(listener)) continue;
    if (auto* visual = dynamic_cast<VisualObject*>(listener)) visual->keyUp(key, character, k->shift);
  }
  applet->keyUp(key, character, k->shift);
  paramKey_ = k->key ? k->key : k->character;
  fireAppletHandler("onKeyPress");
}

void Event::dispatchMouse(TLowEvent* event) {
  TMouseEvent* m = event->asMouse();
  event->handled = 1;
  Applet* applet = owningApplet();
  if (!m || !applet) return;
  const TPointF p = applet->windowToApplet(static_cast<float>(m->x), static_cast<float>(m->y));
  if (event->kind == lekMouseDown) {
    setParamPoint(p.x, p.y);
    applet->mouseDown(m->button, m->shift, p.x, p.y);
    if (m->button == 1) isLButtonDown_ = true;
    if (m->button == 2) isRButtonDown_ = true;
    // Button records always carry their button's bit; Alt is one bit among them.
    if (m->shift & kShiftAlt) isAltDown_ = true;
    setParamPoint(p.x, p.y);
    fireAppletHandler("onMouseDown");
    return;
  }
  if (applet->paused()) return;
  if (m->button == 1) isLButtonDown_ = false;
  if (m->button == 2) isRButtonDown_ = false;
  isAltDown_ = false;
  setParamPoint(p.x, p.y);
  applet->mouseUp(m->button, m->shift, p.x, p.y);
  setParamPoint(p.x, p.y);
  fireAppletHandler("onMouseUp");
}

void Event::dispatchMouseMove(TLowEvent* event) {
  TMouseEvent* m = event->asMouse();
  event->handled = 1;
  Applet* applet = owningApplet();
  if (!m || !applet) return;
  if (m->x >= kLeftWindow || m->y >= kLeftWindow) {
    setParamDelta(0, 0);
    setParamPoint(0, 0);
    // The pointer left the window: a move to a point outside every object.
    applet->mouseMove(m->shift, 0, 0, static_cast<float>(-1 - applet->marginX()),
                      static_cast<float>(-1 - applet->marginY()));
    setParamDelta(0, 0);
    setParamPoint(0, 0);
  } else {
    const float scale = applet->scale();
    const float dx = static_cast<float>(m->dx) / scale, dy = static_cast<float>(m->dy) / scale;
    const TPointF p = applet->windowToApplet(static_cast<float>(m->x), static_cast<float>(m->y));
    setParamDelta(dx, dy);
    setParamPoint(p.x, p.y);
    applet->mouseMove(m->shift, dx, dy, p.x, p.y);
    setParamDelta(dx, dy);
    setParamPoint(p.x, p.y);
  }
  fireAppletHandler("onMouseMove");
}

void Event::dispatchWheel(TLowEvent* event) {
  TWheelEvent* w = event->asWheel();
  event->handled = 1;
  Applet* applet = owningApplet();
  if (!w || !applet || applet->paused()) return;
  applet->mouseWheel(w->shift, w->steps);
  const float amount = static_cast<float>(w->steps) / applet->scale();
  setParamDelta(amount, amount);
  fireAppletHandler("onMouseWheel");
}

void Event::dispatchScheduled(TLowEvent* event) {
  TScheduleActionEvent* s = event->asScheduleAction();
  Applet* applet = owningApplet();
  if (!s || !s->target) {
    event->handled = 1;
    return;
  }
  BaseObject* target = s->target;
  if (s->action == kScheduleFree && !target->isDisposed()) {
    target->markDisposed();
    // Marking runs onDestroy handlers, which may free the target there and
    // then; its removal has ended this record (objectRemoved).
    if (!s->target) return;
  }
  // A paused mission holds the hiding and showing of what it holds; a free
  // still happens, and so does a reload or free of the mission itself (a
  // restart asked for while paused would otherwise wait for ever).
  BaseObject* mission = FindEnclosingMission(target);
  const bool heldAction = s->action == kScheduleHide || s->action == kScheduleShow;
  const bool missionHolds =
      heldAction && mission && mission != target && mission->holdsTickHandler() && !mission->isDisposed();
  if (!missionHolds && applet) s->elapsed += applet->deltaTime();
  if (s->elapsed <= s->delay) return;
  event->handled = 1;
  // Forgotten before the action runs: freeing the target reaches objectRemoved,
  // which must not take this record for one of the target's.
  s->target = nullptr;
  auto* visual = dynamic_cast<VisualObject*>(target);
  switch (s->action) {
    case kScheduleHide:
      if (visual) visual->hide();
      break;
    case kScheduleShow:
      if (visual) visual->show();
      break;
    case kScheduleFree: freeScheduled(target); break;
    case kScheduleReload:
      if (auto* mission = dynamic_cast<Mission*>(target)) mission->reload();
      break;
    default: break;
  }
}

void Event::freeScheduled(BaseObject* target) {
  Applet* applet = owningApplet();
  if (target == this) return;  // the applet frees its queue, never the queue itself
  if (target == applet) {
    // The applet is freed by the main loop once it has terminated, not from
    // inside its own frame.
    applet->terminate();
    return;
  }
  target->Free();
}

void Event::dispatchWindowAction(TLowEvent* event) {
  TActionEvent* a = event->asAction();
  event->handled = 1;
  Applet* applet = owningApplet();
  if (!a || !applet) return;
  switch (a->code) {
    case kActionClose: applet->terminate(); break;
    case kActionActivated: applet->activate(); break;
    case kActionDeactivated: applet->deactivate(); break;
    default: break;
  }
}

// ---- parameters ---------------------------------------------------------------------------

void Event::setParamPoint(float x, float y) { paramPoint_->setPoint(MakePointF(x, y)); }
void Event::setParamDelta(float dx, float dy) { paramDelta_->setPoint(MakePointF(dx, dy)); }
TPointF Event::paramPointValue() const { return paramPoint_->getPoint(); }
TPointF Event::paramDeltaValue() const { return paramDelta_->getPoint(); }

void Event::setParamNormal(TSpaceCoord* coord) { paramNormal_ = coord ? coord : ownNormal_; }
void Event::setParamPosition(TSpaceCoord* coord) { paramPosition_ = coord ? coord : ownPosition_; }

void Event::refuseParamObject(BaseObject*) { LogError(u"Incorrect setting ParamObject"); }
void Event::refuseThis(BaseObject*) { LogError(u"Incorrect setting This"); }
void Event::refusePoint(TPointPersistent*) { LogError(u"Incorrect setting ParamPoint"); }

void Event::popParamObject() {
  if (paramObjects_.empty()) {
    LogError(u"Broken PopXXX call for ParamObject");
    return;
  }
  paramObjects_.pop_back();
}

void Event::popThis() {
  if (thisStack_.empty()) {
    LogError(u"Broken PopXXX call for This");
    return;
  }
  thisStack_.pop_back();
}

int Event::appendParam(BaseObject* object) {
  resultList_.push_back(object);
  return paramListCount();
}

BaseObject* Event::paramList(int32_t index) const {
  if (index < 0 || index >= paramListCount()) return nullptr;
  return resultList_[static_cast<size_t>(index)];
}

void Event::addKeyListener(BaseObject* mission) {
  if (std::find(keyListeners_.begin(), keyListeners_.end(), mission) == keyListeners_.end()) {
    keyListeners_.push_back(mission);
  }
}

void Event::removeKeyListener(BaseObject* mission) { std::erase(keyListeners_, mission); }

bool Event::isKeyListener(BaseObject* object) const {
  return std::find(keyListeners_.begin(), keyListeners_.end(), object) != keyListeners_.end();
}

bool Event::isKeyDown(int32_t key) const {
  return std::find(pressedKeys_.begin(), pressedKeys_.end(), static_cast<uint16_t>(key)) != pressedKeys_.end();
}

void Event::acquireMouse() {
  Applet* applet = owningApplet();
  if (applet && applet->platform() && applet->window()) applet->platform()->AcquireMouse(applet->window());
  mouseAsquired_ = true;
}

void Event::unacquireMouse() {
  mouseAsquired_ = false;
  Applet* applet = owningApplet();
  if (applet && applet->platform() && applet->window()) applet->platform()->AcquireDisable(applet->window());
}

void Event::waitForEvents() {
  Applet* applet = owningApplet();
  // Input reaches the running applet's own queue only: on any other (a foreign
  // queue, or that of an applet made inside the game) no wait could end.
  if (!applet || applet->runningApplet() != applet || (applet->event() && applet->event() != this) ||
      !StepHandler())
    return;
  waiting_ = true;
  // A closed window ends the wait as well as a key or a click.
  while (waiting_ && !applet->terminated()) StepHandler()(applet);
  waiting_ = false;
}
