#pragma once
// `Frame`: the design selection frame. It follows one root object: a GUI
// root gives the frame its rectangle, and moving or sizing the frame moves
// or sizes the root. The newest frame is the program's frame: its select
// operation is the selection hook, which makes an object of the frame's own
// subtree (under the frame's parent) its root and runs `onSelect` with the
// object as the event's paramObject. The frame draws nothing of its own and
// has no hit area of its own.
#include "engine/scene/position_object.h"

class Frame : public PositionObject {
  Q_OBJECT(Frame, PositionObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  void mouseDown(uint8_t button, uint8_t shift, float x, float y) override;
  void mouseMove(uint8_t shift, float dx, float dy, float x, float y) override;
  void mouseUp(uint8_t button, uint8_t shift, float x, float y) override;
  void objectRemoved(BaseObject* object) override;

  // Makes an object of the subtree under the frame's parent the root.
  void select(BaseObject* object);

  BaseObject* root() const { return root_; }
  void setRoot(BaseObject* value);
  WideString rootByName() const;
  void setRootByName(const WideString& name);
  const TRectF& rect() const { return rect_; }

 private:
  static void selectThrough(BaseObject* frame, BaseObject* object);
  void fitToRoot();
  void applyRect();

  BaseObject* root_ = nullptr;
  TRectF rect_ = MakeRectF(0, 0, 1, 1);
  bool moveMode_ = false;
  bool sizeMode_ = false;
  WideString onSelect_;
};
