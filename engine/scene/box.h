#pragma once
// `Box`: a solid box of width x height x depth centred on the object's
// position, hit by rays that enter it, taking part in physics as a box body.
#include "engine/scene/position_object.h"

class Box : public PositionObject {
  Q_OBJECT(Box, PositionObject)

 public:
  void Create(TObject* owner) override;

  void drawSelf() override;
  TBoundBoxF getBoundingBox() override;
  float getBoundingRadius() override;
  bool rayHit(const TVector4F& origin, const TVector4F& direction) override;
  bool pointInObject(float x, float y) override;
  void createBody() override;
  void destroyBody() override;

  float width() const { return width_; }
  void setWidth(float value) { width_ = value; }
  float height() const { return height_; }
  void setHeight(float value) { height_ = value; }
  float depth() const { return depth_; }
  void setDepth(float value) { depth_ = value; }
  // (width, height, depth).
  TVector4F size() const { return MakeVector4F(width_, height_, depth_, 0); }

 private:
  float width_ = 1.0f;
  float depth_ = 1.0f;
  float height_ = 1.0f;
};
