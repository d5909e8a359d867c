#include "gui/design/gizmo.h"

#include "core/geometry/coordinates.h"
#include "engine/applet/applet.h"
#include "gui/design/design_geometry.h"
#include "gui/design/gizmo_box.h"
#include "platform/device.h"
#include "platform/input_records.h"

namespace {
constexpr TColorARGB kTargetBoxColour = 0xFFFFFFFFu;
constexpr TColorARGB kAxisXColour = 0xFFFF0000u;
constexpr TColorARGB kAxisYColour = 0xFF00FF00u;
constexpr TColorARGB kAxisZColour = 0xFF0000FFu;
constexpr float kThird = 3.3333333f;

struct HandleSpec {
  const char16_t* role;
  float x, y, z;
  TColorARGB colour;
  float width, height, depth;
};

constexpr HandleSpec kHandles[] = {
    {u"rotatex", 0, 80, 0, 0xFF008000u, 5, 5, 20},   {u"movey", 0, 100, 0, 0xFF008000u, 10, 10, 10},
    {u"rotatez", 80, 0, 0, 0xFF800000u, 5, 20, kThird}, {u"movex", 100, 0, 0, 0xFF800000u, 10, 10, 10},
    {u"rotatey", 0, 0, 80, 0xFF000080u, 20, kThird, 5}, {u"movez", 0, 0, 100, 0xFF000080u, 10, 10, 10},
};

GizmoBox* MakeHandle(Gizmo* gizmo, const HandleSpec& spec) {
  auto* box = New<GizmoBox>(gizmo);
  box->setTagString(spec.role);
  box->setTagInt(static_cast<int32_t>(spec.colour));
  box->position()->setXYZ(spec.x, spec.y, spec.z);
  box->setWidth(spec.width);
  box->setHeight(spec.height);
  box->setDepth(spec.depth);
  return box;
}

// Moves or resizes a handle only when something changed, so that a gizmo
// standing still asks for no further frames.
void PlaceHandle(GizmoBox* box, float x, float y, float z, float width, float height, float depth) {
  const TVector4F at = box->position()->vector();
  if (at.x != x || at.y != y || at.z != z) box->position()->setXYZ(x, y, z);
  box->setWidth(width);
  box->setHeight(height);
  box->setDepth(depth);
}
}  // namespace

const ClassInfo& Gizmo::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<Gizmo>("Gizmo").build();
  return info;
}

void Gizmo::Create(TObject* owner) {
  inherited::Create(owner);
  setKind(okSpace);
  setZTest(true);
  setComponentStyle(csTransient);
  setHotTrack(true);
  GizmoBox** slots[] = {&rotateX_, &moveY_, &rotateZ_, &moveX_, &rotateY_, &moveZ_};
  for (size_t i = 0; i < std::size(kHandles); ++i) *slots[i] = MakeHandle(this, kHandles[i]);
  AddDesignTargetListener(this);
}

void Gizmo::Destroy() {
  RemoveDesignTargetListener(this);
  inherited::Destroy();
}

GizmoBox* Gizmo::handle(const WideString& role) const {
  for (GizmoBox* box : {moveX_, moveY_, moveZ_, rotateX_, rotateY_, rotateZ_}) {
    if (box && box->tagString() == role) return box;
  }
  return nullptr;
}

PositionObject* Gizmo::positionedTarget() const { return dynamic_cast<PositionObject*>(DesignTarget()); }

// ---- following the target ------------------------------------------------------------------

void Gizmo::designTargetChanged(BaseObject* target) {
  dragging_ = false;
  auto* positioned = dynamic_cast<PositionObject*>(target);
  if (!positioned) return;
  // The 3D gizmo serves objects of the 3D world; the screen gizmo the others.
  setVisible(positioned->kind() == okSpace);
  followTarget();
}

void Gizmo::followTarget() {
  PositionObject* positioned = positionedTarget();
  if (!positioned || !visible()) return;
  adopting_ = true;
  CopyWorldFrame(*positioned, *this);
  adopting_ = false;
  update();
}

void Gizmo::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  DesignObjectRemoved(object);
}

void Gizmo::invalidateTransform() {
  inherited::invalidateTransform();
  passToTarget();
}

void Gizmo::passToTarget() {
  PositionObject* target = positionedTarget();
  if (adopting_ || !visible() || !target || isDestroying()) return;
  CopyWorldFrame(*this, *target);
}

// ---- hits ------------------------------------------------------------------------------------

