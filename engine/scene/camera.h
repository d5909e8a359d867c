#pragma once
// `Camera`: hands its frame to the device as the view whenever its transform
// changes, so the scene is seen from its position, along its direction, with
// its up. Of several enabled cameras the last one moved wins.
#include "engine/scene/position_object.h"

class Camera : public PositionObject {
  Q_OBJECT(Camera, PositionObject)

 public:
  void invalidateTransform() override;

  bool enabled() const { return enabled_; }
  // Enabling sends the camera's view at once.
  void setEnabled(bool value);

 private:
  bool enabled_ = true;
};
