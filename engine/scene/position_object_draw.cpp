// Drawing and hits of positioned objects: culling against the window's
// frustum of the object's kind, the render states, transform and material
// before the object draws, the debug drawing of bodies and motion, and the
// pick ray for objects of the 3D world.
#include "core/geometry/coordinates.h"
#include "core/geometry/geometry.h"
#include "engine/applet/applet.h"
#include "engine/media/material.h"
#include "engine/scene/position_object.h"
#include "engine/scene/shape_geometry.h"
#include "platform/device.h"

namespace {
constexpr TColorARGB kDebugRed = 0xFFFF0000u;
constexpr TColorARGB kDebugGreen = 0xFF00FF00u;
constexpr TColorARGB kDebugBlue = 0xFF0000FFu;
constexpr TColorARGB kDebugWhite = 0xFFFFFFFFu;
}  // namespace

TBoundBoxF PositionObject::getCoveringBox() {
  TBoundBoxF box = getBoundingBox();
  const float radius = getBoundingRadius();
  if (box.min == box.max && radius > 0) return CentredBox(2 * radius, 2 * radius, 2 * radius);
  box.min.w = 1;
  box.max.w = 1;
  return box;
}

// The covering box decides, so that no part of an object is cut at the edge
// of the view: first the sphere around it (scaled as the object is), then,
// when that sphere crosses the frustum, the box itself.
bool PositionObject::passesCulling() {
  Applet* applet = ownerApplet();
  TDevice* device = applet ? applet->device() : nullptr;
  if (!device) return true;
  TDevicePartsRef parts = device->windowParts();
  const TFrustumF& frustum = kind_ == okSpace ? parts.camera.frustum : parts.screenFrustum;
  TBoundBoxF box = getCoveringBox();
  const TMatrix4F world = getWorldMatrix();
  TSphereF sphere;
  sphere.centre = MatRow(world, 3);
  sphere.radius = BoxReach(box) * MatLargestScale(world);
  const int bySphere = FrustumTestSphere(frustum, sphere);
  if (bySphere != kCullIntersect) return bySphere == kCullInside;
  BoundBoxTransform(box, world);
  return FrustumTestBox(frustum, box) != kCullOutside;
}

bool PositionObject::prepareDraw(TDevice* device) {
  device->SetRenderState(kind_ == okSpace ? rs3D : rs2D);
  applyTransform();
  ApplyObjectMaterial(*this);
  applyDepthStates(device);
  return true;
}

void PositionObject::applyDepthStates(TDevice* device) {
  device->SetRenderState(zTest_ ? rsDepthTestOn : rsDepthTestOff);
  device->SetRenderState(zTest_ ? rsDepthWriteOn : rsDepthWriteOff);
}

void PositionObject::drawDynamicsDebug(TDevice* device) {
  if (!body_) return;
  if (Applet* applet = ownerApplet()) applet->countVisible();
  prepareDraw(device);
  drawBounds();
}

void PositionObject::drawBounds() {
  Applet* applet = ownerApplet();
  TDevice* device = applet ? applet->device() : nullptr;
  if (!device) return;
  const TColorARGB colour = dynamic_ ? kDebugRed : kDebugBlue;
  if (kind_ == okScreen) {
    device->SetColor(colour);
    return;
  }
  device->SetRenderState(rsLightOff);
  applyDepthStates(device);
  device->SetRenderState(rsWireframe);
  device->SetRenderState(rsTextureOff);
  device->SetColor(colour);
  device->DrawBoundBox(getBoundingBox(), 0.1f);
  device->SetColor(kDebugWhite);
  device->SetRenderState(rsSolid);
  device->SetRenderState(rsTextureDecal);
}

void PositionObject::draw() {
  inherited::draw();
  if (isDestroying() || !moving_) return;
  Applet* applet = ownerApplet();
  if (applet && applet->device() && applet->debugDynamics()) drawMotionDebug(applet->device());
}

// The last collision normal (five times longer) in red and the velocity in
// green, from the object's origin.
void PositionObject::drawMotionDebug(TDevice* device) {
  applyTransform();
  const TVector4F origin = MakeVector4F(0, 0, 0, 1);
  TVector4F normalEnd = VecScale(lastNormal_, 5);
  TVector4F velocityEnd = velocity_->vector();
  velocityEnd.w = 1;
  device->SetColor(kDebugRed);
  device->DrawSegment(origin, normalEnd, 1);
  device->SetColor(kDebugGreen);
  device->DrawSegment(origin, velocityEnd, 1);
}

bool PositionObject::hitsItself(float x, float y) {
  if (kind_ != okSpace) return pointInObject(x, y);
  Applet* applet = ownerApplet();
  if (!applet || !applet->device()) return false;
  TVector4F origin, direction;
  applet->device()->Pick(x, y, origin, direction);
  return rayHit(origin, direction);
}
