#include "core/objects/script_watch.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "core/objects/base_object.h"
#include "core/system/log.h"

#if defined(__SANITIZE_ADDRESS__)
#define Q_SANITIZED_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define Q_SANITIZED_HEAP 1
#endif
#endif
#ifdef Q_SANITIZED_HEAP
// The sanitizer's allocator keeps the heap; it answers for it (declared in
// <sanitizer/allocator_interface.h>, which not every compiler ships).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {
using Clock = std::chrono::steady_clock;

std::atomic<int> runDepth{0};
std::atomic<int64_t> runStart{0};  // steady-clock nanoseconds
std::atomic<size_t> runStartHeap{0};
std::atomic<double> runLimit{kScriptRunLimitSeconds};
std::atomic<size_t> memoryBound{kScriptMemoryBound};
bool memoryStopped = false;
std::atomic<size_t> gameStartHeap{0};
std::atomic<bool> gameStarted{false};
std::atomic<size_t> gameBound{kGameMemoryBound};
bool gameOverReported = false;

size_t GameMemoryBytes();

bool GameMemoryExceeded() {
  if (!gameStarted.load()) return false;
  const size_t start = gameStartHeap.load();
  const size_t now = GameMemoryBytes();
  return now > start && now - start > gameBound.load();
}

int64_t Now() { return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count(); }

void RestartClock() {
  runStart = Now();
  runStartHeap = ProcessHeapBytes();
}

struct Running {
  BaseObject* object;
  WideString script;
};
std::vector<Running>& Handlers() {
  static std::vector<Running> handlers;
  return handlers;
}

// "onLoad of Applet "game"": the published handler property that holds the
// running text; a script file or other text is named by its first line.
WideString DescribeRunning() {
  if (Handlers().empty()) return u"a script";
  const Running& top = Handlers().back();
  WideString firstLine = top.script.substr(0, top.script.find_first_of(u"\r\n"));
  if (firstLine.size() > 60) firstLine = firstLine.substr(0, 60) + u"...";
  if (!top.object || !BaseObject::isLive(top.object)) return u"\"" + firstLine + u"\"";
  WideString handler;
  for (const PropInfo* prop : top.object->classInfo().properties()) {
    if (prop->kind() != TypeKind::WideText || prop->name.rfind("on", 0) != 0) continue;
    if (GetWideStrProp(top.object, *prop) == top.script) {
      handler = AnsiToWide(prop->name);
      break;
    }
  }
  WideString who = AnsiToWide(top.object->className()) + u" \"" + top.object->name() + u"\"";
  return handler.empty() ? u"\"" + firstLine + u"\" of " + who : handler + u" of " + who;
}

WideString Decimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return AnsiToWide(text);
}
// One field of /proc/self/statm in bytes (0: mapped size, 1: resident),
// read from a kept-open file.
[[maybe_unused]] size_t StatmBytes(int field) {
  static const int statm = open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
  static const size_t pageSize = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  char text[64];
  ssize_t got = statm >= 0 ? pread(statm, text, sizeof text - 1, 0) : -1;
  if (got <= 0) return 0;
  text[got] = '\0';
  const char* at = text;
  char* end = nullptr;
  unsigned long long pages = std::strtoull(at, &end, 10);
  for (int i = 0; i < field; ++i) {
    at = end;
    pages = std::strtoull(at, &end, 10);
  }
  return static_cast<size_t>(pages) * pageSize;
}
}  // namespace

size_t ProcessHeapBytes() {
#ifdef Q_SANITIZED_HEAP
  return __sanitizer_get_current_allocated_bytes();
#else
  // The process's mapped memory: it grows with every large allocation (a
  // buffer counts once mapped, touched or not) and with the heap's growth.
  // One read of a kept-open file, about a microsecond; asking the allocator
  // for its totals walks all of its free lists under its locks.
  return StatmBytes(0);
#endif
}

