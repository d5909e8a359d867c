#include "engine/scene/camera.h"

#include "engine/applet/applet.h"
#include "platform/device.h"

const ClassInfo& Camera::staticClassInfo() {
  static const ClassInfo info =
      ClassBuilder<Camera>("Camera").property("enabled", &Camera::enabled, &Camera::setEnabled).defaultValue(1).build();
  return info;
}

void Camera::invalidateTransform() {
  inherited::invalidateTransform();
  Applet* applet = ownerApplet();
  if (!enabled_ || !applet || !applet->device()) return;
  applet->device()->SetCamera(getWorldPosition(), getWorldDirection(), getWorldUp());
}

void Camera::setEnabled(bool value) {
  enabled_ = value;
  if (value) invalidateTransform();
}
