#include "gui/design/gizmo_box.h"

#include "core/geometry/coordinates.h"
#include "engine/applet/applet.h"
#include "gui/design/design_geometry.h"
#include "gui/design/gizmo.h"
#include "platform/device.h"
#include "platform/input_records.h"

namespace {
constexpr TColorARGB kHotColour = 0xFFB0B0B0u;
// Below this length the plane's normal counts as zero: the view runs along
// the axis and the plane is seen edge-on.
constexpr float kDegenerate = 1e-4f;

TVector4F Row(const TMatrix4F& m, int row) { return VecNormalized(MakeVector4F(m(row, 0), m(row, 1), m(row, 2), 0)); }

TVector4F Component(int axis, float value) {
  TVector4F v = MakeVector4F(0, 0, 0, 1);
  (axis == 0 ? v.x : axis == 1 ? v.y : v.z) = value;
  return v;
}

float ComponentOf(const TVector4F& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
}  // namespace

const ClassInfo& GizmoBox::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<GizmoBox>("GizmoBox").build();
  return info;
}

void GizmoBox::Create(TObject* owner) {
  inherited::Create(owner);
  setKind(okSpace);
  setHotTrack(true);
}

Gizmo* GizmoBox::gizmo() const { return dynamic_cast<Gizmo*>(parent()); }

int GizmoBox::axisIndex() const {
  const WideString& role = tagString();
  const char16_t last = role.empty() ? u'x' : role.back();
  return last == u'x' ? 0 : last == u'y' ? 1 : 2;
}

bool GizmoBox::isMoveHandle() const { return tagString().rfind(u"move", 0) == 0; }

// ---- drawing ---------------------------------------------------------------------------------

void GizmoBox::draw() {
  Applet* applet = ownerApplet();
  TDevice* device = applet ? applet->device() : nullptr;
  if (!device || isDestroying()) return;
  const TColorARGB colour = hot() ? kHotColour : static_cast<TColorARGB>(tagInt());
  const TBoundBoxF box = getBoundingBox();
  const TVector3F low = MakeVector3F(box.min.x, box.min.y, box.min.z);
  const TVector3F high = MakeVector3F(box.max.x, box.max.y, box.max.z);
  device->SetRenderState(rs3D);
  applyTransform();
  device->SetRenderState(rsLightOn);
  device->SetRenderState(rsBlendAlpha);
  // See-through where something stands in front, solid where nothing does.
  device->SetRenderState(rsDepthTestOff);
  device->SetColor((colour & 0x00FFFFFFu) | 0xA0000000u);
  device->DrawBox(low, high);
  device->SetRenderState(rsDepthTestOn);
  device->SetColor(colour | 0xFF000000u);
  device->DrawBox(low, high);
}

// ---- dragging --------------------------------------------------------------------------------

void GizmoBox::mouseDown(uint8_t button, uint8_t shift, float x, float y) {
  TVector4F origin, direction;
  const bool picked = PickAtEventPoint(*this, origin, direction);
  inherited::mouseDown(button, shift, x, y);
  capture();
  dragging_ = true;
  grabbed_ = false;
  Gizmo* owner = gizmo();
  if (!owner) return;
  owner->followTarget();
  const int axis = axisIndex();
  if (!isMoveHandle()) {
    startAngle_ = axis == 0 ? owner->xAngle() : axis == 1 ? owner->yAngle() : owner->zAngle();
    return;
  }
  pressFrame_ = owner->getWorldMatrix();
  pressAnchor_ = getWorldPosition();
  if (picked) grabbed_ = moveHit(origin, direction, grabPoint_);
}

bool GizmoBox::movePlane(const TMatrix4F& frame, TVector4F& normal) const {
  Applet* applet = ownerApplet();
  if (!applet || !applet->device()) return false;
  const TVector4F axis = Row(frame, axisIndex());
  const TVector4F view = applet->device()->windowParts().camera.direction;
  normal = VecCross(VecCross(axis, view), axis);
  if (VecLength(normal) < kDegenerate) return false;
  VecNormalize(normal);
  return true;
}

bool GizmoBox::moveHit(const TVector4F& origin, const TVector4F& direction, TVector4F& local) {
  TVector4F normal, hit;
  if (!movePlane(pressFrame_, normal)) return false;
  // The plane runs through the handle where it stood at the press.
  if (!RayPlaneIntersect(origin, direction, pressAnchor_, normal, hit)) return false;
  lastHit_ = hit;
  TMatrix4F inverse = pressFrame_;
  MatInvert(inverse);
  hit.w = 1;
  local = VecTransform(hit, inverse);
  return true;
}

void GizmoBox::mouseMove(uint8_t shift, float dx, float dy, float x, float y) {
  // The point must be read before the inherited handler sets its own.
  TVector4F origin, direction;
  const bool picked = PickAtEventPoint(*this, origin, direction);
  inherited::mouseMove(shift, dx, dy, x, y);
  if (!dragging_ || shift != kShiftLeftButton || !picked || !gizmo()) return;
  if (isMoveHandle()) {
    dragMove(origin, direction);
  } else {
    dragRotate(origin, direction);
  }
}

void GizmoBox::dragMove(const TVector4F& origin, const TVector4F& direction) {
  TVector4F local;
  if (!moveHit(origin, direction, local)) return;
  if (!grabbed_) {
    // The press gave no point (the plane was edge-on): the drag starts here.
    grabPoint_ = local;
    grabbed_ = true;
    return;
  }
  const int axis = axisIndex();
  const float moved = SnapHalfUnit(ComponentOf(local, axis) - ComponentOf(grabPoint_, axis));
  gizmo()->setWorldPosition(VecTransform(Component(axis, moved), pressFrame_));
}

// The angle from the gizmo's axis to the handle's bar, to the point under
// the mouse, measured in the gizmo's frame on the plane across the axis.
void GizmoBox::dragRotate(const TVector4F& origin, const TVector4F& direction) {
  Gizmo* owner = gizmo();
  TVector4F hit;
  const TMatrix4F frame = owner->getWorldMatrix();
  const int axis = axisIndex();
  const TVector4F normal = Row(frame, axis);
  if (!RayPlaneIntersect(origin, direction, getWorldPosition(), normal, hit)) return;
  lastHit_ = hit;
  hit.w = 1;
  TVector4F v = owner->worldToLocal(hit);
  v.w = 0;
  float angle = 0;
  if (axis == 0) {
    v.x = 0;
    angle = AngleTo(v, MakeVector4F(0, 1, 0, 0));
    if (v.z < 0) angle = -angle;
  } else if (axis == 1) {
    v.y = 0;
    angle = AngleTo(v, MakeVector4F(0, 0, 1, 0));
    if (v.x < 0) angle = -angle;
  } else {
    v.z = 0;
    angle = AngleTo(v, MakeVector4F(1, 0, 0, 0));
    if (v.y < 0) angle = -angle;
  }
  const float turned = SnapFifteenDegrees(angle) + startAngle_;
  if (axis == 0) owner->setXAngle(turned);
  if (axis == 1) owner->setYAngle(turned);
  if (axis == 2) owner->setZAngle(turned);
  // The angle is stored after the frame turned: the target takes both now.
  owner->passToTarget();
  startAngle_ = turned;
}

void GizmoBox::mouseUp(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseUp(button, shift, x, y);
  releaseCapture();
  dragging_ = false;
}
