#pragma once
// `Preview`: shows the object of an object file turning slowly in the middle
// of the widget, at a scale of its own. The object lives under the preview,
// hidden from the ordinary drawing; the preview draws it itself.
#include "gui/gui_object.h"

class PositionObject;

class Preview : public GuiObject {
  Q_OBJECT(Preview, GuiObject)

 public:
  void Loaded() override;
  void objectRemoved(BaseObject* object) override;
  void drawSelf() override;

  const WideString& objectFile() const { return objectFile_; }
  // Loads the file under the preview; a file that does not load, or holds
  // no positioned object, leaves nothing to show (and is logged).
  void setObjectFile(const WideString& name);
  float objectScale() const { return objectScale_; }
  void setObjectScale(float value) { objectScale_ = value; }
  // The object shown, or nil.
  PositionObject* object() const { return object_; }

 private:
  void loadObject();
  void setObject(PositionObject* object);

  WideString objectFile_;
  PositionObject* object_ = nullptr;
  float objectScale_ = 1.0f;
};

// Switches the object and all its descendants to the screen projection, as
// the previews and object lists show what they loaded.
void ShowOnScreen(BaseObject* object);