VisualObject* Gizmo::objectAt(float x, float y) {
  if (!DesignTarget()) return nullptr;
  return inherited::objectAt(x, y);
}

bool Gizmo::pointInObject(float x, float y) {
  PositionObject* target = positionedTarget();
  return target && target->pointInObject(x, y);
}

bool Gizmo::rayHit(const TVector4F& origin, const TVector4F& direction) {
  PositionObject* target = positionedTarget();
  return target && target->rayHit(origin, direction);
}

// ---- drawing ---------------------------------------------------------------------------------

void Gizmo::draw() {
  if (isDestroying() || !DesignTarget()) return;
  Applet* applet = ownerApplet();
  TDevice* device = applet ? applet->device() : nullptr;
  if (device) {
    device->SetRenderState(rs3D);
    device->SetRenderState(rsLightOff);
    device->SetRenderState(rsTextureOff);
    device->SetRenderState(rsDepthTestOff);
    if (PositionObject* target = positionedTarget()) {
      target->applyTransform();
      device->SetColor(kTargetBoxColour);
      device->DrawBoundBox(target->getBoundingBox(), 0.1f);
    }
    applyTransform();
    const float length = ScreenLengthAt(device, getWorldPosition(), 100);
    const TVector4F origin = MakeVector4F(0, 0, 0, 1);
    const TColorARGB colours[] = {kAxisXColour, kAxisYColour, kAxisZColour};
    const TVector4F ends[] = {MakeVector4F(length, 0, 0, 1), MakeVector4F(0, length, 0, 1),
                              MakeVector4F(0, 0, length, 1)};
    for (int axis = 0; axis < 3; ++axis) {
      device->SetColor(colours[axis]);
      device->DrawSegment(origin, ends[axis], 1);
    }
    resizeHandles(device);
  }
  drawChildren();
}

// Each handle keeps its size on the screen: s is what 10 units of the window
// cover where the gizmo stands.
void Gizmo::resizeHandles(TDevice* device) {
  const TVector4F at = getWorldPosition();
  const float s = ScreenLengthAt(device, at, 10);
  const float bar = ScreenLengthAt(device, at, 80);
  const float tip = ScreenLengthAt(device, at, 100);
  PlaceHandle(rotateX_, 0, bar, 0, s / 3, s / 2, 2.5f * s);
  PlaceHandle(rotateY_, 0, 0, bar, 2.5f * s, s / 3, s / 2);
  PlaceHandle(rotateZ_, bar, 0, 0, s / 2, 2.5f * s, s / 3);
  PlaceHandle(moveX_, tip, 0, 0, s, s, s);
  PlaceHandle(moveY_, 0, tip, 0, s, s, s);
  PlaceHandle(moveZ_, 0, 0, tip, s, s, s);
}

// ---- dragging the target itself ---------------------------------------------------------------

void Gizmo::mouseDown(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseDown(button, shift, x, y);
  if (button != kButtonLeft) return;
  followTarget();
  dragging_ = true;
  grabOffset_ = TVector4F{};
  zAngleSum_ = zAngle();
  capture();
}

void Gizmo::mouseMove(uint8_t shift, float dx, float dy, float x, float y) {
  TVector4F origin, direction;
  const bool picked = PickAtEventPoint(*this, origin, direction);
  inherited::mouseMove(shift, dx, dy, x, y);
  if (!dragging_) return;
  const TVector4F at = getWorldPosition();
  TVector4F hit;
  if (shift == kShiftLeftButton) {
    if (!picked || !RayPlaneIntersect(origin, direction, at, MakeVector4F(0, 0, 1, 0), hit)) return;
    setWorldPosition(MakeVector4F(SnapHalfUnit(hit.x + grabOffset_.x), SnapHalfUnit(hit.y + grabOffset_.y),
                                  SnapHalfUnit(at.z), 1));
  } else if (shift & kShiftShift) {
    if (!picked || !RayPlaneIntersect(origin, direction, at, MakeVector4F(0, -1, 0, 0), hit)) return;
    setWorldPosition(MakeVector4F(SnapHalfUnit(at.x), SnapHalfUnit(at.y), SnapHalfUnit(hit.z + grabOffset_.z), 1));
  } else if (shift & kShiftControl) {
    zAngleSum_ += dx;
    setZAngle(SnapFifteenDegrees(zAngleSum_));
    passToTarget();
  }
}

void Gizmo::mouseUp(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseUp(button, shift, x, y);
  dragging_ = false;
  releaseCapture();
}
