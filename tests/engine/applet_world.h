#pragma once
// A running engine with one applet loaded from a main object file written to
// a temporary game folder, as the program loads it. The application-data
// folder is another temporary folder, the platform clock stands still at a
// chosen millisecond until the test moves it, and the log is captured.
#include <cstdint>
#include <string>

#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"

class Applet;
class AppletParts;
class SomeEngine;

class AppletWorld {
 public:
  // `mainText` is the whole main.qxml. The clock reads `startMs` while the
  // engine and the applet are made.
  explicit AppletWorld(const std::string& mainText, uint32_t startMs = 1000);
  ~AppletWorld();
  AppletWorld(const AppletWorld&) = delete;
  AppletWorld& operator=(const AppletWorld&) = delete;

  // The platform clock in milliseconds from now on.
  void setClock(uint32_t ms);
  // Milliseconds since the applet was made.
  void setAppletClock(uint32_t ms) { setClock(startMs_ + ms); }
  // Frees the engine (and with it the applet) now.
  void shutDown();
  // Lines logged so far, without time stamps, between two given lines
  // (exclusive); empty when either is missing.
  std::vector<std::string> messagesBetween(const std::string& first, const std::string& last) const;
  // Index of the first logged message equal to `message`, or -1.
  int indexOf(const std::string& message) const;

  TempDir data;
  TempDir game;
  LogCapture log;
  SomeEngine* engine = nullptr;
  Applet* applet = nullptr;

 private:
  uint32_t startMs_;
  std::string savedDataHome_;
  bool hadDataHome_ = false;
};

// Main-file text: an Applet element with the given attributes and children.
std::string AppletText(const std::string& attributes, const std::string& children = "");
