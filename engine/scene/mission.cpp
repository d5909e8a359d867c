#include "engine/scene/mission.h"

#include "core/system/log.h"
#include "engine/applet/applet.h"
#include "engine/event.h"
#include "engine/script_engine.h"
#include "platform/input_records.h"

namespace {
constexpr uint16_t kEscapeKey = 27;
constexpr float kFreeDelay = 0.2f;
constexpr float kReloadDelay = 0.1f;
}  // namespace

BaseObject* (*Mission::designSelectedHook)() = nullptr;

const ClassInfo& Mission::staticClassInfo() {
  using M = Mission;
  static const ClassInfo info = ClassBuilder<M>("Mission")
                                    .property("pause", &M::pause, &M::setPause).stored(false)
                                    .property("pauseNoEvent", &M::pause, &M::setPauseNoEvent).stored(false)
                                    .property("onFail", &M::onFail_)
                                    .property("onSuccess", &M::onSuccess_)
                                    .property("onLoading", &M::onLoading_)
                                    .property("onStart", &M::onStart_)
                                    .property("onPause", &M::onPause_)
                                    .property("onResume", &M::onResume_)
                                    .property("mouseAcquire", &M::mouseAcquire, &M::setMouseAcquire).defaultValue(1)
                                    .property("isSuccess", &M::isSuccess, &M::setIsSuccess)
                                    .property("onHide", &M::onHide_)
                                    .property("onFailMsg", &M::onFailMsg_)
                                    .property("onSuccessMsg", &M::onSuccessMsg_)
                                    .method("start", &M::start)
                                    .method("success", &M::success)
                                    .method("fail", &M::fail)
                                    .method("restart", &M::restart)
                                    .method("dispose", &M::dispose)
                                    .method("getDesignSelected", &M::getDesignSelected)
                                    .build();
  return info;
}

Event* Mission::event() const {
  Applet* applet = ownerApplet();
  return applet ? applet->event() : nullptr;
}

void Mission::Create(TObject* owner) {
  inherited::Create(owner);
  if (Event* queue = event()) queue->addKeyListener(this);
  LogInfo(u"Mission was created");
}

void Mission::Destroy() {
  Applet* applet = ownerApplet();
  if (applet && applet->scriptEngine()) applet->scriptEngine()->collectGarbage();
  if (applet && applet->event()) applet->event()->removeKeyListener(this);
  inherited::Destroy();
  LogInfo(u"Mission was destroyed");
}

void Mission::start() {
  BusyScope guard(this);
  runHandler(WideString(onStart_));
  spawn();
  if (mouseAcquire_ && event()) event()->acquireMouse();
  LogInfo(u"Mission was start successful " + fileName());
}

void Mission::success() { finish(true); }

void Mission::fail() { finish(false); }

void Mission::dispose() { fail(); }

void Mission::finish(bool won) {
  if (isDisposed()) return;
  BusyScope guard(this);
  pause_ = true;
  markDisposed();
  isSuccess_ = won;
  runHandler(WideString(won ? onSuccessMsg_ : onFailMsg_));
  runHandler(WideString(onHide_));
  hide();
  if (!designTime()) {
    unspawn();
    if (mouseAcquire_ && event()) event()->unacquireMouse();
    runHandler(WideString(won ? onSuccess_ : onFail_));
    LogInfo((won ? u"Mission success " : u"Mission fail ") + fileName());
  }
  if (Event* queue = event()) queue->scheduleAction(this, kScheduleFree, kFreeDelay);
}

void Mission::restart() {
  if (endedLogged(u"restart")) return;
  isSuccess_ = false;
  if (Event* queue = event()) queue->scheduleAction(this, kScheduleReload, kReloadDelay);
}

bool Mission::endedLogged(const char16_t* what) const {
  if (!isDisposed()) return false;
  LogInfo(u"Mission has ended, no " + WideString(what) + u" of " + fileName());
  return true;
}

void Mission::reload() {
  if (designTime() || endedLogged(u"reload")) return;
  BusyScope guard(this);
  pause_ = true;
  unspawn();
  runHandler(WideString(onFail_));
  deleteChildren();
  Applet* applet = ownerApplet();
  if (!fileName().empty() && applet && loadObjectFile) {
    loadObjectFile(applet->resourceManager(), fileName(), parent(), this);
  }
  runHandler(WideString(onStart_));
  spawn();
  pause_ = false;
}

void Mission::setPause(bool value) { changePause(value, true); }

void Mission::setPauseNoEvent(bool value) { changePause(value, false); }

void Mission::changePause(bool value, bool withHandlers) {
  if (value == pause_) return;
  BusyScope guard(this);
  pause_ = value;
  Event* queue = event();
  if (value) {
    if (mouseAcquire_ && queue) queue->unacquireMouse();
    if (withHandlers) runHandler(WideString(onPause_));
  } else {
    if (withHandlers) runHandler(WideString(onResume_));
    if (mouseAcquire_ && queue) queue->acquireMouse();
  }
}

void Mission::keyDown(uint16_t& key, uint16_t& character, uint8_t shift) {
  inherited::keyDown(key, character, shift);
  if (key == kEscapeKey && !pause_) setPause(true);
}

void Mission::loadingProgress(int64_t done, int64_t total) {
  if (Event* queue = event(); queue && total > 0) queue->setParamInt(static_cast<uint32_t>(done * 100 / total));
  runHandler(WideString(onLoading_));
}

void Mission::drawChildren() {
  if (!isDisposed()) inherited::drawChildren();
}

void Mission::tick(double time, double delta) {
  if (!pause_) inherited::tick(time, delta);
}
