#pragma once
// Captures the lines the log front writes while it is alive, for tests that
// check the system's own log texts.
#include <algorithm>
#include <string>
#include <vector>

#include "core/system/log.h"

class LogCapture {
 public:
  LogCapture() {
    previous_ = LogHandler();
    LogHandler() = [this](const WideString& line) { lines_.push_back(WideToUtf8(line)); };
  }
  ~LogCapture() { LogHandler() = previous_; }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  const std::vector<std::string>& lines() const { return lines_; }
  // The lines without their "HH:MM:SS " time stamp, e.g. "(i) Class not found X".
  std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (const auto& l : lines_) out.push_back(l.size() > 9 ? l.substr(9) : l);
    return out;
  }
  int count(const std::string& message) const {
    auto m = messages();
    return static_cast<int>(std::count(m.begin(), m.end(), message));
  }
  bool contains(const std::string& message) const { return count(message) > 0; }
  void clear() { lines_.clear(); }

 private:
  LogHandlerProc previous_;
  std::vector<std::string> lines_;
};
