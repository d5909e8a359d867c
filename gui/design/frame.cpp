#include "gui/design/frame.h"

#include "engine/applet/applet.h"
#include "engine/event.h"
#include "gui/design/design_target.h"
#include "gui/gui_object.h"
#include "platform/input_records.h"

namespace {
// The corner square that sizes instead of moving.
constexpr float kSizeCorner = 8;
}  // namespace

const ClassInfo& Frame::staticClassInfo() {
  using F = Frame;
  static const ClassInfo info = ClassBuilder<F>("Frame")
                                    .property("root", &F::root, &F::setRoot)
                                    .property("rootByName", &F::rootByName, &F::setRootByName).stored(false)
                                    .property("onSelect", &F::onSelect_)
                                    .build();
  return info;
}

void Frame::Create(TObject* owner) {
  inherited::Create(owner);
  rect_ = MakeRectF(0, 0, 1, 1);
  SetSelectionHook(SelectionHook{&Frame::selectThrough, this});
}

void Frame::Destroy() {
  ClearSelectionHook(this);
  inherited::Destroy();
}

void Frame::selectThrough(BaseObject* frame, BaseObject* object) {
  if (auto* self = dynamic_cast<Frame*>(frame)) self->select(object);
}

void Frame::select(BaseObject* object) {
  if (!parent() || !object || object == this || !parent()->findObject(object, false)) return;
  setRoot(object);
  Applet* applet = ownerApplet();
  Event* event = applet ? applet->event() : nullptr;
  if (!event) return;
  event->pushParamObject(object);
  runHandler(WideString(onSelect_), "onSelect");
  event->popParamObject();
}

// ---- the root ------------------------------------------------------------------------------

void Frame::setRoot(BaseObject* value) {
  if (value == root_) return;
  unwatchRemovalOf(root_);
  root_ = value;
  watchRemovalOf(root_);
  fitToRoot();
}

WideString Frame::rootByName() const { return root_ ? root_->name() : WideString(); }

void Frame::setRootByName(const WideString& name) {
  BaseObject* applet = this->applet();
  setRoot(applet ? applet->findByName(name) : nullptr);
}

void Frame::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  if (object == root_) root_ = nullptr;
}

void Frame::fitToRoot() {
  auto* gui = dynamic_cast<GuiObject*>(root_);
  if (!gui) return;
  const TVector4F at = gui->getWorldPosition();
  rect_ = MakeRectF(at.x, at.y, at.x + gui->width(), at.y + gui->height());
  setWorldPosition(MakeVector4F(rect_.left, rect_.top, 0, 1));
  bringToFront();
}

void Frame::applyRect() {
  const TVector4F at = getWorldPosition();
  const float width = rect_.right - rect_.left, height = rect_.bottom - rect_.top;
  rect_ = MakeRectF(at.x, at.y, at.x + width, at.y + height);
  auto* gui = dynamic_cast<GuiObject*>(root_);
  if (!gui) return;
  gui->setWorldPosition(MakeVector4F(rect_.left, rect_.top, gui->getWorldPosition().z, 1));
  gui->setWidth(width);
  gui->setHeight(height);
}

// ---- dragging --------------------------------------------------------------------------------

void Frame::mouseDown(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseDown(button, shift, x, y);
  if (button != kButtonLeft) return;
  const float width = rect_.right - rect_.left, height = rect_.bottom - rect_.top;
  if (x >= width - kSizeCorner && x <= width && y >= height - kSizeCorner && y <= height) {
    sizeMode_ = true;
  } else {
    moveMode_ = true;
  }
  capture();
}

void Frame::mouseMove(uint8_t shift, float dx, float dy, float x, float y) {
  inherited::mouseMove(shift, dx, dy, x, y);
  if (moveMode_) {
    setX(this->x() + dx);
    setY(this->y() + dy);
    applyRect();
  } else if (sizeMode_) {
    rect_.right += dx;
    rect_.bottom += dy;
    applyRect();
  }
}

void Frame::mouseUp(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseUp(button, shift, x, y);
  if (!moveMode_ && !sizeMode_) return;
  moveMode_ = sizeMode_ = false;
  releaseCapture();
}
