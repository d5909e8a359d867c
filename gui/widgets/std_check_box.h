#pragma once
// The check box: a square that a left click over it ticks or clears, with its
// text beside it.
#include <cstdint>

#include "gui/gui_object.h"
#include "gui/widgets/widget_callback.h"

class TStdCheckBox : public GuiObject {
  Q_OBJECT(TStdCheckBox, GuiObject)

 public:
  void Create(TObject* owner) override;

  void mouseDown(uint8_t button, uint8_t shift, float x, float y) override;
  void mouseUp(uint8_t button, uint8_t shift, float x, float y) override;
  void drawSelf() override;

  bool checked() const { return checked_; }
  void setChecked(bool value);
  int32_t checkSize() const { return checkSize_; }
  void setCheckSize(int32_t value) { checkSize_ = value; }

  // Called after onClick, with the check box.
  WidgetCallback<TStdCheckBox*> clickCallback;

 private:
  bool checked_ = false;
  WideString onClick_;
  int32_t checkSize_ = 12;
};
