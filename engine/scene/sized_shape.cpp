#include "engine/scene/sized_shape.h"

#include <algorithm>

#include "engine/scene/shape_geometry.h"

void BoxShape::drawSelf() { DrawSolidBox(*this, getBoundingBox()); }

TBoundBoxF BoxShape::getBoundingBox() { return CentredBox(width_, height_, depth_); }

TVector4F RoundShapeSize(float radius, float height) { return MakeVector4F(height, 2 * radius, 2 * radius, 0); }

TBoundBoxF RoundShapeBox(float radius, float height) { return CentredBox(height, 2 * radius, 2 * radius); }

void RoundShape::drawSelf() { DrawSolidBox(*this, getBoundingBox()); }

TBoundBoxF RoundShape::getBoundingBox() { return RoundShapeBox(radius_, height_); }

float RoundShape::getBoundingRadius() { return std::max(height_ / 2, radius_); }
