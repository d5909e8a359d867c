#pragma once
// The shapes sized by their own properties, drawn as the box around them:
// `BoxShape` (width x height x depth centred on the position: `Box`,
// `Trigger`) and `RoundShape` (a radius and a height along the local x axis:
// `Cone`, `Cylinder`). Each publishes its size through `publishSize`, so that
// every such class has the same names, order and defaults in streams, scripts
// and the inspector; neither is a published class of its own.
#include "core/objects/class_builder.h"
#include "engine/scene/position_object.h"

class BoxShape : public PositionObject {
 public:
  // Each edge starts at `edge`, the published default.
  explicit BoxShape(float edge) : width_(edge), depth_(edge), height_(edge) {}

  void drawSelf() override;
  TBoundBoxF getBoundingBox() override;

  float width() const { return width_; }
  void setWidth(float value) { width_ = value; }
  float height() const { return height_; }
  void setHeight(float value) { height_ = value; }
  float depth() const { return depth_; }
  void setDepth(float value) { depth_ = value; }
  // (width, height, depth).
  TVector4F size() const { return MakeVector4F(width_, height_, depth_, 0); }

  // Publishes width, height and depth, each with the default `edge`.
  template <typename Builder>
  static Builder& publishSize(Builder&& builder, float edge) {
    return builder.property("width", &BoxShape::width, &BoxShape::setWidth).floatDefault(edge)
        .property("height", &BoxShape::height, &BoxShape::setHeight).floatDefault(edge)
        .property("depth", &BoxShape::depth, &BoxShape::setDepth).floatDefault(edge);
  }

 private:
  float width_;
  float depth_;
  float height_;
};

class RoundShape : public PositionObject {
 public:
  void drawSelf() override;
  TBoundBoxF getBoundingBox() override;
  float getBoundingRadius() override;

  float radius() const { return radius_; }
  void setRadius(float value) { radius_ = value; }
  float height() const { return height_; }
  void setHeight(float value) { height_ = value; }
  // The size a physics body of the shape is made with: (radius, radius, height).
  TVector4F bodySize() const { return MakeVector4F(radius_, radius_, height_, 0); }

  // Publishes radius (default 0.5) and height (default 1).
  template <typename Builder>
  static Builder& publishSize(Builder&& builder) {
    return builder.property("radius", &RoundShape::radius, &RoundShape::setRadius).floatDefault(kRadius)
        .property("height", &RoundShape::height, &RoundShape::setHeight).floatDefault(kHeight);
  }

 private:
  static constexpr float kRadius = 0.5f;
  static constexpr float kHeight = 1.0f;

  float radius_ = kRadius;
  float height_ = kHeight;
};

// The box around a round shape of the radius and height: the height along x,
// the diameter along y and z.
TVector4F RoundShapeSize(float radius, float height);
TBoundBoxF RoundShapeBox(float radius, float height);
