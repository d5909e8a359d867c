#pragma once
// `Gizmo`: the 3D manipulator of the design target. It stands where the
// target stands and passes every change of its own frame on to it; dragging
// the target itself moves it on the ground plane (Shift: up and down, Ctrl:
// turns it about its up axis), and its six handles (`GizmoBox`) move it along
// one axis or turn it about one. Moves snap to 0.5 units and turns to 15
// degrees; the handles keep their size on the screen. Without a target it
// draws nothing and is never hit.
#include "engine/scene/position_object.h"
#include "gui/design/design_target.h"

class GizmoBox;

class Gizmo : public PositionObject, public DesignTargetListener {
  Q_OBJECT(Gizmo, PositionObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  void draw() override;
  VisualObject* objectAt(float x, float y) override;
  bool pointInObject(float x, float y) override;
  bool rayHit(const TVector4F& origin, const TVector4F& direction) override;
  void invalidateTransform() override;
  void mouseDown(uint8_t button, uint8_t shift, float x, float y) override;
  void mouseMove(uint8_t shift, float dx, float dy, float x, float y) override;
  void mouseUp(uint8_t button, uint8_t shift, float x, float y) override;
  void objectRemoved(BaseObject* object) override;

  BaseObject* listenerObject() override { return this; }
  void designTargetChanged(BaseObject* target) override;

  // Takes the target's frame (it may have moved meanwhile), passing nothing back.
  void followTarget();
  // Gives the target the gizmo's frame and angles.
  void passToTarget();

  // The handle of a role ("movex", "rotatez" ...), or nil.
  GizmoBox* handle(const WideString& role) const;
  bool dragging() const { return dragging_; }

 private:
  // The target as a positioned object, or nil.
  PositionObject* positionedTarget() const;
  void resizeHandles(TDevice* device);

  bool dragging_ = false;
  GizmoBox* moveX_ = nullptr;
  GizmoBox* moveY_ = nullptr;
  GizmoBox* moveZ_ = nullptr;
  GizmoBox* rotateX_ = nullptr;
  GizmoBox* rotateY_ = nullptr;
  GizmoBox* rotateZ_ = nullptr;
  TVector4F grabOffset_;
  float zAngleSum_ = 0;
  // Set while the gizmo takes the target's frame, which it must not pass back.
  bool adopting_ = false;
};
