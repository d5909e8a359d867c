#pragma once
// Script errors and warnings as log lines: the script file, "(", the line,
// ":", the column (offset of the error in its line), ") ", the message, a
// blank and the source line between double quotes. Internal to
// engine/javascript/.
#include <jsapi.h>

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
