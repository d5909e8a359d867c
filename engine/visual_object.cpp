#include "engine/visual_object.h"

#include <algorithm>

#include "core/objects/effect.h"
#include "core/objects/step_handler.h"
#include "engine/applet/applet.h"
#include "engine/container.h"
#include "engine/effects/timer.h"
#include "engine/event.h"
#include "platform/device.h"
#include "platform/platform.h"

Q_DEFINE_ENUM(THitTest, "htNone", "htMove", "htSizeLeft", "htSizeRight", "htSizeTop", "htSizeBottom",
              "htSizeTopLeft", "htSizeTopRight", "htSizeBottomLeft", "htSizeBottomRight")

const ClassInfo& VisualObject::staticClassInfo() {
  using V = VisualObject;
  static const ClassInfo info = ClassBuilder<V>("VisualObject")
                                    .property("hot", &V::hot_).stored(false)
                                    .property("hotTrack", &V::hotTrack_).stored(false)
                                    .property("designTrack", &V::designTrack_).stored(false)
                                    .property("focused", &V::focused_).stored(false)
                                    .property("material", &V::material, &V::setMaterial).storedWhen(&V::materialStored)
                                    .property("alpha", &V::alpha, &V::setAlpha).storedWhen(&V::alphaStored).floatDefault(1.0f)
                                    .property("hitTest", &V::hitTest_).defaultValue(htNone)
                                    .property("transparent", &V::transparent_).defaultValue(0)
                                    .property("visible", &V::visible, &V::setVisible).defaultValue(1)
                                    .property("mirrored", &V::mirrored, &V::setMirrored).defaultValue(0)
                                    .property("onMouseMove", &V::handler<V::kOnMouseMove>, &V::setHandler<V::kOnMouseMove>)
                                    .property("onMouseDown", &V::handler<V::kOnMouseDown>, &V::setHandler<V::kOnMouseDown>)
                                    .property("onMouseUp", &V::handler<V::kOnMouseUp>, &V::setHandler<V::kOnMouseUp>)
                                    .property("onMouseEnter", &V::handler<V::kOnMouseEnter>, &V::setHandler<V::kOnMouseEnter>)
                                    .property("onMouseLeave", &V::handler<V::kOnMouseLeave>, &V::setHandler<V::kOnMouseLeave>)
                                    .property("onSetFocus", &V::handler<V::kOnSetFocus>, &V::setHandler<V::kOnSetFocus>)
                                    .property("onKillFocus", &V::handler<V::kOnKillFocus>, &V::setHandler<V::kOnKillFocus>)
                                    .method("isVisible", &V::isVisible)
                                    .method("show", &V::show)
                                    .method("hide", &V::hide)
                                    .method("fadeShow", &V::fadeShow)
                                    .method("fadeShowWait", &V::fadeShowWait)
                                    .method("fadeHide", &V::fadeHide)
                                    .method("fadeHideWait", &V::fadeHideWait)
                                    .method("scheduleHide", &V::scheduleHide)
                                    .method("scheduleShow", &V::scheduleShow)
                                    .method("focus", &V::focus)
                                    .method("capture", &V::capture)
                                    .method("releaseCapture", &V::releaseCapture)
                                    .method("pointInObject", &V::pointInObject)
                                    .build();
  return info;
}

Applet* VisualObject::ownerApplet() const { return AppletOf(this); }

Container* VisualObject::findContainer() {
  for (BaseObject* o = this; o; o = o->parent()) {
    if (auto* container = dynamic_cast<Container*>(o)) return container;
  }
  return nullptr;
}

// ---- tree notifications ------------------------------------------------------------

void VisualObject::Loaded() {
  inherited::Loaded();
  if (pendingAlpha_ >= 0) {
    float pending = pendingAlpha_;
    pendingAlpha_ = -1.0f;
    setAlpha(pending);
  }
}

void VisualObject::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  if (object == prevCaptured_) prevCaptured_ = nullptr;
  if (object == cachedMaterial_) cachedMaterial_ = nullptr;
}

void VisualObject::addChild(BaseObject* child) {
  inherited::addChild(child);
  // Only the new child's place changed; its siblings keep theirs (telling
  // them all would make building a tree quadratic in its width).
  if (auto* visual = dynamic_cast<VisualObject*>(child); visual && visual->parent() == this) {
    visual->invalidateTransform();
  }
  // A child takes a translucent parent's alpha, without passing it further.
  if (auto* visual = dynamic_cast<VisualObject*>(child); visual && alpha_ < 1.0f) visual->alpha_ = alpha_;
}

