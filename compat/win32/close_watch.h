#pragma once
// The last way out. A request to end the program (SIGTERM, SIGINT, the user
// closing a window) is honoured by the main thread, which ends the games in
// order. When the main thread is stuck where no script watch reaches (inside
// a decoder or another native library), nothing would ever read the request:
// the close watch gives the main thread a few seconds from the request, and
// past them has the log's closing line written and ends the process.
#include <csignal>
#include <functional>

constexpr double kCloseGraceSeconds = 3.0;

// The program's entry wants the watch (tests and tools that make windows
// never get it): from now until the disarm a request not honoured in time
// ends the process, after `lastWords` (called on the watch's own thread).
void ArmCloseWatch(std::function<void(double graceSeconds)> lastWords);
// The program ended in order: the handlers the watch replaced come back and a
// request no longer ends the process.
void DisarmCloseWatch();
// When armed, puts the watch's handler on SIGTERM and SIGINT in front of the
// handler installed before it (the display system's, which turns the signal
// into its quit request) and starts the watching thread. Called once the
// display system has installed its own; again does nothing.
void InstallCloseWatch();
// A request to end was seen (safe inside a signal handler): the clock for
// the main thread starts, once.
void NoteCloseRequested(int signal = 0);

// A window's close request was honoured (its applet ended): the clock stops,
// unless the request was the system's, which ends the whole program.
void NoteCloseHonoured();

// For tests: the grace period (0 restores the program's).
void SetCloseGraceForTest(double seconds);
