#pragma once
// `Sprite`: a skin pixmap drawn over a rectangle centred on the object's
// position (normally on the screen). A sprite is never hit itself, only its
// children are; it takes part in physics as a deep box. The applet's mouse
// cursor is a sprite.
#include "engine/scene/position_object.h"

class TSkinPixmapPersistent;

class Sprite : public PositionObject {
  Q_OBJECT(Sprite, PositionObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  void drawSelf() override;
  float getBoundingRadius() override;
  TBoundBoxF getCoveringBox() override;
  void createBody() override;
  void destroyBody() override;

  TSkinPixmapPersistent* pixmap() const { return pixmap_; }
  // Copies the given description into the sprite's own pixmap.
  void setPixmap(TSkinPixmapPersistent* value);
  float width() const { return width_; }
  void setWidth(float value) { width_ = value; }
  float height() const { return height_; }
  void setHeight(float value) { height_ = value; }

 private:
  TSkinPixmapPersistent* pixmap_ = nullptr;
  float width_ = 10.0f;
  float height_ = 10.0f;
};
