#pragma once
// The push button: takes the mouse on a left press and clicks when the left
// button is let go over it: the "click_snd" effect, the onClick handler, the
// native click callback, and, with a modal result, the end of the applet's
// top modal wait.
#include <cstdint>

#include "gui/gui_object.h"
#include "gui/widgets/widget_callback.h"

class TStdButton : public GuiObject {
  Q_OBJECT(TStdButton, GuiObject)

 public:
  void Create(TObject* owner) override;

  void mouseDown(uint8_t button, uint8_t shift, float x, float y) override;
  void mouseUp(uint8_t button, uint8_t shift, float x, float y) override;
  void drawSelf() override;

  // A byte, published as a number.
  int32_t modalResult() const { return modalResult_; }
  void setModalResult(int32_t value) { modalResult_ = static_cast<uint8_t>(value); }
  TTextAlign textAlign() const { return textAlign_; }
  void setTextAlign(TTextAlign value) { textAlign_ = value; }
  const WideString& onClick() const { return onClick_; }
  void setOnClick(const WideString& script) { onClick_ = script; }

  // Called after onClick, with the button.
  WidgetCallback<TStdButton*> clickCallback;

 protected:
  // The click of a left release over the button; answers false when the
  // button was freed meanwhile (its handler or callback disposed of it).
  bool click();

 private:
  uint8_t modalResult_ = 0;
  WideString onClick_;
  TTextAlign textAlign_ = taCenter;
};