ScriptRunScope::ScriptRunScope() : outermost_(runDepth.load() == 0) {
  if (outermost_) RestartClock();
  ++runDepth;
}

ScriptRunScope::~ScriptRunScope() { --runDepth; }

ScriptHandlerScope::ScriptHandlerScope(BaseObject* object, const WideString& script) {
  Handlers().push_back({object, script});
}

ScriptHandlerScope::~ScriptHandlerScope() { Handlers().pop_back(); }

void NoteScriptWaitedForFrames() {
  if (runDepth.load() > 0) RestartClock();
}

bool ScriptRunActive() { return runDepth.load() > 0; }

double ScriptRunSeconds() {
  if (!ScriptRunActive()) return 0;
  return static_cast<double>(Now() - runStart.load()) * 1e-9;
}

bool ScriptMemoryExceeded() {
  if (!ScriptRunActive()) return false;
  if (GameMemoryExceeded()) return true;
  const size_t start = runStartHeap.load();
  const size_t now = ProcessHeapBytes();
  return now > start && now - start > memoryBound.load();
}

ScriptStop ScriptStopDue() {
  if (!ScriptRunActive()) return ScriptStop::None;
  if (GameMemoryExceeded()) return ScriptStop::GameMemoryBound;
  if (ScriptMemoryExceeded()) return ScriptStop::MemoryBound;
  if (ScriptRunSeconds() > runLimit.load()) return ScriptStop::TimeBound;
  if (CloseRequestPoll() && CloseRequestPoll()()) return ScriptStop::CloseRequest;
  return ScriptStop::None;
}

void ReportScriptStop(ScriptStop reason) {
  switch (reason) {
    case ScriptStop::None: return;
    case ScriptStop::CloseRequest:
      LogInfo(u"Script stopped: the program was asked to close while " + DescribeRunning() + u" ran");
      return;
    case ScriptStop::TimeBound:
      LogError(u"Script stopped: " + DescribeRunning() + u" ran longer than " + Decimal(runLimit.load()) + u" s");
      return;
    case ScriptStop::MemoryBound:
      memoryStopped = true;
      LogError(u"Script out of memory: " + DescribeRunning() + u" took more than " +
               Decimal(static_cast<double>(memoryBound.load()) / (1 << 20)) + u" MB");
      return;
    case ScriptStop::GameMemoryBound:
      memoryStopped = true;
      GameMemoryOverBound();
      return;
  }
}

// The game as a whole is measured by what it keeps in memory: its mapped
// size grows by gigabytes of address space the script engine and the
// drivers reserve and never touch.
namespace {
size_t GameMemoryBytes() {
#ifdef Q_SANITIZED_HEAP
  return ProcessHeapBytes();
#else
  return StatmBytes(1);  // resident
#endif
}
}  // namespace

void NoteGameStarted() {
  gameStartHeap = GameMemoryBytes();
  gameStarted = true;
  gameOverReported = false;
}

bool GameMemoryOverBound() {
  if (!gameStarted.load()) NoteGameStarted();
  if (gameOverReported) return true;
  if (!GameMemoryExceeded()) return false;
  gameOverReported = true;
  LogError(u"Game out of memory: it took more than " + Decimal(static_cast<double>(gameBound.load()) / (1 << 20)) +
           u" MB since it started; it ends");
  return true;
}

void SetGameMemoryBoundForTest(size_t bytes) {
  gameBound = bytes > 0 ? bytes : kGameMemoryBound;
  NoteGameStarted();
}

bool TakeScriptMemoryStop() { return std::exchange(memoryStopped, false); }

std::function<bool()>& CloseRequestPoll() {
  static std::function<bool()> poll;
  return poll;
}

void SetScriptBoundsForTest(double runSeconds, size_t memoryBytes) {
  runLimit = runSeconds > 0 ? runSeconds : kScriptRunLimitSeconds;
  memoryBound = memoryBytes > 0 ? memoryBytes : kScriptMemoryBound;
}
