#include <cstdlib>

#include "compat/win32/test_hooks.h"
#include "core/objects/engine.h"
#include "engine/applet/applet.h"
#include "engine/registration.h"
#include "tests/engine/applet_world.h"

AppletWorld::AppletWorld(const std::string& mainText, uint32_t startMs) : startMs_(startMs) {
  RegisterAllClasses();
  if (const char* old = std::getenv("XDG_DATA_HOME")) {
    savedDataHome_ = old;
    hadDataHome_ = true;
  }
  setenv("XDG_DATA_HOME", data.path().c_str(), 1);
  win32_test::SetFakeClock(startMs);
  game.write("main.qxml", mainText);
  engine = New<SomeEngine>(nullptr);
  applet = dynamic_cast<Applet*>(engine->loadApplet(game.file("main.qxml")));
}

AppletWorld::~AppletWorld() {
  shutDown();
  win32_test::SetFakeClock(std::nullopt);
  if (hadDataHome_) {
    setenv("XDG_DATA_HOME", savedDataHome_.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
}

void AppletWorld::setClock(uint32_t ms) { win32_test::SetFakeClock(ms); }

void AppletWorld::shutDown() {
  if (!engine) return;
  engine->Free();
  engine = nullptr;
  applet = nullptr;
}

int AppletWorld::indexOf(const std::string& message) const {
  const auto messages = log.messages();
  for (size_t i = 0; i < messages.size(); ++i) {
    if (messages[i] == message) return static_cast<int>(i);
  }
  return -1;
}

std::vector<std::string> AppletWorld::messagesBetween(const std::string& first, const std::string& last) const {
  const auto messages = log.messages();
  const int from = indexOf(first);
  if (from < 0) return {};
  for (size_t i = static_cast<size_t>(from) + 1; i < messages.size(); ++i) {
    if (messages[i] == last) {
      return std::vector<std::string>(messages.begin() + from + 1, messages.begin() + static_cast<long>(i));
    }
  }
  return {};
}

std::string AppletText(const std::string& attributes, const std::string& children) {
  return "<?xml version=\"1.0\"?>\r\n<Applet " + attributes + ">\r\n" + children + "</Applet>\r\n";
}
