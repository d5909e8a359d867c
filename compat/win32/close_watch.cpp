#include "compat/win32/close_watch.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <utility>


namespace {
constexpr int kWatchedSignals[] = {SIGTERM, SIGINT};
constexpr int kSignalCount = sizeof kWatchedSignals / sizeof kWatchedSignals[0];

struct CloseWatch {
  std::atomic<bool> installed{false};
  std::atomic<bool> threadStarted{false};
  std::atomic<bool> armed{false};
  std::atomic<int64_t> requestedAt{0};  // steady-clock nanoseconds, 0 while none
  std::atomic<int> requestSignal{0};
  std::atomic<double> grace{kCloseGraceSeconds};
  std::function<void(double)> lastWords;
  struct sigaction previous[kSignalCount];
};

// Never destroyed: the watching thread may outlive every static.
CloseWatch& Watch() {
  static CloseWatch* watch = new CloseWatch;
  return *watch;
}

int64_t Now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void OnSignal(int signal) {
  NoteCloseRequested(signal);
  CloseWatch& w = Watch();
  for (int i = 0; i < kSignalCount; ++i) {
    if (kWatchedSignals[i] != signal) continue;
    const struct sigaction& before = w.previous[i];
    if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN && !(before.sa_flags & SA_SIGINFO)) {
      before.sa_handler(signal);
    }
  }
  // The display system's handler puts itself back with signal(); the watch
  // stays in front for the next request.
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(signal, &action, nullptr);
}

[[noreturn]] void EndNow() {
  CloseWatch& w = Watch();
  if (w.lastWords) w.lastWords(w.grace.load());
  const int signal = w.requestSignal.load();
  if (signal != 0) {
    // Ended by the signal, as its sender expects.
    ::signal(signal, SIG_DFL);
    kill(getpid(), signal);
  }
  _exit(1);
}

void WatchThread() {
  CloseWatch& w = Watch();
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const int64_t since = w.requestedAt.load();
    if (!w.armed.load() || since == 0) continue;
    if (static_cast<double>(Now() - since) * 1e-9 >= w.grace.load()) EndNow();
  }
}
}  // namespace

void ArmCloseWatch(std::function<void(double graceSeconds)> lastWords) {
  CloseWatch& w = Watch();
  if (!w.armed.load()) w.lastWords = std::move(lastWords);
  w.armed = true;
}

void InstallCloseWatch() {
  CloseWatch& w = Watch();
  if (!w.armed.load() || w.installed.exchange(true)) return;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < kSignalCount; ++i) sigaction(kWatchedSignals[i], &action, &w.previous[i]);
  if (!w.threadStarted.exchange(true)) std::thread(WatchThread).detach();
}

void DisarmCloseWatch() {
  CloseWatch& w = Watch();
  w.armed = false;
  if (!w.installed.exchange(false)) return;
  for (int i = 0; i < kSignalCount; ++i) sigaction(kWatchedSignals[i], &w.previous[i], nullptr);
}

void NoteCloseRequested(int signal) {
  CloseWatch& w = Watch();
  if (!w.armed.load()) return;
  int64_t none = 0;
  if (w.requestedAt.compare_exchange_strong(none, Now()) && signal != 0) w.requestSignal = signal;
}

void NoteCloseHonoured() {
  CloseWatch& w = Watch();
  if (w.requestSignal.load() == 0) w.requestedAt = 0;
}

void SetCloseGraceForTest(double seconds) { Watch().grace = seconds > 0 ? seconds : kCloseGraceSeconds; }
