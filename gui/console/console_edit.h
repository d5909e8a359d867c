#pragma once
// The console's line edit: a one-line edit whose Up and Down keys walk
// through the console's history.
#include "gui/widgets/std_edit.h"

class TConsole;

class TConsoleEdit : public TStdEdit {
  Q_OBJECT(TConsoleEdit, TStdEdit)

 public:
  void keyDown(uint16_t& key, uint16_t& character, uint8_t shift) override;

  int32_t historyIndex() const { return historyIndex_; }
  void setHistoryIndex(int32_t value) { historyIndex_ = value; }

 private:
  TConsole* console() const;
  void historyUp();
  void historyDown();
  // The text := a history entry, the caret at its end.
  void showEntry(const WideString& entry);

  int32_t historyIndex_ = 0;
};
