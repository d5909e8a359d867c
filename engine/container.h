#pragma once
// The visual object that routes input to the object under the mouse, the
// captured object or the focused object, tracks the hot (mouse-over) object and
// keeps a stack of modal objects. The applet is a Container, so input enters
// the tree there.
#include <vector>

#include "engine/visual_object.h"

class Container : public VisualObject {
  Q_OBJECT(Container, VisualObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void objectRemoved(BaseObject* object) override;

  void keyDown(uint16_t& key, uint16_t& character, uint8_t shift) override;
  void keyUp(uint16_t& key, uint16_t& character, uint8_t shift) override;
  void mouseWheel(uint8_t shift, int32_t delta) override;
  void mouseDown(uint8_t button, uint8_t shift, float x, float y) override;
  void mouseMove(uint8_t shift, float dx, float dy, float x, float y) override;
  void mouseUp(uint8_t button, uint8_t shift, float x, float y) override;
  VisualObject* objectAt(float x, float y) override;

  // Runs nested frames until `object` leaves the modal stack; answers the
  // modal result (4 at once when it is already on the stack). An object that
  // is not inside this container (nil, the container itself, an ancestor or
  // an object elsewhere) is refused with a log line and 0 at once.
  int32_t enterModal(VisualObject* object);
  void cancelModal(int32_t code);

  VisualObject* focusedObject() const { return focusedObject_; }
  void setFocusedObject(VisualObject* object);
  VisualObject* hotObject() const { return hotObject_; }
  void setHotObject(VisualObject* object);
  VisualObject* capturedObject() const { return capturedObject_; }
  void setCapturedObject(VisualObject* object) { capturedObject_ = object; }
  const std::vector<VisualObject*>& modalStack() const { return modalStack_; }
  uint8_t modalResult() const { return modalResult_; }
  // The result of a wait cancelled (Escape, the console's key, its object
  // freed).
  static constexpr uint8_t kModalCancelled = 4;

  // Asked before every nested step of a modal wait; true ends the wait.
  static bool (*modalStopPredicate)();

 private:
  bool tracks(VisualObject* object) const;

  VisualObject* focusedObject_ = nullptr;
  VisualObject* capturedObject_ = nullptr;
  VisualObject* hotObject_ = nullptr;
  std::vector<VisualObject*> modalStack_;
  uint8_t modalResult_ = 0;
  bool searching_ = false;  // objectAt is on the stack
};
