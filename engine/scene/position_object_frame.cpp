// The frame of a positioned object: the local matrix built from position,
// direction, up and scale, the axes kept orthonormal when one of them
// changes, the angle setters, and the world matrix chained through the
// positioned ancestors and cached until a transform changes.
#include <cmath>

#include "core/geometry/coordinates.h"
#include "engine/applet/applet.h"
#include "engine/event.h"
#include "engine/scene/position_object.h"
#include "platform/device.h"

namespace {
// Below this length a cross product of two axes counts as zero: they are parallel.
constexpr float kParallelLimit = 1e-5f;

const TVector4F kAxisX = MakeVector4F(1, 0, 0, 1);
const TVector4F kAxisZ = MakeVector4F(0, 0, 1, 1);

// first x second; when the two are parallel, a side perpendicular to
// `turnAxis` (one of them) through the fixed axes z, then x.
TVector4F SideOf(const TVector4F& first, const TVector4F& second, const TVector4F& turnAxis) {
  TVector4F side = VecCross(first, second);
  if (VecLength(side) < kParallelLimit) side = VecCross(kAxisZ, turnAxis);
  if (VecLength(side) < kParallelLimit) side = VecCross(kAxisX, turnAxis);
  return side;
}

// Sets a flag for the lifetime of the scope, and puts back what it was.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), saved_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = saved_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

void SetRow(TMatrix4F& m, int row, const TVector4F& v, float w) {
  m(row, 0) = v.x;
  m(row, 1) = v.y;
  m(row, 2) = v.z;
  m(row, 3) = w;
}

TVector4F AsPoint(TVector4F v) {
  v.w = 1;
  return v;
}
}  // namespace

// ---- the local matrix -------------------------------------------------------------------

void PositionObject::rebuildMatrix() {
  const TVector4F side = VecCross(direction_->vector(), up_->vector());
  SetRow(localMatrix_, 0, VecScale(side, scale_->x()), 0);
  SetRow(localMatrix_, 1, VecScale(direction_->vector(), scale_->y()), 0);
  SetRow(localMatrix_, 2, VecScale(up_->vector(), scale_->z()), 0);
  SetRow(localMatrix_, 3, position_->vector(), 1);
  invalidateTransform();
  update();
}

void PositionObject::positionChanged() {
  if (inChange_) return;
  SetRow(localMatrix_, 3, position_->vector(), 1);
  invalidateTransform();
  if (visible()) update();
}

void PositionObject::scaleChanged() { rebuildMatrix(); }

void PositionObject::velocityChanged() { moving_ = VecLength(velocity_->vector()) > 0; }

// While the object is read its axes are taken as stored; otherwise a zero
// axis becomes the default one and every axis is made unit length.
void PositionObject::directionChanged() {
  if (hasState(csReading)) axesRead_ = true;
  if (inChange_) return;
  FlagScope guard(inChange_);
  if (!hasState(csReading)) {
    if (VecLength(direction_->vector()) == 0) direction_->setXYZQuiet(MakeVector4F(0, 1, 0, 1));
    direction_->setXYZQuiet(VecNormalized(direction_->vector()));
  }
  const TVector4F side = SideOf(up_->vector(), direction_->vector(), up_->vector());
  up_->setXYZQuiet(VecNormalized(VecCross(direction_->vector(), side)));
  rebuildMatrix();
}

void PositionObject::upChanged() {
  if (hasState(csReading)) axesRead_ = true;
  if (inChange_) return;
  FlagScope guard(inChange_);
  if (!hasState(csReading)) {
    if (VecLength(up_->vector()) == 0) up_->setXYZQuiet(MakeVector4F(0, 0, 1, 1));
    up_->setXYZQuiet(VecNormalized(up_->vector()));
  }
  const TVector4F side = SideOf(up_->vector(), direction_->vector(), direction_->vector());
  direction_->setXYZQuiet(VecNormalized(VecCross(side, up_->vector())));
  rebuildMatrix();
}

// ---- angles ----------------------------------------------------------------------------------

float PositionObject::xAngle() const { return angles_->x(); }
float PositionObject::yAngle() const { return angles_->y(); }
float PositionObject::zAngle() const { return angles_->z(); }

void PositionObject::setXAngle(float value) { setAngle(&TVector4F::x, getSide(), value); }
void PositionObject::setYAngle(float value) { setAngle(&TVector4F::y, direction_->vector(), value); }
void PositionObject::setZAngle(float value) { setAngle(&TVector4F::z, up_->vector(), value); }

void PositionObject::setAnglesQuiet(float x, float y, float z) {
  angles_->setXYZQuiet(MakeVector4F(WrapDegrees(x), WrapDegrees(y), WrapDegrees(z), 1));
}

// The axes turn by the difference to the stored angle; the angle itself is
// only a record of what was set (setting an axis leaves it alone).
void PositionObject::setAngle(float TVector4F::*component, const TVector4F& axis, float value) {
  TVector4F stored = angles_->vector();
  if (value == stored.*component || !std::isfinite(value)) return;
  if (hasState(csReading)) {
    anglesRead_ = true;
  } else {
    rotateFrame(axis, stored.*component - value);
  }
  stored.*component = WrapDegrees(value);
  angles_->setXYZQuiet(stored);
}

