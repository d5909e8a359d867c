#pragma once
// The toggle: a button that steps through the texts of its items, one a
// click, and shows the current one.
#include <cstdint>

#include "gui/widgets/std_button.h"

class TWideStringList;

class TStdToggle : public TStdButton {
  Q_OBJECT(TStdToggle, TStdButton)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void Loaded() override;

  void mouseDown(uint8_t button, uint8_t shift, float x, float y) override;
  void mouseUp(uint8_t button, uint8_t shift, float x, float y) override;
  void drawSelf() override;

  int32_t itemIndex() const { return itemIndex_; }
  void setItemIndex(int32_t value);
  TWideStringList* items() const { return items_; }
  // Takes a copy of the given list's entries.
  void setItems(TWideStringList* value);

 private:
  WideString onChange_;
  int32_t itemIndex_ = 0;
  TWideStringList* items_ = nullptr;
  bool pressed_ = false;
};
