#include "engine/scene/dummy.h"

#include "engine/applet/applet.h"

const ClassInfo& Dummy::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<Dummy>("Dummy").build();
  return info;
}

void Dummy::addChild(BaseObject* child) {
  inherited::addChild(child);
  if (auto* positioned = dynamic_cast<PositionObject*>(child); positioned && positioned->isGuiObject()) {
    guiHolder_ = true;
    realignChildren();
  }
}

void Dummy::invalidateTransform() {
  inherited::invalidateTransform();
  if (guiHolder_) realignChildren();
}

void Dummy::realignChildren() {
  Applet* applet = ownerApplet();
  if (!guiHolder_ || !applet || !applet->window()) return;
  applet->alignGuiChildrenOf(this);
}
