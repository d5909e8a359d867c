#pragma once
// `GizmoBox`: one handle of the gizmo, a box that its `tagString` gives a
// role ("movex", "movey", "movez", "rotatex", "rotatey", "rotatez") and its
// `tagInt` a colour. Dragged with the left button alone it moves the gizmo
// along its axis in 0.5-unit steps, or turns it about its axis in 15-degree
// steps; with a modifier key held it does nothing.
//
// A move is measured in the gizmo's frame as it stood when the handle was
// pressed, from the point where the handle was grabbed, so the gizmo never
// jumps on the first move and small moves add up. A drag plane that the
// view meets edge-on (looking straight down the axis) gives no point and is
// skipped.
#include "engine/scene/box.h"

class Gizmo;

class GizmoBox : public Box {
  Q_OBJECT(GizmoBox, Box)

 public:
  void Create(TObject* owner) override;

  void draw() override;
  void mouseDown(uint8_t button, uint8_t shift, float x, float y) override;
  void mouseMove(uint8_t shift, float dx, float dy, float x, float y) override;
  void mouseUp(uint8_t button, uint8_t shift, float x, float y) override;

  bool dragging() const { return dragging_; }
  const TVector4F& lastHit() const { return lastHit_; }

 private:
  Gizmo* gizmo() const;
  // 0, 1, 2 for the x, y, z handles.
  int axisIndex() const;
  bool isMoveHandle() const;
  // The normal of a move handle's drag plane, from the gizmo frame `frame`:
  // the plane holds the axis and faces the camera as far as it can. False
  // when the view looks along the axis.
  bool movePlane(const TMatrix4F& frame, TVector4F& normal) const;
  // The pick ray's point on the move plane, in the frame at the press.
  bool moveHit(const TVector4F& origin, const TVector4F& direction, TVector4F& local);
  void dragMove(const TVector4F& origin, const TVector4F& direction);
  void dragRotate(const TVector4F& origin, const TVector4F& direction);

  TVector4F lastHit_;
  float angleStep_ = 0;
  float startAngle_ = 0;
  bool dragging_ = false;
  // The gizmo's world frame at the press, and the grabbed point in it.
  TMatrix4F pressFrame_ = IdentityMatrix4F;
  TVector4F grabPoint_;
  // Where the handle stood at the press (world).
  TVector4F pressAnchor_;
  bool grabbed_ = false;
};
