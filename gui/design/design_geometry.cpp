#include "gui/design/design_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/applet/applet.h"
#include "engine/event.h"
#include "engine/scene/position_object.h"
#include "engine/visual_object.h"
#include "platform/device.h"
#include "platform/device_window.h"

float SnapHalfUnit(float value) { return std::trunc(value / 0.5f) * 0.5f; }

float SnapFifteenDegrees(float value) { return std::trunc(value / 15.0f) * 15.0f; }

float SnapGrid(float value, float step) {
  if (!(step > 0)) return value;
  return std::trunc(value / step) * step;
}

float ScreenLengthAt(TDevice* device, const TVector4F& worldPosition, float pixels) {
  constexpr float kMissed = 0.5f;
  if (!device) return kMissed;
  const TVector4F normal = VecScale(device->windowParts().camera.direction, -1);
  TVector4F origin, direction, first, second;
  device->Pick(0, 0, origin, direction);
  if (!RayPlaneIntersect(origin, direction, worldPosition, normal, first)) return kMissed;
  device->Pick(0, pixels, origin, direction);
  if (!RayPlaneIntersect(origin, direction, worldPosition, normal, second)) return kMissed;
  return std::sqrt(VecDistanceSq(first, second));
}

float AngleTo(const TVector4F& v, const TVector4F& axis) {
  if (VecLength(v) == 0) return 0;
  const float cosine = std::clamp(VecDot(VecNormalized(v), axis), -1.0f, 1.0f);
  return std::acos(cosine) * 180.0f / std::numbers::pi_v<float>;
}

bool PickAtEventPoint(VisualObject& object, TVector4F& origin, TVector4F& direction) {
  Applet* applet = object.ownerApplet();
  if (!applet || !applet->device() || !applet->event()) return false;
  const TPointF point = applet->event()->paramPointValue();
  applet->device()->Pick(point.x, point.y, origin, direction);
  return true;
}

void CopyWorldFrame(PositionObject& from, PositionObject& to) {
  to.setWorldPosition(from.getWorldPosition());
  to.setWorldDirection(from.getWorldDirection());
  to.setWorldUp(from.getWorldUp());
  to.setAnglesQuiet(from.xAngle(), from.yAngle(), from.zAngle());
}
