#pragma once
// The watch over running scripts. Game scripts are untrusted: a handler that
// loops for ever must not hang the program, a close request or SIGTERM must
// end it, and a script must not take the machine's memory. The script engine
// marks its outermost runs here; a watchdog asks, while a run lasts, whether
// it must stop (ScriptStopDue), and the engine stops it with the reason
// logged (ReportScriptStop).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "core/text/text.h"

class BaseObject;

// Program-wide bounds: how long one handler may run without letting frames
// run, and how much the process's heap may grow while one script runs.
constexpr double kScriptRunLimitSeconds = 10.0;
constexpr size_t kScriptMemoryBound = size_t{1} << 30;
// How much the process's memory may grow, all told, since the game started:
// a game that keeps a little every frame ends here, with one line.
constexpr size_t kGameMemoryBound = size_t{2} << 30;
// How often a long run asks whether the user or the system wants it ended.
constexpr double kScriptPollSeconds = 0.1;

enum class ScriptStop { None, CloseRequest, TimeBound, MemoryBound, GameMemoryBound };

// Marks one run of script code (nested runs count once, from the outermost).
class ScriptRunScope {
 public:
  ScriptRunScope();
  ~ScriptRunScope();
  ScriptRunScope(const ScriptRunScope&) = delete;
  ScriptRunScope& operator=(const ScriptRunScope&) = delete;
  // True for the outermost run.
  bool outermost() const { return outermost_; }

 private:
  bool outermost_;
};

// Names what runs for the stop lines: the object whose handler text runs.
class ScriptHandlerScope {
 public:
  ScriptHandlerScope(BaseObject* object, const WideString& script);
  ~ScriptHandlerScope();
  ScriptHandlerScope(const ScriptHandlerScope&) = delete;
  ScriptHandlerScope& operator=(const ScriptHandlerScope&) = delete;
};

// Frames ran (a modal wait, an effect waited for): the running handler is
// waiting, not running; its clock and memory start again.
void NoteScriptWaitedForFrames();

// From any thread: whether a script run is under way and how long it has
// run. The watchdog uses them to decide when to ask the main thread.
bool ScriptRunActive();
double ScriptRunSeconds();
// From any thread: whether the process's memory grew past the bound since
// the outermost run began.
bool ScriptMemoryExceeded();

// The game starts: its memory is counted from here (else from the first
// question below).
void NoteGameStarted();
// On the main thread, between frames and from the engine's interrupt: true
// once the game's memory grew past its bound since it started. The first
// time, logs the error line that says so; the game must then end.
bool GameMemoryOverBound();

// On the main thread, from the engine's interrupt: what must happen to the
// running script, and the line that says so.
ScriptStop ScriptStopDue();
void ReportScriptStop(ScriptStop reason);
// Set when a stop for memory happened, until the engine has collected.
bool TakeScriptMemoryStop();

// Installed by the platform: answers true when the user closed a window or
// the system asked the program to end (SIGTERM, SIGINT). Called on the main
// thread while a script runs.
std::function<bool()>& CloseRequestPoll();

// The memory the process holds now, as the bound counts it: its mapped
// bytes (the sanitizer's heap total in sanitized builds).
size_t ProcessHeapBytes();

// For tests: the bounds, shortened (0 restores the program's constants).
void SetScriptBoundsForTest(double runSeconds, size_t memoryBytes);
// For tests: the game's bound (0 restores it), counted from now on.
void SetGameMemoryBoundForTest(size_t bytes);
