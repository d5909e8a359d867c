#pragma once
// Script errors and warnings as log lines: the script file, "(", the line,
// ":", the column (offset of the error in its line), ") ", the message, a
// blank and the source line between double quotes; the same line for what
// the binding could not make. Internal to engine/javascript/.
#include <jsapi.h>
#include <js/Exception.h>

#include "core/text/text.h"

// The log line of one report.
WideString FormatJsReport(const WideString& file, unsigned line, unsigned column, const WideString& message,
                          const WideString& sourceLine);

// Logs and clears the exception pending on the context; `currentFile` names
// the script when the report carries no file of its own. Nothing when no
// exception is pending (the script was stopped without one).
void ReportPendingJsException(JSContext* cx, const WideString& currentFile);

// The library's warning reporter.
void ReportJsWarning(JSContext* cx, JSErrorReport* report);

// ---- what the binding could not make ---------------------------------------------------

// When the binding cannot make what a script needs (as a rule: the script
// heap is full), the first layer that knows what failed reports it: one error
// line naming it (with ": out of memory" when that is why), at the running
// script's place, and no exception left pending. The native through which
// the script called in then ends the script, which nothing can catch; the
// layers between add no line of their own.
class BindingFailure {
 public:
  // Logs the line unless this failure has been reported already; clears the
  // pending exception. Returns false, for hooks and natives to return.
  static bool report(JSContext* cx, const WideString& what);
  // A failure was reported that no native has ended its script for yet.
  static bool pending() { return pending_; }
  // The end of a native: false when a failure was reported while it ran, or
  // when it failed for lack of memory (then reported as `what()`). Inline:
  // every call of a published method ends here.
  template <typename What>
  static bool endNative(JSContext* cx, bool ok, What&& what) {
    if (ok && !pending_) [[likely]] {
      return true;
    }
    return endFailedNative(cx, ok, what);
  }
  // Program code that reported outside any script: nothing is left to stop.
  static void settle() { pending_ = false; }

 private:
  friend class BindingFailureFrame;
  template <typename What>
  [[gnu::cold, gnu::noinline]] static bool endFailedNative(JSContext* cx, bool ok, What& what) {
    if (!pending_ && !ok && JS_IsThrowingOutOfMemory(cx)) report(cx, what());
    return takeStop(cx, ok);
  }
  // False (the exception cleared) when a failure was reported, else `ok`.
  static bool takeStop(JSContext* cx, bool ok);
  static inline bool pending_ = false;
};

// A script run: a failure reported inside it stops it alone, never the
// script that ran it (which goes on when the inner one returns).
class BindingFailureFrame {
 public:
  explicit BindingFailureFrame(bool outermost) : saved_(!outermost && BindingFailure::pending_) {
    BindingFailure::pending_ = false;
  }
  ~BindingFailureFrame() { BindingFailure::pending_ = saved_; }
  BindingFailureFrame(const BindingFailureFrame&) = delete;
  BindingFailureFrame& operator=(const BindingFailureFrame&) = delete;

 private:
  bool saved_;
};
