#pragma once
// The program-wide log front. `SomeEngine.log` and `SomeEngine.error` format a
// line ("HH:MM:SS (i) text" or "HH:MM:SS (e) text") and pass it to the log
// handler that the program entry installs; until then lines are dropped.
#include <cstdint>
#include <functional>

#include "core/text/text.h"

using LogHandlerProc = std::function<void(const WideString& line)>;

// The installed handler (empty while none is installed).
LogHandlerProc& LogHandler();

// Information and error lines; the text stands unchanged after the marker.
void LogInfo(const WideString& text);
void LogError(const WideString& text);

// An information line the game itself writes (a script's `engine.log`): the
// log writer also shows it on a terminal. Whether the line being written now
// is one, for the log handler.
void LogGameInfo(const WideString& text);
bool LogLineIsTheGames();

// How many error lines have been logged since start, so that a step can tell
// whether it reported anything (a conversion that logged errors keeps no twin).
uint64_t LogErrorCount();

// The line as the log front forms it, with the local time of now.
WideString FormatLogLine(const WideString& text, bool isError);