void VisualObject::invalidateTransform() {
  for (int i = 0; i < count(); ++i) {
    if (auto* visual = dynamic_cast<VisualObject*>(childAt(i))) visual->invalidateTransform();
  }
}

// ---- properties ----------------------------------------------------------------------

void VisualObject::setVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  update();
}

void VisualObject::setMirrored(bool value) {
  visualFlags_ = value ? (visualFlags_ | vfMirrored) : (visualFlags_ & ~vfMirrored);
}

void VisualObject::setAlpha(float value) {
  if (value == alpha_) return;
  if (hasState(csReading)) {
    pendingAlpha_ = value;
    return;
  }
  alpha_ = value;
  for (int i = 0; i < count(); ++i) {
    if (auto* visual = dynamic_cast<VisualObject*>(childAt(i))) visual->setAlpha(value);
  }
  update();
}

void VisualObject::setMaterial(const WideString& name) {
  if (name == material_) return;
  material_ = name;
  materialNameReported_ = false;
  if (cachedMaterial_) {
    Applet* applet = ownerApplet();
    holdReference(cachedMaterial_, applet ? applet->findMaterial(name) : nullptr);
  }
}

bool VisualObject::isVisible() const {
  for (const BaseObject* o = this; o; o = o->parent()) {
    auto* visual = dynamic_cast<const VisualObject*>(o);
    if (visual && !visual->visible_) return false;
  }
  return true;
}

// ---- show and hide -------------------------------------------------------------------

void VisualObject::show() {
  if (fadeHidePending_) {
    // The hide timers stop and go; they no longer hide this object.
    for (int i = 0; i < count(); ++i) {
      auto* timer = dynamic_cast<Timer*>(childAt(i));
      if (timer && timer->tagInt() == kFadeHideTimerTag && timer->enabled()) {
        timer->setEnabled(false);
        timer->scheduleDispose(0);
      }
    }
    fadeHidePending_ = false;
  }
  setVisible(true);
}

void VisualObject::fadeShow() {
  show();
  if (Effect* effect = findOwnEffect(u"show")) {
    effect->apply(0, 0);
    effect->setRunning(true);
  }
}

void VisualObject::fadeShowWait() {
  fadeShow();
  if (Effect* effect = findOwnEffect(u"show")) effect->waitUntilStopped();
}

void VisualObject::fadeHide() {
  Effect* effect = findOwnEffect(u"hide");
  if (!effect) {
    hide();
    return;
  }
  // A timer child, firing every tick after the effect's own step, hides the
  // object once the effect has ended, however long it turns out to run (an
  // animation knows its length only once it runs); show stops the timer.
  // Enabling fires at once, so the timer is enabled before it gets the
  // callback: the first firing hides nothing.
  auto* timer = New<Timer>(this);
  timer->setTagInt(kFadeHideTimerTag);
  timer->setInterval(0);
  timer->setEnabled(true);
  timer->setCallback([this](Timer* fired) {
    Effect* fade = findOwnEffect(u"hide");
    if (fade && fade->running()) return;  // a finishing fade still makes its last step
    fired->setEnabled(false);
    fired->scheduleDispose(0);
    fadeHidePending_ = false;
    hide();
  });
  effect->setRunning(true);
  fadeHidePending_ = true;
}

void VisualObject::fadeHideWait() {
  runEffectWait(u"hide");
  hide();
}

void VisualObject::scheduleHide(float seconds) {
  if (Applet* applet = ownerApplet(); applet && applet->event()) applet->event()->scheduleAction(this, 0, seconds);
}

void VisualObject::scheduleShow(float seconds) {
  if (Applet* applet = ownerApplet(); applet && applet->event()) applet->event()->scheduleAction(this, 1, seconds);
}

// ---- focus and capture ----------------------------------------------------------------

void VisualObject::focus() {
  if (Container* container = findContainer()) container->setFocusedObject(this);
}

void VisualObject::capture() {
  Container* container = findContainer();
  if (!container) return;
  // A repeated capture keeps the holder from before the first one.
  if (container->capturedObject() != this) {
    holdReference(prevCaptured_, container->capturedObject());
    container->setCapturedObject(this);
  }
  Applet* applet = ownerApplet();
  if (applet && applet->platform() && applet->window()) applet->platform()->CaptureMouse(applet->window());
}

void VisualObject::releaseCapture() {
  Container* container = findContainer();
  if (!container || container->capturedObject() != this) return;
  container->setCapturedObject(prevCaptured_);
  holdReference(prevCaptured_, static_cast<VisualObject*>(nullptr));
  // The platform capture stays while an earlier holder still has it.
  Applet* applet = ownerApplet();
  if (!container->capturedObject() && applet && applet->platform()) applet->platform()->ReleaseMouse();
}

