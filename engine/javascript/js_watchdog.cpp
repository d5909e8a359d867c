#include "engine/javascript/js_watchdog.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

#include <js/GCAPI.h>
#include <js/Interrupt.h>
#include <js/Warnings.h>

#include "core/objects/script_watch.h"

namespace {
constexpr auto kWatchPeriod = std::chrono::milliseconds(50);

struct Watchdog {
  std::mutex lock;
  std::condition_variable wake;
  JSContext* cx = nullptr;
  bool stopping = false;
  std::thread thread;
};

Watchdog& TheWatchdog() {
  static Watchdog watchdog;
  return watchdog;
}

// The helper thread: it only ever asks for the interrupt (the library allows
// that from any thread); the decision and the stop happen on the main thread.
void Watch() {
  Watchdog& w = TheWatchdog();
  std::unique_lock<std::mutex> guard(w.lock);
  while (!w.stopping) {
    w.wake.wait_for(guard, kWatchPeriod);
    if (w.stopping || !w.cx || !ScriptRunActive()) continue;
    if (ScriptRunSeconds() >= kScriptPollSeconds || ScriptMemoryExceeded()) JS_RequestInterruptCallback(w.cx);
  }
}

// The library follows a stop with its own warning ("terminated by
// timeout"), whatever the reason; the stop line has said it right already.
JS::WarningReporter forwardedWarnings = nullptr;
bool stopJustReported = false;

void OnWarning(JSContext* cx, JSErrorReport* report) {
  if (std::exchange(stopJustReported, false)) return;
  if (forwardedWarnings) forwardedWarnings(cx, report);
}

bool OnInterrupt(JSContext*) {
  ScriptStop stop = ScriptStopDue();
  if (stop == ScriptStop::None) return true;
  ReportScriptStop(stop);
  stopJustReported = true;
  return false;  // ends the script; nothing can catch it
}

// Large buffers make the library collect often; after each collection the
// growth is checked at once, before the next allocation lands.
void OnCollection(JSContext* cx, JSGCStatus status, JS::GCReason, void*) {
  if (status == JSGC_END && ScriptMemoryExceeded()) JS_RequestInterruptCallback(cx);
}
}  // namespace

void WatchJsContext(JSContext* cx) {
  JS_AddInterruptCallback(cx, OnInterrupt);
  JS_SetGCCallback(cx, OnCollection, nullptr);
  forwardedWarnings = JS::SetWarningReporter(cx, OnWarning);
  Watchdog& w = TheWatchdog();
  std::lock_guard<std::mutex> guard(w.lock);
  w.cx = cx;
  w.stopping = false;
  if (!w.thread.joinable()) w.thread = std::thread(Watch);
}

void UnwatchJsContext(JSContext* cx) {
  Watchdog& w = TheWatchdog();
  std::thread finished;
  {
    std::lock_guard<std::mutex> guard(w.lock);
    if (w.cx != cx) return;
    w.cx = nullptr;
    w.stopping = true;
    finished.swap(w.thread);
  }
  w.wake.notify_all();
  if (finished.joinable()) finished.join();
  JS_SetGCCallback(cx, nullptr, nullptr);
}
