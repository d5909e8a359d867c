#pragma once
// The log writer and the step handler of the program.
//
// log.txt lives in a folder named after the applet's pre-read title under the
// application-data folder. Nothing is written until that title is known; the
// first line of a run replaces the previous run's file, every later line is
// appended. The file is opened and closed for every line, so nothing is lost
// when the program ends abruptly.
#include <string>

#include "core/engine.h"

class BaseObject;

class TLog {
 public:
  // The log handler: appends one formed line ("HH:MM:SS (i) text") and CR LF.
  void Write(const WideString& line);
  // The step handler: pump waiting window messages, run one applet step, sleep
  // as long as the step asks.
  void Step(BaseObject* applet);

  // The folder the log goes to for the current title (ends in "/"), or empty.
  static std::string LogFolder();

 private:
  bool firstWrite_ = true;
};

// The main applet's pre-read width, height and title; its title names the log folder.
AppletInfo& ProgramAppletInfo();
