#pragma once
// `Rect`: a rectangle filled in its material's colour, centred on the
// object's position (normally on the screen). It is hit where it covers the
// point, and takes part in physics as a flat box.
#include "engine/scene/position_object.h"

class Rect : public PositionObject {
  Q_OBJECT(Rect, PositionObject)

 public:
  void Create(TObject* owner) override;

  void drawSelf() override;
  bool pointInObject(float x, float y) override;
  float getBoundingRadius() override;
  TBoundBoxF getCoveringBox() override;
  void createBody() override;
  void destroyBody() override;

  float width() const { return width_; }
  void setWidth(float value) { width_ = value; }
  float height() const { return height_; }
  void setHeight(float value) { height_ = value; }

 private:
  float width_ = 10.0f;
  float height_ = 10.0f;
};

// The box body depth of a rect and of a sprite.
inline constexpr float kRectBodyDepth = 10.0f;
inline constexpr float kSpriteBodyDepth = 50.0f;
