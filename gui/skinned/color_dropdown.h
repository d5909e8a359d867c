#pragma once
// The colour drop-down: a skinned drop-down whose list offers 96 colours as
// swatches in twelve columns; its value is the chosen colour, opaque.
#include "gui/skinned/dropdown.h"

class ColorDropdown : public Dropdown {
  Q_OBJECT(ColorDropdown, Dropdown)

 public:
  void Create(TObject* owner) override;
  void drawSelf() override;
  void paintItem(int32_t index, const TRectF& rect) override;

  // "#FF000000" with nothing chosen, else the chosen colour made opaque.
  WideString colorValue() const;
  // Chooses the entry of the colour's red, green and blue; a colour that is
  // not offered changes nothing.
  void setColorValue(const WideString& value);
};
