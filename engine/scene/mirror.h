#pragma once
// `Mirror`: draws another positioned object reflected in the mirror's plane
// (through its position, across its up axis), with the objects that take part
// in mirror passes below it. The reflected object is dropped when it is
// freed. Nothing is reflected at design time.
#include "engine/scene/position_object.h"

class Mirror : public PositionObject {
  Q_OBJECT(Mirror, PositionObject)

 public:
  void objectRemoved(BaseObject* object) override;
  void drawSelf() override;
  // What the mirror shows lies elsewhere: the mirror is never culled.
  bool passesCulling() override { return true; }

  float width() const { return width_; }
  void setWidth(float value) { width_ = value; }
  float height() const { return height_; }
  void setHeight(float value) { height_ = value; }
  PositionObject* mirrorObject() const { return mirrorObject_; }
  void setMirrorObject(PositionObject* value);

 protected:
  bool mirroredAtStart() const override { return false; }

 private:
  void drawReflection(PositionObject& object);

  // Kept for object files; the reflection does not depend on them.
  float width_ = 0;
  float height_ = 0;
  PositionObject* mirrorObject_ = nullptr;
  // Set while the reflection draws: a mirror that shows one of its own
  // ancestors meets itself again and stops there.
  bool reflecting_ = false;
};
