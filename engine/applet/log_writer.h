#pragma once
// The log writer and the step handler of the program.
//
// log.txt lives in a folder named after the applet's pre-read title (or,
// for a game without one, after the game's folder) under the
// application-data folder. Nothing is written until that name is known; the
// first line of a run moves the previous run's file to log.old.txt, so the
// report of a run that crashed survives the next start, and every later line
// is appended. A log stops growing at its size limit with a last line that
// says so. The file stays open, and every line goes to it in one unbuffered
// write, so nothing is lost when the program ends abruptly. Error lines also go to standard error, and
// on a terminal the lines the game's scripts log go to standard output.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "core/objects/engine.h"

class BaseObject;

class TLog {
 public:
  // A run's log is cut at this many bytes.
  static constexpr int64_t kDefaultSizeLimit = 16 << 20;

  explicit TLog(int64_t sizeLimit = kDefaultSizeLimit) : sizeLimit_(sizeLimit) {}
  ~TLog();
  TLog(const TLog&) = delete;
  TLog& operator=(const TLog&) = delete;

  // The log handler: appends one formed line ("HH:MM:SS (i) text") and CR LF.
  // The close watch may write the last line from its own thread; a line that
  // cannot have the file within a second (the main thread stuck inside a
  // write) is dropped.
  void Write(const WideString& line);
  // From now until `settle`, error lines wait before they go to standard
  // error: the start of a run, before the log's folder is known.
  void holdErrors() { holding_ = true; }
  // The log's folder is known (or will never be): on a terminal, standard
  // error gets the log file's path first, then the errors held so far.
  void settle();
  // The step handler: pump waiting window messages, run one applet step, sleep
  // as long as the step asks.
  void Step(BaseObject* applet);

  // The folder the log goes to (ends in "/"), or empty while its name is not known.
  static std::string LogFolder();

 private:
  // The log file of the name, open for appending (the previous run's moved
  // aside on the run's first line); false while it cannot be had.
  bool openFor(const WideString& name);
  bool append(const std::string& bytes);

  std::timed_mutex writing_;
  WideString openName_;  // the name the open file belongs to
  int file_ = -1;
  bool firstWrite_ = true;
  bool holding_ = false;
  std::vector<std::string> heldErrors_;
  bool cut_ = false;
  int64_t written_ = 0;
  int64_t sizeLimit_;
};

// The main applet's pre-read width, height and title; its title names the log folder.
AppletInfo& ProgramAppletInfo();
// The name of the log folder of a game whose pre-read gave no title (the
// game's folder); empty until the entry knows it.
WideString& ProgramLogName();