// A file written by hand gives angles ("zAngle=45") and no axes: the axes
// turn as the angles set one by one would have turned them. A stored tree
// holds its axes already turned, and they stand as read.
void PositionObject::Loaded() {
  inherited::Loaded();
  if (anglesRead_ && !axesRead_) {
    const TVector4F angles = angles_->vector();
    rotateFrame(up_->vector(), -angles.z);
    rotateFrame(getSide(), -angles.x);
    rotateFrame(direction_->vector(), -angles.y);
  }
  anglesRead_ = false;
  axesRead_ = false;
}

void PositionObject::rotateFrame(const TVector4F& axis, float degrees) {
  FlagScope guard(inChange_);
  const TMatrix4F rotation = MatRotation(axis, DegreesToRadians(degrees));
  up_->setXYZQuiet(VecNormalized(VecTransform(up_->vector(), rotation)));
  direction_->setXYZQuiet(VecNormalized(VecTransform(direction_->vector(), rotation)));
  rebuildMatrix();
}

TVector4F PositionObject::getSide() const { return VecCross(direction_->vector(), up_->vector()); }

// ---- the world matrix ---------------------------------------------------------------------------

void PositionObject::invalidateTransform() {
  worldDirty_ = true;
  // A static body follows its object.
  if (collisable_ && !dynamic_ && body_ && !isDisposed()) {
    if (TDynamicEngine* engine = dynamicEngine()) engine->SetBodyMatrix(body_, getWorldMatrix());
  }
  inherited::invalidateTransform();
}

TMatrix4F PositionObject::getWorldMatrix() {
  if (worldDirty_) {
    auto* parentObject = dynamic_cast<PositionObject*>(parent());
    worldMatrix_ = parentObject ? MatMultiply(localMatrix_, parentObject->getWorldMatrix()) : localMatrix_;
    worldDirty_ = false;
  }
  return worldMatrix_;
}

TMatrix4F PositionObject::getInverseWorldMatrix() {
  TMatrix4F inverse = getWorldMatrix();
  MatInvert(inverse);
  return inverse;
}

TVector4F PositionObject::getWorldPosition() { return MatRow(getWorldMatrix(), 3); }
TVector4F PositionObject::getWorldDirection() { return VecNormalized(MatRow(getWorldMatrix(), 1)); }
TVector4F PositionObject::getWorldUp() { return VecNormalized(MatRow(getWorldMatrix(), 2)); }
TVector4F PositionObject::getWorldSide() { return VecCross(getWorldDirection(), getWorldUp()); }

TVector4F PositionObject::toParentSpace(const TVector4F& v) {
  auto* parentObject = dynamic_cast<PositionObject*>(parent());
  return parentObject ? parentObject->worldToLocal(v) : v;
}

void PositionObject::setWorldPosition(const TVector4F& v) {
  const TVector4F local = toParentSpace(AsPoint(v));
  position_->setXYZ(local.x, local.y, local.z);
}

void PositionObject::setWorldDirection(const TVector4F& v) {
  const TVector4F local = VecNormalized(toParentSpace(VecNormalized(v)));
  direction_->setVector(local);
}

void PositionObject::setWorldUp(const TVector4F& v) {
  const TVector4F local = VecNormalized(toParentSpace(VecNormalized(v)));
  up_->setVector(local);
}

// ---- conversions -------------------------------------------------------------------------------

TVector4F PositionObject::localToWorld(const TVector4F& v) { return VecTransform(v, getWorldMatrix()); }
TVector4F PositionObject::worldToLocal(const TVector4F& v) { return VecTransform(v, getInverseWorldMatrix()); }

TPointF PositionObject::localToScreenPoint(const TPointF& p) {
  const TVector4F v = VecTransform(MakeVector4F(p.x, p.y, 0, 1), getWorldMatrix());
  return {v.x, v.y};
}

TPointF PositionObject::screenToLocalPoint(const TPointF& p) {
  const TVector4F v = VecTransform(MakeVector4F(p.x, p.y, 0, 1), getInverseWorldMatrix());
  return {v.x, v.y};
}

void PositionObject::applyTransform() {
  Applet* applet = ownerApplet();
  if (applet && applet->device()) applet->device()->SetWorldMatrix(getWorldMatrix());
}

// The window point on the plane through the object along its up axis.
void PositionObject::screenToLocal(float x, float y) {
  Applet* applet = ownerApplet();
  if (!applet || !applet->device() || !applet->event()) return;
  TVector4F origin, direction;
  applet->device()->Pick(x, y, origin, direction);
  TVector4F hit;
  if (!RayPlaneIntersect(origin, direction, getWorldPosition(), getWorldUp(), hit)) hit = TVector4F{};
  applet->event()->paramPosition()->setXYZ(hit.x, hit.y, hit.z);
}
