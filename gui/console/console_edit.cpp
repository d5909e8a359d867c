#include "gui/console/console_edit.h"

#include "core/objects/wide_strings.h"
#include "gui/console/console.h"
#include "gui/widget_lifetime.h"

namespace {
constexpr uint16_t kKeyUp = 38;
constexpr uint16_t kKeyDown = 40;
}  // namespace

const ClassInfo& TConsoleEdit::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TConsoleEdit>("TConsoleEdit").build();
  return info;
}

TConsole* TConsoleEdit::console() const { return dynamic_cast<TConsole*>(parent()); }

void TConsoleEdit::keyDown(uint16_t& key, uint16_t& character, uint8_t shift) {
  // Enter runs the line, which may free the console and this edit with it.
  KeepWidget self(this);
  inherited::keyDown(key, character, shift);
  if (WidgetGone(this)) return;
  if (key == kKeyUp) {
    historyUp();
  } else if (key == kKeyDown) {
    historyDown();
  }
}

void TConsoleEdit::historyUp() {
  TConsole* owner = console();
  if (!owner || historyIndex_ <= 0) return;
  --historyIndex_;
  showEntry(owner->history()->get(historyIndex_));
}

void TConsoleEdit::showEntry(const WideString& entry) {
  setText(entry);
  // What is typed next goes after the recalled line.
  setCaret(static_cast<int32_t>(text().size()));
}

void TConsoleEdit::historyDown() {
  TConsole* owner = console();
  if (!owner) return;
  const int count = owner->history()->getCount();
  if (historyIndex_ + 1 == count) setText(WideString());
  if (historyIndex_ < count - 1) {
    ++historyIndex_;
    showEntry(owner->history()->get(historyIndex_));
  }
}
