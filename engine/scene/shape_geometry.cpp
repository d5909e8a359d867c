#include "engine/scene/shape_geometry.h"

#include <algorithm>
#include <cmath>

#include "engine/applet/applet.h"
#include "engine/scene/position_object.h"
#include "platform/device.h"

TRectF CentredArea(float width, float height) {
  return MakeRectF(-width / 2, -height / 2, width / 2, height / 2);
}

TBoundBoxF CentredBox(float sizeX, float sizeY, float sizeZ) {
  return TBoundBoxF{MakeVector4F(-sizeX / 2, -sizeY / 2, -sizeZ / 2, 1), MakeVector4F(sizeX / 2, sizeY / 2, sizeZ / 2, 1)};
}

float BoxReach(const TBoundBoxF& box) {
  const float x = std::max(std::fabs(box.min.x), std::fabs(box.max.x));
  const float y = std::max(std::fabs(box.min.y), std::fabs(box.max.y));
  const float z = std::max(std::fabs(box.min.z), std::fabs(box.max.z));
  return std::sqrt(x * x + y * y + z * z);
}

float MatLargestScale(const TMatrix4F& m) {
  float largest = 0;
  for (int row = 0; row < 3; ++row) largest = std::max(largest, VecLength(MatRow(m, row)));
  return largest;
}

bool RayEntersBox(const TVector4F& origin, const TVector4F& direction, const TVector4F& size) {
  constexpr float kWidenedHalf = 0.5001f;
  const float sizes[3] = {size.x, size.y, size.z};
  for (int face = 0; face < 6; ++face) {
    const int axis = face % 3;
    const float sign = face < 3 ? 1.0f : -1.0f;
    TVector4F normal{};
    (axis == 0 ? normal.x : axis == 1 ? normal.y : normal.z) = sign;
    const float along = VecDot(normal, direction);
    if (!(along > 0)) continue;
    // The face on the far side of the normal: where the ray comes in.
    const float t = -(VecDot(normal, origin) + sizes[axis] * 0.5f) / along;
    const TVector4F p = VecCombine(origin, direction, 1, t);
    if (std::fabs(p.x) <= size.x * kWidenedHalf && std::fabs(p.y) <= size.y * kWidenedHalf &&
        std::fabs(p.z) <= size.z * kWidenedHalf && VecDot(VecSub(p, origin), direction) > 0) {
      return true;
    }
  }
  return false;
}

void ToLocalRay(PositionObject& object, TVector4F& origin, TVector4F& direction) {
  TVector4F point = origin;
  point.w = 1;
  TVector4F way = direction;
  way.w = 0;
  origin = object.worldToLocal(point);
  direction = VecNormalized(object.worldToLocal(way));
}

void DrawSolidBox(PositionObject& object, const TBoundBoxF& box) {
  Applet* applet = object.ownerApplet();
  TDevice* device = applet ? applet->device() : nullptr;
  if (device) device->DrawBox(MakeVector3F(box.min.x, box.min.y, box.min.z), MakeVector3F(box.max.x, box.max.y, box.max.z));
}
