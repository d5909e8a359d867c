#include "engine/javascript/js_report.h"

#include <string>

#include <js/ErrorReport.h>
#include <js/Exception.h>
#include <jsapi.h>

#include "core/system/log.h"
#include "engine/javascript/javascript_engine.h"
#include "engine/javascript/js_realm.h"

namespace {
WideString Number(unsigned value) { return AnsiToWide(std::to_string(value)); }

WideString SourceLineOf(const JSErrorReport& report) {
  if (!report.linebuf()) return WideString();
  WideString line(report.linebuf(), report.linebufLength());
  while (!line.empty() && (line.back() == u'\n' || line.back() == u'\r')) line.pop_back();
  return line;
}

WideString FileOf(const JSErrorReport& report, const WideString& fallback) {
  return report.filename && *report.filename ? Utf8ToWide(report.filename) : fallback;
}

// The offset of the error in its line. The compiler's reports (which carry the
// source line) count columns from 0; the library counts the columns of errors
// raised while a script runs from 1.
unsigned ColumnOf(const JSErrorReport& report) {
  if (report.linebuf() || report.column == 0) return report.column;
  return report.column - 1;
}

// Errors raised while a script runs carry no source line: the engine knows
// the texts it ran.
WideString RememberedLine(JSContext* cx, const WideString& file, unsigned line) {
  JsRealm* realm = JsRealm::current(cx);
  return realm ? realm->engine().sourceLine(file, line) : WideString();
}

void LogReport(JSContext* cx, const JSErrorReport& report, const WideString& message, const WideString& fallbackFile) {
  const WideString file = FileOf(report, fallbackFile);
  WideString line = SourceLineOf(report);
  if (line.empty() && !report.linebuf()) line = RememberedLine(cx, file, report.lineno);
  LogError(FormatJsReport(file, report.lineno, ColumnOf(report), message, line));
}
}  // namespace

WideString FormatJsReport(const WideString& file, unsigned line, unsigned column, const WideString& message,
                          const WideString& sourceLine) {
  return file + u"(" + Number(line) + u":" + Number(column) + u") " + message + u" \"" + sourceLine + u"\"";
}

void ReportPendingJsException(JSContext* cx, const WideString& currentFile) {
  if (!JS_IsExceptionPending(cx)) return;
  JS::ExceptionStack exception(cx);
  if (!JS::StealPendingExceptionStack(cx, &exception)) {
    JS_ClearPendingException(cx);
    return;
  }
  JS::ErrorReportBuilder builder(cx);
  if (!builder.init(cx, exception, JS::ErrorReportBuilder::WithSideEffects) || !builder.report()) {
    JS_ClearPendingException(cx);
    LogError(FormatJsReport(currentFile, 0, 0, u"uncaught exception", WideString()));
    return;
  }
  // The text of the exception names its kind ("ReferenceError: x is not
  // defined"); the bare report message does not.
  const char* text = builder.toStringResult().c_str();
  WideString message = Utf8ToWide(text && *text ? text : builder.report()->message().c_str());
  // The habit of browsers and shells; a game writes its lines with engine.log.
  if (message == u"ReferenceError: console is not defined" || message == u"ReferenceError: print is not defined") {
    message += u" (a game writes to its log with engine.log(text))";
  }
  LogReport(cx, *builder.report(), message, currentFile);
  JS_ClearPendingException(cx);
}

void ReportJsWarning(JSContext* cx, JSErrorReport* report) {
  if (!report) return;
  LogReport(cx, *report, Utf8ToWide(report->message().c_str() ? report->message().c_str() : ""), WideString());
}

// ---- what the binding could not make ---------------------------------------------------

bool BindingFailure::report(JSContext* cx, const WideString& what) {
  const bool outOfMemory = JS_IsThrowingOutOfMemory(cx);
  JS_ClearPendingException(cx);
  if (pending_) return false;
  pending_ = true;
  const WideString message = outOfMemory ? what + u": out of memory" : what;
  // Asking where the script is allocates nothing, so it works on a full heap.
  JS::AutoFilename file;
  unsigned line = 0;
  unsigned column = 0;
  if (!JS::DescribeScriptedCaller(cx, &file, &line, &column)) {
    LogError(message);
    return false;
  }
  const WideString name = Utf8ToWide(file.get() ? file.get() : "");
  LogError(FormatJsReport(name, line, column, message, RememberedLine(cx, name, line)));
  return false;
}

bool BindingFailure::takeStop(JSContext* cx, bool ok) {
  if (!pending_) return ok;
  pending_ = false;
  JS_ClearPendingException(cx);
  return false;
}
