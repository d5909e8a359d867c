#include "engine/container.h"

#include <algorithm>

#include "core/objects/step_handler.h"
#include "core/system/log.h"
#include "engine/applet/applet.h"

bool (*Container::modalStopPredicate)() = nullptr;

const ClassInfo& Container::staticClassInfo() {
  using C = Container;
  static const ClassInfo info =
      ClassBuilder<C>("Container")
          .property("focusedObject", &C::focusedObject, &C::setFocusedObject).stored(false)
          .property("hotObject", &C::hotObject, &C::setHotObject).stored(false)
          .property("capturedObject", &C::capturedObject, &C::setCapturedObject).stored(false)
          .method("enterModal", &C::enterModal)
          .method("cancelModal", &C::cancelModal)
          .build();
  return info;
}

void Container::Create(TObject* owner) {
  // Any object of the tree may be hot, focused, captured or modal here; asked
  // before the tree is read, which may already free objects.
  hearEveryRemoval();
  inherited::Create(owner);
}

void Container::Destroy() {
  modalStack_.clear();
  if (focusedObject_) {
    VisualObject* focused = focusedObject_;
    focusedObject_ = nullptr;
    focused->focusLost();
  }
  inherited::Destroy();
}

void Container::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  // No route may lead to a freed object.
  if (object == hotObject_) hotObject_ = nullptr;
  if (object == focusedObject_) focusedObject_ = nullptr;
  if (object == capturedObject_) capturedObject_ = nullptr;
  for (size_t i = modalStack_.size(); i-- > 0;) {
    if (modalStack_[i] != object) continue;
    modalStack_.erase(modalStack_.begin() + static_cast<std::ptrdiff_t>(i));
    // The wait its object's freeing ends was cancelled, not ended with the
    // result of an earlier wait.
    modalResult_ = kModalCancelled;
  }
}

// ---- keys and wheel go to the focused object -----------------------------------------

// An object that takes input stays whole until it has handled it, even when
// its handler frees it (or its holder): it goes when the call returns.

void Container::keyDown(uint16_t& key, uint16_t& character, uint8_t shift) {
  if (!focusedObject_) return;
  BusyScope keep(focusedObject_);
  focusedObject_->keyDown(key, character, shift);
}

void Container::keyUp(uint16_t& key, uint16_t& character, uint8_t shift) {
  if (!focusedObject_) return;
  BusyScope keep(focusedObject_);
  focusedObject_->keyUp(key, character, shift);
}

void Container::mouseWheel(uint8_t shift, int32_t delta) {
  if (!focusedObject_) return;
  BusyScope keep(focusedObject_);
  focusedObject_->mouseWheel(shift, delta);
}

// ---- mouse routing -----------------------------------------------------------------------

VisualObject* Container::objectAt(float x, float y) {
  // A modal object that has since been moved above this container would lead
  // the search back here: such a round ends with nothing found.
  if (searching_) return nullptr;
  searching_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{searching_};
  return modalStack_.empty() ? inherited::objectAt(x, y) : modalStack_.back()->objectAt(x, y);
}

void Container::mouseDown(uint8_t button, uint8_t shift, float x, float y) {
  VisualObject* target = objectAt(x, y);
  if (!target) return;
  if (target == this) {
    inherited::mouseDown(button, shift, x, y);
    return;
  }
  TPointF p = target->screenToLocalPoint(MakePointF(x, y));
  BusyScope keep(target);
  target->mouseDown(button, shift, p.x, p.y);
}

bool Container::tracks(VisualObject* object) const {
  return object->hotTrack() || (object->designTrack() && object->designTime());
}

void Container::mouseMove(uint8_t shift, float dx, float dy, float x, float y) {
  if (capturedObject_ == this) {
    inherited::mouseMove(shift, dx, dy, x, y);
    return;
  }
  if (capturedObject_) {
    TPointF p = capturedObject_->screenToLocalPoint(MakePointF(x, y));
    VisualObject* captured = capturedObject_;
    BusyScope keep(captured);
    captured->mouseMove(shift, dx, dy, p.x, p.y);
    return;
  }
  VisualObject* target = objectAt(x, y);
  if (!target) {
    setHotObject(nullptr);
    return;
  }
  if (target != hotObject_) setHotObject(tracks(target) ? target : nullptr);
  if (target == this) {
    inherited::mouseMove(shift, dx, dy, x, y);
    return;
  }
  TPointF p = target->screenToLocalPoint(MakePointF(x, y));
  BusyScope keep(target);
  target->mouseMove(shift, dx, dy, p.x, p.y);
}

void Container::mouseUp(uint8_t button, uint8_t shift, float x, float y) {
  VisualObject* target = capturedObject_ ? capturedObject_ : objectAt(x, y);
  if (!target) return;
  if (target == this) {
    inherited::mouseUp(button, shift, x, y);
    return;
  }
  TPointF p = target->screenToLocalPoint(MakePointF(x, y));
  BusyScope keep(target);
  target->mouseUp(button, shift, p.x, p.y);
}

// ---- roles ------------------------------------------------------------------------------------

void Container::setFocusedObject(VisualObject* object) {
  if (object == focusedObject_) return;
  if (VisualObject* old = focusedObject_) {
    focusedObject_ = nullptr;
    old->setFocused(false);
    old->focusLost();
  }
  if (object && (object->visualFlags() & vfFocusable)) {
    focusedObject_ = object;
    object->setFocused(true);
    object->focusGained();
  }
}

void Container::setHotObject(VisualObject* object) {
  if (object == hotObject_) return;
  if (VisualObject* old = hotObject_) {
    hotObject_ = nullptr;
    old->setHot(false);
    old->mouseLeave();
  }
  if (object && tracks(object)) {
    hotObject_ = object;
    object->setHot(true);
    object->mouseEnter();
  }
}

// ---- modal stack --------------------------------------------------------------------------------

int32_t Container::enterModal(VisualObject* object) {
  // Input goes to the modal object's subtree alone: only an object inside this
  // container can take it, else the search for the object under the mouse
  // would find nothing or come back to this container for ever.
  if (!object || !findObject(object, false)) {
    const WideString what = !object ? WideString(u"null") : object->name().empty() ? AnsiToWide(object->className())
                                                                                    : object->name();
    LogError(u"enterModal refused: " + what + u" is not inside " + name());
    return 0;
  }
  if (std::find(modalStack_.begin(), modalStack_.end(), object) != modalStack_.end()) return 4;
  modalStack_.push_back(object);
  const size_t depth = modalStack_.size();
  Applet* applet = AppletOf(runningApplet());
  while (modalStack_.size() >= depth && (!applet || !applet->terminated())) {
    if (modalStopPredicate && modalStopPredicate()) break;
    if (!StepHandler()) break;
    StepHandler()(applet);
  }
  return modalResult_;
}

void Container::cancelModal(int32_t code) {
  if (modalStack_.empty()) return;
  VisualObject* top = modalStack_.back();
  if (focusedObject_ && top->findObject(focusedObject_, false)) focusedObject_ = nullptr;
  if (hotObject_ && top->findObject(hotObject_, false)) hotObject_ = nullptr;
  if (capturedObject_ && top->findObject(capturedObject_, false)) capturedObject_->releaseCapture();
  modalStack_.pop_back();
  modalResult_ = static_cast<uint8_t>(code);
  LogInfo(u"~cancel modal " + AnsiToWide(std::to_string(code)));
}
