#include "gui/design/inspector_form.h"

#include "engine/media/skin_pixmap_persistent.h"
#include "gui/design/inspector.h"
#include "gui/forms/close_button.h"

const ClassInfo& InspectorForm::staticClassInfo() {
  using F = InspectorForm;
  static const ClassInfo info = ClassBuilder<F>("InspectorForm").property("root", &F::root, &F::setRoot).stored(false).build();
  return info;
}

void InspectorForm::Create(TObject* owner) {
  inherited::Create(owner);
  setHotTrack(true);
  setText(u"Inspector");
  inspector_ = New<Inspector>(this);
  // The form makes its parts itself: storing them would double them.
  inspector_->setComponentStyle(csTransient);
  watchRemovalOf(inspector_);
  auto* close = New<CloseButton>(this);
  close->setComponentStyle(csTransient);
  close->setRect(MakeRectF(width() - 16, 4, width() - 4, 16));
  close->setAlign(gaTopRight);
  close->pixmap()->setObjectName(u"closebtn");
  closeButton_ = close;
  watchRemovalOf(closeButton_);
  realign();
  AddDesignTargetListener(this);
}

void InspectorForm::Destroy() {
  RemoveDesignTargetListener(this);
  inherited::Destroy();
}

void InspectorForm::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  if (object == inspector_) inspector_ = nullptr;
  if (object == closeButton_) closeButton_ = nullptr;
  DesignObjectRemoved(object);
}

void InspectorForm::realign() {
  inherited::realign();
  if (inspector_) inspector_->setRect(MakeRectF(5, 25, width() - 5, height() - 5));
}

void InspectorForm::designTargetChanged(BaseObject* target) {
  if (target && visible()) setRoot(target);
}

BaseObject* InspectorForm::root() const { return inspector_ ? inspector_->root() : nullptr; }

void InspectorForm::setRoot(BaseObject* value) {
  if (inspector_) inspector_->setRoot(value);
}
