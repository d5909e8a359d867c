#pragma once
// A running applet for the event queue's display tests: a game folder with a
// real main.qxml loaded by the engine root, frames run through the program's
// step handler, input queued as the window procedure queues it, and a button
// class that reacts to clicks and keys through script handlers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "compat/win32/system.h"
#include "core/objects/class_builder.h"
#include "core/objects/class_registry.h"
#include "core/objects/engine.h"
#include "core/objects/step_handler.h"
#include "engine/applet/applet.h"
#include "engine/applet/log_writer.h"
#include "engine/event.h"
#include "engine/registration.h"
#include "platform/input_records.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

// A rectangle that takes clicks and focus; its key handlers see the key of
// the last key record in `lastKey` and `lastChar`.
class EventTestButton : public VisualObject {
  Q_OBJECT(EventTestButton, VisualObject)

 public:
  EventTestButton() { setVisualFlags(vfHitTestable | vfFocusable); }

  bool pointInObject(float x, float y) override {
    return x >= hitLeft && x < hitRight && y >= hitTop && y < hitBottom;
  }
  void keyDown(uint16_t& key, uint16_t& character, uint8_t) override {
    lastKey = key;
    lastChar = character;
    runHandler(WideString(onKeyDown));
  }
  void keyUp(uint16_t& key, uint16_t& character, uint8_t) override {
    lastKey = key;
    lastChar = character;
    runHandler(WideString(onKeyUp));
  }

  float hitLeft = 0, hitTop = 0, hitRight = 0, hitBottom = 0;
  int32_t lastKey = 0, lastChar = 0;
  WideString onKeyDown, onKeyUp;
};

inline const ClassInfo& EventTestButton::staticClassInfo() {
  using B = EventTestButton;
  static const ClassInfo info = ClassBuilder<B>("EventTestButton")
                                    .property("hitLeft", &B::hitLeft)
                                    .property("hitTop", &B::hitTop)
                                    .property("hitRight", &B::hitRight)
                                    .property("hitBottom", &B::hitBottom)
                                    .property("lastKey", &B::lastKey)
                                    .property("lastChar", &B::lastChar)
                                    .property("onKeyDown", &B::onKeyDown)
                                    .property("onKeyUp", &B::onKeyUp)
                                    .build();
  return info;
}

// One game: writes main.qxml (and whatever else a test adds) into a folder of
// its own, with the application-data folder in another, and runs it.
class EventTestGame {
 public:
  EventTestGame() {
    RegisterAllClasses();
    RegisterClass(EventTestButton::staticClassInfo());
    const char* old = std::getenv("XDG_DATA_HOME");
    hadDataHome_ = old != nullptr;
    if (old) savedDataHome_ = old;
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    StepHandler() = [this](BaseObject* applet) {
      ++passes;
      if (beforeStep) beforeStep(passes);
      if (this->applet && GetTickCount() > deadline_ && !this->applet->terminated()) {
        // A wait that input should have ended but did not: end the game, so
        // that the test fails instead of hanging.
        ADD_FAILURE() << "the game ran past its time";
        this->applet->terminate();
      }
      stepper_.Step(applet);
    };
  }
  ~EventTestGame() {
    unload();
    StepHandler() = nullptr;
    if (hadDataHome_) {
      setenv("XDG_DATA_HOME", savedDataHome_.c_str(), 1);
    } else {
      unsetenv("XDG_DATA_HOME");
    }
  }
  EventTestGame(const EventTestGame&) = delete;
  EventTestGame& operator=(const EventTestGame&) = delete;

  // Loads main.qxml with the given applet attributes and children; answers
  // the applet (nil when it did not load).
  Applet* load(const std::string& appletAttributes, const std::string& children) {
    unload();
    game.write("main.qxml", "<?xml version=\"1.0\"?>\r\n<Applet name=\"app\" title=\"Event Test\" width=\"320\" "
                            "height=\"200\" " +
                                appletAttributes + ">\r\n" + children + "</Applet>\r\n");
    engine_ = New<SomeEngine>(nullptr);
    deadline_ = GetTickCount() + 20000;
    applet = dynamic_cast<Applet*>(engine_->loadApplet(game.file("main.qxml")));
    return applet;
  }
  void unload() {
    if (engine_) engine_->Free();  // frees the applet with it
    engine_ = nullptr;
    applet = nullptr;
  }

  // Input as the window procedure posts it.
  void click(int32_t x, int32_t y, uint8_t button = kButtonLeft) {
    const uint8_t held = button == kButtonLeft ? kShiftLeftButton : kShiftRightButton;
    applet->QueueEvent(TMouseEvent::Create(lekMouseDown, button, x, y, 0, 0, held, applet->window()));
    applet->QueueEvent(TMouseEvent::Create(lekMouseUp, button, x, y, 0, 0, held, applet->window()));
  }
  void key(uint16_t virtualKey, uint16_t character) {
    applet->QueueEvent(TKeyEvent::Create(lekKeyDown, virtualKey, character, 0, applet->window()));
    applet->QueueEvent(TKeyEvent::Create(lekKeyUp, virtualKey, character, 0, applet->window()));
  }
  void closeWindow() {
    applet->QueueEvent(TActionEvent::Create(lekWindowAction, applet->window(), kActionDeactivated));
    applet->QueueEvent(TActionEvent::Create(lekWindowAction, applet->window(), kActionClose));
  }

  // Runs program passes (each pumps messages, runs a frame when one is due
  // and sleeps as the frame rule asks).
  void step(int passes = 1) {
    for (int i = 0; i < passes && applet && !applet->terminated(); ++i) StepHandler()(applet);
  }
  // Runs passes until `done` holds or `seconds` of real time have passed.
  template <typename Predicate>
  bool stepUntil(Predicate done, double seconds = 5.0) {
    const uint32_t until = GetTickCount() + static_cast<uint32_t>(seconds * 1000);
    while (!done()) {
      if (GetTickCount() > until || !applet || applet->terminated()) return done();
      StepHandler()(applet);
    }
    return true;
  }

  // What scripts wrote through engine.log("@..."), in order, without the "@".
  std::vector<std::string> scriptLines(const std::string& prefix = "(i) @") const {
    std::vector<std::string> out;
    for (const std::string& m : log.messages()) {
      if (m.rfind(prefix, 0) == 0) out.push_back(m.substr(prefix.size()));
    }
    return out;
  }

  TempDir game, data;
  LogCapture log;
  Applet* applet = nullptr;
  // Program passes so far; the hook runs before each, where the window
  // procedure would post what the pump brought in.
  int passes = 0;
  std::function<void(int pass)> beforeStep;

 private:
  TLog stepper_;
  SomeEngine* engine_ = nullptr;
  uint32_t deadline_ = 0;
  bool hadDataHome_ = false;
  std::string savedDataHome_;
};
