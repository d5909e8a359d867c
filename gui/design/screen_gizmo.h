#pragma once
// `ScreenGizmo`: the 2D manipulator of a design target on the screen: a
// rectangle over the target with a centre handle (drag the edges or the
// centre to move it), a size handle at the bottom-right corner and a rotate
// handle in the middle of the right edge. Moves and sizes snap to the grid
// step, turns to 15 degrees; like the 3D gizmo it passes its own frame (and
// its size, to a GUI target) on to the target. A move starts from where the
// gizmo stands, so it never jumps on the first move.
#include "engine/scene/position_object.h"
#include "gui/design/design_target.h"

class ScreenGizmo : public PositionObject, public DesignTargetListener {
  Q_OBJECT(ScreenGizmo, PositionObject)

 public:
  // Program-wide: half the side of a handle square, and the grid that moves
  // and sizes snap to (0: no snapping).
  static float handleHalfSize;
  static float gridStep;

  void Create(TObject* owner) override;
  void Destroy() override;

  void draw() override;
  bool pointInObject(float x, float y) override;
  void invalidateTransform() override;
  void mouseDown(uint8_t button, uint8_t shift, float x, float y) override;
  void mouseMove(uint8_t shift, float dx, float dy, float x, float y) override;
  void mouseUp(uint8_t button, uint8_t shift, float x, float y) override;
  void objectRemoved(BaseObject* object) override;

  BaseObject* listenerObject() override { return this; }
  void designTargetChanged(BaseObject* target) override;
  // Takes the target's place, angle and size, passing nothing back.
  void followTarget();

  float width() const { return width_; }
  float height() const { return height_; }
  bool dragging() const { return dragging_; }

 private:
  PositionObject* positionedTarget() const;
  void passToTarget();
  // Whether a local point lies in the square of half-size k around (cx, cy).
  static bool inHandle(float x, float y, float cx, float cy);

  bool dragging_ = false;
  float width_ = 0;
  float height_ = 0;
  bool moveMode_ = false;
  bool sizeMode_ = false;
  bool rotateMode_ = false;
  float sumX_ = 0;
  float sumY_ = 0;
  float startAngle_ = 0;
  float angleStep_ = 0;
  bool adopting_ = false;
};
