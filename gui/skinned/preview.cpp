#include "gui/skinned/preview.h"

#include "core/geometry/coordinates.h"
#include "core/system/log.h"
#include "engine/applet/applet.h"
#include "engine/scene/position_object.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/device.h"

namespace {
// The angle the object is tipped towards the viewer, and how far it turns
// each frame.
constexpr float kTipAngle = 135;
constexpr float kTurnStep = 0.1f;

}  // namespace

void ShowOnScreen(BaseObject* object) {
  if (auto* positioned = dynamic_cast<PositionObject*>(object)) positioned->setKind(okScreen);
  for (int i = 0; i < object->count(); ++i) ShowOnScreen(object->childAt(i));
}

const ClassInfo& Preview::staticClassInfo() {
  using P = Preview;
  static const ClassInfo info = ClassBuilder<P>("Preview")
                                    .property("objectFile", &P::objectFile, &P::setObjectFile)
                                    .property("objectScale", &P::objectScale, &P::setObjectScale).floatDefault(1.0f)
                                    .build();
  return info;
}

void Preview::setObjectFile(const WideString& name) {
  if (name == objectFile_) return;
  objectFile_ = name;
  // While the preview itself is read, the file is loaded once it is whole.
  if (!hasState(csLoading)) loadObject();
}

void Preview::Loaded() {
  inherited::Loaded();
  if (!objectFile_.empty() && !object_) loadObject();
}

void Preview::loadObject() {
  Applet* applet = ownerApplet();
  if (!applet || objectFile_.empty()) return;
  BaseObject* loaded = applet->newFromFile(objectFile_, this);
  auto* object = dynamic_cast<PositionObject*>(loaded);
  if (!object) {
    LogError(u"Preview " + name() + u": " + objectFile_ + u" holds no object to show");
    if (loaded) loaded->Free();
    return;
  }
  // An object shown before stays where it is, hidden.
  setObject(object);
  object->hide();
  object->setXAngle(kTipAngle);
  object->velocity()->setXYZ(0, 0, 0);
  ShowOnScreen(object);
  update();
}

void Preview::setObject(PositionObject* object) {
  if (object == object_) return;
  unwatchRemovalOf(object_);
  object_ = object;
  watchRemovalOf(object_);
}

void Preview::objectRemoved(BaseObject* object) {
  if (object == object_) object_ = nullptr;
  inherited::objectRemoved(object);
}

void Preview::drawSelf() {
  TDevice* device = WidgetDevice(this);
  if (!device || !object_) return;
  device->saveRenderState();
  object_->scale()->setXYZ(objectScale_, objectScale_, objectScale_);
  object_->position()->setXYZ(width() / 2, height() / 2, 0);
  object_->setZAngle(object_->zAngle() + kTurnStep);
  object_->draw();
  device->restoreRenderState();
}
