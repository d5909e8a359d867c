#include "core/system/log.h"

#include <ctime>

LogHandlerProc& LogHandler() {
  static LogHandlerProc handler;
  return handler;
}

WideString FormatLogLine(const WideString& text, bool isError) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[16];
  std::strftime(stamp, sizeof(stamp), "%H:%M:%S", &local);
  return AnsiToWide(stamp) + (isError ? u" (e) " : u" (i) ") + text;
}

void LogInfo(const WideString& text) {
  if (LogHandler()) LogHandler()(FormatLogLine(text, false));
}

namespace {
uint64_t errorCount = 0;
bool gameLine = false;
}  // namespace

void LogGameInfo(const WideString& text) {
  gameLine = true;
  LogInfo(text);
  gameLine = false;
}

bool LogLineIsTheGames() { return gameLine; }

uint64_t LogErrorCount() { return errorCount; }

void LogError(const WideString& text) {
  ++errorCount;
  if (LogHandler()) LogHandler()(FormatLogLine(text, true));
}
