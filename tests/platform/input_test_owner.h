#pragma once
// An applet stand-in for input tests: the window owner of the window tests
// plus an event queue that keeps the records posted to it, in order.
#include <memory>
#include <string>
#include <vector>

#include "platform/input_records.h"
#include "platform/win32/input_owner.h"
#include "platform/win32/window.h"
#include "tests/platform/window_test_owner.h"

class InputTestOwner : public TestWindowOwner, public TInputOwner {
 public:
  ~InputTestOwner() override { clear(); }

  bool hasQueue = true;
  bool cursorSystem = false;
  int spriteShown = 0;
  int spriteHidden = 0;
  std::vector<bool> pauses;
  std::vector<TLowEvent*> records;

  bool HasEventQueue() const override { return hasQueue; }
  void QueueEvent(TLowEvent* event) override { records.push_back(event); }
  bool CursorSystem() const override { return cursorSystem; }
  void ShowCursorSprite(bool visible) override { ++(visible ? spriteShown : spriteHidden); }
  void SetPause(bool paused) override { pauses.push_back(paused); }

  // The recording form of every record so far.
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (TLowEvent* e : records) out.push_back(WideToUtf8(EventToText(e)));
    return out;
  }
  void clear() {
    for (TLowEvent* e : records) e->Free();
    records.clear();
  }
};

// A window record owned by nothing, freed with the test.
struct WindowRecordDeleter {
  void operator()(TWindow* window) const { window->Free(); }
};
using WindowRecord = std::unique_ptr<TWindow, WindowRecordDeleter>;

inline WindowRecord MakeWindowRecord(InputTestOwner& owner) {
  WindowRecord window(New<TWindow>());
  window->applet = &owner;
  return window;
}
