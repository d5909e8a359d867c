#include "engine/scene/mirror.h"

#include "engine/applet/applet.h"
#include "platform/device.h"

const ClassInfo& Mirror::staticClassInfo() {
  using M = Mirror;
  static const ClassInfo info = ClassBuilder<M>("Mirror")
                                    .property("mirrored", &M::mirrored, &M::setMirrored).defaultValue(0)
                                    .property("width", &M::width, &M::setWidth)
                                    .property("height", &M::height, &M::setHeight)
                                    .property("mirrorObject", &M::mirrorObject, &M::setMirrorObject)
                                    .build();
  return info;
}

// The mirror watches the reflected object's removal, so that its end reaches
// objectRemoved here.
void Mirror::setMirrorObject(PositionObject* value) {
  if (value == mirrorObject_) return;
  unwatchRemovalOf(mirrorObject_);
  mirrorObject_ = value;
  watchRemovalOf(mirrorObject_);
}

void Mirror::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  if (object == mirrorObject_) mirrorObject_ = nullptr;
}

// The view is reflected for the pass and the winding of every face turns
// with it, so front faces are culled meanwhile.
void Mirror::drawSelf() {
  Applet* applet = ownerApplet();
  TDevice* device = applet ? applet->device() : nullptr;
  if (!device || !mirrorObject_ || designTime() || reflecting_) return;
  TMatrix4F& view = device->windowParts().camera.view;
  const TMatrix4F saved = view;
  view = MatMultiply(MatReflection(getWorldPosition(), getWorldUp()), saved);
  device->SetRenderState(rs2D);
  device->SetRenderState(rs3D);
  device->SetRenderState(rsCullFront);
  drawReflection(*mirrorObject_);
  view = saved;
  device->SetRenderState(rs2D);
  device->SetRenderState(rs3D);
  device->SetRenderState(rsCullBack);
}

// The object draws in its own frame and material; its children only when it
// takes part in mirror passes itself.
void Mirror::drawReflection(PositionObject& object) {
  const bool outer = mirrorPassRunning;
  mirrorPassRunning = true;
  reflecting_ = true;
  object.prepareDraw(ownerApplet()->device());
  object.drawSelf();
  if (object.mirrored()) object.drawChildren();
  reflecting_ = false;
  mirrorPassRunning = outer;
}
