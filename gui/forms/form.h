#pragma once
// `Form`: a window-like panel with a title strip, which the user drags with
// the left button while its style holds `fsMoveable`. A focused form comes
// to the front of its siblings. `ImageForm` draws the skin's "form" element
// under the title.
#include "core/objects/class_builder.h"
#include "gui/gui_object.h"
#include "gui/skinned/skin_pixmap_owner.h"

enum TFormStyle : uint8_t { fsMoveable, fsSizeble };
Q_DECLARE_ENUM(TFormStyle)
using TFormStyles = SetOf<TFormStyle>;

class Form : public GuiObject {
  Q_OBJECT(Form, GuiObject)

 public:
  void Create(TObject* owner) override;
  void drawSelf() override;
  void focusGained() override;
  void mouseDown(uint8_t button, uint8_t shift, float x, float y) override;
  void mouseMove(uint8_t shift, float dx, float dy, float x, float y) override;
  void mouseUp(uint8_t button, uint8_t shift, float x, float y) override;

  // Runs the form's "close" effect when it has one, else hides it at once.
  void close();

  TFormStyles style() const { return style_; }
  // A moveable form tracks the mouse; any other does not.
  void setStyle(TFormStyles value);
  bool dragging() const { return dragging_; }

 protected:
  // The title, centred in the strip along the top.
  void drawTitle();

 private:
  bool styleStored() const { return style_ != TFormStyles{fsMoveable}; }

  bool dragging_ = false;
  TFormStyles style_{fsMoveable};
};

class ImageForm : public SkinPixmapOwner<Form> {
  Q_OBJECT(ImageForm, SkinPixmapOwner<Form>)

 public:
  ImageForm() : inherited(u"form") {}
  void drawSelf() override;
};
