#pragma once
// `StaticText`: a line (or, with `wordWrap`, a paragraph) of text in the
// widget's font, vertically centred in its rectangle and set out along the
// line as `textAlign` says.
#include "gui/gui_object.h"

class StaticText : public GuiObject {
  Q_OBJECT(StaticText, GuiObject)

 public:
  void drawSelf() override;

  TTextAlign textAlign() const { return textAlign_; }
  // Only stores: the next frame shows it.
  void setTextAlign(TTextAlign value) { textAlign_ = value; }
  bool wordWrap() const { return wordWrap_; }
  void setWordWrap(bool value) { wordWrap_ = value; }

 private:
  TTextAlign textAlign_ = taLeft;
  bool wordWrap_ = false;
};
