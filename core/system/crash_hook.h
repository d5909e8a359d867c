#pragma once
// The crash hook: a fatal signal (invalid memory access, bus error, illegal
// instruction, arithmetic fault, abort) or an exception that nothing caught
// writes a report to the log (the fault and its address, the call stack with
// function names, then a line on the system and one on the processor) and the
// process ends with the fault, so the exit status says that it failed.
//
// The report is written with system calls alone: no memory is allocated and
// no lock is taken on that path, since the crash may have happened inside the
// allocator or while the log held its lock. That is why it goes to a file of
// its own choosing (the run's log file, appended) rather than through the log
// front.
#include <string>

// Makes the crash handler the process's handler of fatal signals and of
// uncaught exceptions; logs "Exception handler initializaed (JCL)".
void InstallExceptionHandler();
// Gives the signals and uncaught exceptions back to the handlers they had.
void RemoveExceptionHandler();

// The file the report is appended to (the log writer names its log file here
// once it knows it); an empty path: standard error only. The report always
// goes to standard error as well.
void SetCrashLogPath(const std::string& path);
