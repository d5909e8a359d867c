#pragma once
// `InspectorForm`: the form the applet shows the inspector in (its top
// layer holds one, hidden until an object is designed). While shown it
// follows the design selection: a design-time click shows the clicked
// object's properties.
#include "gui/design/design_target.h"
#include "gui/forms/form.h"

class Inspector;

class InspectorForm : public ImageForm, public DesignTargetListener {
  Q_OBJECT(InspectorForm, ImageForm)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  // Lays the inspector out in the form whenever the form moves or changes
  // size (a new size alone does not move the form).
  void realign() override;
  void objectRemoved(BaseObject* object) override;

  BaseObject* listenerObject() override { return this; }
  void designTargetChanged(BaseObject* target) override;

  BaseObject* root() const;
  void setRoot(BaseObject* value);
  Inspector* inspector() const { return inspector_; }
  GuiObject* closeButton() const { return closeButton_; }

 private:
  GuiObject* closeButton_ = nullptr;
  Inspector* inspector_ = nullptr;
};
