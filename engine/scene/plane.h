#pragma once
// `Plane`: a skin pixmap drawn over a width x height rectangle in the
// object's own x-y plane, centred on its position. Its pixmap is filled
// property by property from object files; assigning one does nothing.
#include "engine/scene/position_object.h"

class TSkinPixmapPersistent;

class Plane : public PositionObject {
  Q_OBJECT(Plane, PositionObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  void drawSelf() override;
  TBoundBoxF getCoveringBox() override;

  TSkinPixmapPersistent* pixmap() const { return pixmap_; }
  void setPixmap(TSkinPixmapPersistent*) {}
  float width() const { return width_; }
  void setWidth(float value) { width_ = value; }
  float height() const { return height_; }
  void setHeight(float value) { height_ = value; }

 protected:
  bool mirroredAtStart() const override { return false; }

 private:
  TSkinPixmapPersistent* pixmap_ = nullptr;
  float width_ = 1.0f;
  float height_ = 1.0f;
};