void VisualObject::focusGained() {
  runOwnHandler(kOnSetFocus);
  update();
}

void VisualObject::focusLost() {
  runOwnHandler(kOnKillFocus);
  update();
}

void VisualObject::mouseEnter() {
  if (hotTrack_) {
    runOwnEffect(u"enter");
    runOwnEffect(u"enter_snd");
  }
  runOwnHandler(kOnMouseEnter);
}

void VisualObject::mouseLeave() {
  runOwnHandler(kOnMouseLeave);
  if (hotTrack_) {
    runOwnEffect(u"leave");
    runOwnEffect(u"leave_snd");
  }
}

// ---- mouse -------------------------------------------------------------------------------

void VisualObject::setEventPoint(float dx, float dy, float x, float y) {
  Applet* applet = ownerApplet();
  if (!applet || !applet->event()) return;
  applet->event()->setParamDelta(dx, dy);
  applet->event()->setParamPoint(x, y);
}

void VisualObject::mouseDown(uint8_t, uint8_t, float x, float y) {
  setEventPoint(0, 0, x, y);
  runOwnHandler(kOnMouseDown);
}

void VisualObject::mouseMove(uint8_t, float dx, float dy, float x, float y) {
  setEventPoint(dx, dy, x, y);
  runOwnHandler(kOnMouseMove);
}

void VisualObject::mouseUp(uint8_t, uint8_t, float x, float y) {
  setEventPoint(0, 0, x, y);
  runOwnHandler(kOnMouseUp);
}

// ---- hit search ------------------------------------------------------------------------

VisualObject* VisualObject::objectAt(float x, float y) {
  if (!visible_) return nullptr;
  for (int i = count() - 1; i >= 0; --i) {
    auto* child = dynamic_cast<VisualObject*>(childAt(i));
    if (!child || !child->visible_ || !(child->visualFlags_ & vfHitTestable)) continue;
    VisualObject* hit = child->objectAt(x, y);
    if (hit && !hit->transparent_) return hit;
  }
  return hitsItself(x, y) ? this : nullptr;
}

bool VisualObject::hitsItself(float x, float y) { return pointInObject(x, y); }

THitTest VisualObject::hitTestAt(float x, float y) {
  Applet* applet = ownerApplet();
  if (applet && applet->event() && applet->event()->mouseAsquired()) return htNone;
  VisualObject* hit = objectAt(x, y);
  return hit ? hit->hitTest_ : hitTest_;
}

// ---- the frame walk ----------------------------------------------------------------------

void VisualObject::draw() {
  if (isDestroying()) return;
  Applet* applet = ownerApplet();
  TDevice* device = applet ? applet->device() : nullptr;
  const bool drawn = !applet || !applet->boundsCulling() || passesCulling();
  if (drawn) {
    if (applet) applet->countVisible();
    if (device) drawPass();
  } else if (applet) {
    applet->countInvisible();
  }
  drawChildren();
  if (designTime() && device) drawDesignHighlight();
  if (drawn && device && applet->debugDynamics()) drawDynamicsDebug(device);
}

void VisualObject::drawPass() {
  Applet* applet = ownerApplet();
  TDevice* device = applet->device();
  const bool wireframePass = prepareDraw(device);
  drawSelf();
  if (!wireframePass || !applet->debugWireFrame()) return;
  device->SetRenderState(rsLightOff);
  applyDepthStates(device);
  device->SetRenderState(rsWireframe);
  device->SetRenderState(rsTextureOff);
  drawSelf();
  device->SetRenderState(rsSolid);
  device->SetRenderState(rsTextureDecal);
}

void VisualObject::drawChildren() {
  if (isDestroying()) return;
  const bool mirrorPass = mirrorPassRunning;
  for (int i = 0; i < count(); ++i) {
    auto* child = dynamic_cast<VisualObject*>(childAt(i));
    if (!child || !child->visible_) continue;
    if (mirrorPass && !(child->visualFlags_ & vfMirrored)) continue;
    child->draw();
  }
}

void VisualObject::drawDesignHighlight() {
  applyTransform();
  if (!hot_) return;
  Applet* applet = ownerApplet();
  TDevice* device = applet ? applet->device() : nullptr;
  if (!device) return;
  device->SetRenderState(rsLightOff);
  device->SetRenderState(rsDepthTestOn);
  device->SetRenderState(rsDepthWriteOn);
  device->SetColor(0xFFFFEE77u);
  device->DrawBoundBox(boundingBox(), 0.1f);
}

bool VisualObject::mirrorPassRunning = false;
