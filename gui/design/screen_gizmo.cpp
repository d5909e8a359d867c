#include "gui/design/screen_gizmo.h"

#include <cmath>

#include "core/geometry/coordinates.h"
#include "engine/applet/applet.h"
#include "gui/design/design_geometry.h"
#include "gui/gui_object.h"
#include "platform/device.h"
#include "platform/input_records.h"

namespace {
constexpr TColorARGB kFrameColour = 0xA0FFFF00u;
constexpr TColorARGB kSizeColour = 0xA000FFFFu;
constexpr TColorARGB kRotateColour = 0xA0FF0000u;
// How far from an edge a point still takes the edge.
constexpr float kEdgeReach = 5;

bool Inside(float x, float y, float left, float top, float right, float bottom) {
  return x >= left && x <= right && y >= top && y <= bottom;
}
}  // namespace

// Handles of 8 x 8 units: big enough to take with the mouse, small enough to
// leave the target visible. Moves and sizes land on whole units.
float ScreenGizmo::handleHalfSize = 4;
float ScreenGizmo::gridStep = 1;

const ClassInfo& ScreenGizmo::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<ScreenGizmo>("ScreenGizmo").build();
  return info;
}

void ScreenGizmo::Create(TObject* owner) {
  inherited::Create(owner);
  setKind(okScreen);
  setZTest(false);
  setComponentStyle(csTransient);
  setHotTrack(true);
  AddDesignTargetListener(this);
}

void ScreenGizmo::Destroy() {
  RemoveDesignTargetListener(this);
  inherited::Destroy();
}

PositionObject* ScreenGizmo::positionedTarget() const { return dynamic_cast<PositionObject*>(DesignTarget()); }

// ---- following the target ------------------------------------------------------------------

void ScreenGizmo::designTargetChanged(BaseObject* target) {
  dragging_ = moveMode_ = sizeMode_ = rotateMode_ = false;
  auto* positioned = dynamic_cast<PositionObject*>(target);
  if (!positioned) return;
  // Objects on the screen are this gizmo's; those of the 3D world the other's.
  setVisible(positioned->kind() == okScreen);
  followTarget();
}

void ScreenGizmo::followTarget() {
  PositionObject* target = positionedTarget();
  if (!target || !visible()) return;
  adopting_ = true;
  if (auto* gui = dynamic_cast<GuiObject*>(target)) {
    width_ = gui->width();
    height_ = gui->height();
  } else {
    const TBoundBoxF box = target->getBoundingBox();
    width_ = box.max.x - box.min.x;
    height_ = box.max.y - box.min.y;
  }
  CopyWorldFrame(*target, *this);
  adopting_ = false;
  update();
}

void ScreenGizmo::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  DesignObjectRemoved(object);
}

void ScreenGizmo::invalidateTransform() {
  inherited::invalidateTransform();
  passToTarget();
}

void ScreenGizmo::passToTarget() {
  PositionObject* target = positionedTarget();
  if (adopting_ || !visible() || !target || isDestroying()) return;
  CopyWorldFrame(*this, *target);
  if (auto* gui = dynamic_cast<GuiObject*>(target)) {
    gui->setWidth(width_);
    gui->setHeight(height_);
  }
}

// ---- drawing and hits --------------------------------------------------------------------------

void ScreenGizmo::draw() {
  if (isDestroying() || !DesignTarget()) return;
  Applet* applet = ownerApplet();
  TDevice* device = applet ? applet->device() : nullptr;
  if (!device) return;
  const float k = handleHalfSize;
  device->SetRenderState(rs2D);
  device->SetRenderState(rsLightOff);
  device->SetRenderState(rsDepthTestOff);
  device->SetRenderState(rsTextureOff);
  device->SetRenderState(rsBlendAlpha);
  applyTransform();
  device->SetColor(kFrameColour);
  device->FrameRectF(MakeRectF(0, 0, width_, height_), 0, 1);
  device->FillRect(width_ / 2 - k, height_ / 2 - k, width_ / 2 + k, height_ / 2 + k, 0);
  device->SetColor(kSizeColour);
  device->FillRect(width_ - k, height_ - k, width_ + k, height_ + k, 0);
  device->SetColor(kRotateColour);
  device->FillRect(width_ - k, height_ / 2 - k, width_ + k, height_ / 2 + k, 0);
}

bool ScreenGizmo::inHandle(float x, float y, float cx, float cy) {
  const float k = handleHalfSize;
  return Inside(x, y, cx - k, cy - k, cx + k, cy + k);
}

bool ScreenGizmo::pointInObject(float x, float y) {
  if (!visible()) return false;
  const TPointF p = screenToLocalPoint(MakePointF(x, y));
  const float w = width_, h = height_, e = kEdgeReach;
  return Inside(p.x, p.y, 0, -e, w, e) || Inside(p.x, p.y, -e, 0, e, h) || Inside(p.x, p.y, w - e, 0, w + e, h) ||
         Inside(p.x, p.y, 0, h - e, w, h + e) || inHandle(p.x, p.y, w / 2, h / 2);
}

// ---- dragging --------------------------------------------------------------------------------

void ScreenGizmo::mouseDown(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseDown(button, shift, x, y);
  if (button != kButtonLeft) return;
  followTarget();
  dragging_ = true;
  capture();
  // The move adds the mouse's way to where the gizmo stands now.
  const TVector4F at = position()->vector();
  sumX_ = at.x;
  sumY_ = at.y;
  if (inHandle(x, y, width_, height_)) {
    sizeMode_ = true;
  } else if (inHandle(x, y, width_, height_ / 2)) {
    rotateMode_ = true;
    startAngle_ = zAngle();
  } else {
    moveMode_ = true;
  }
}

void ScreenGizmo::mouseMove(uint8_t shift, float dx, float dy, float x, float y) {
  inherited::mouseMove(shift, dx, dy, x, y);
  if (!dragging_) return;
  sumX_ += dx;
  sumY_ += dy;
  if (sizeMode_) {
    width_ = SnapGrid(x, gridStep);
    height_ = SnapGrid(y, gridStep);
    invalidateTransform();
    update();
  } else if (rotateMode_) {
    float angle = AngleTo(MakeVector4F(x, y, 0, 0), MakeVector4F(1, 0, 0, 0));
    if (y < 0) angle = -angle;
    const float turned = SnapFifteenDegrees(angle) + startAngle_;
    setZAngle(turned);
    passToTarget();
    startAngle_ = turned;
  } else if (moveMode_) {
    setX(SnapGrid(sumX_, gridStep));
    setY(SnapGrid(sumY_, gridStep));
  }
}

void ScreenGizmo::mouseUp(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseUp(button, shift, x, y);
  if (button != kButtonLeft) return;
  releaseCapture();
  dragging_ = moveMode_ = sizeMode_ = rotateMode_ = false;
}
