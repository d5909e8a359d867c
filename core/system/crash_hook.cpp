#include "core/system/crash_hook.h"

#define UNW_LOCAL_ONLY
#include <fcntl.h>
#include <libunwind.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <exception>
#include <typeinfo>

#include "core/system/log.h"
#include "core/system/module_map.h"
#include "core/system/system_description.h"
#include "core/text/symbol_name.h"

namespace {
constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int kSignalCount = sizeof(kFatalSignals) / sizeof(kFatalSignals[0]);
constexpr int kMaxFrames = 64;

// Everything the crash path reads is made at installation.
struct CrashState {
  bool installed = false;
  char logPath[4096] = {};
  char systemLine[1024] = {};
  char processorLine[1024] = {};
  long utcOffset = 0;
  struct sigaction previous[kSignalCount];
  std::terminate_handler previousTerminate = nullptr;
  stack_t previousStack{};
};

CrashState crash;
// The handler runs on a stack of its own, so that a stack overflow is
// reported too.
alignas(16) char alternateStack[256 * 1024];

void CopyText(char* to, size_t capacity, const char* from) {
  size_t n = std::strlen(from);
  if (n >= capacity) n = capacity - 1;
  std::memcpy(to, from, n);
  to[n] = 0;
}

// A line built in place, for the crash path.
class CrashLine {
 public:
  CrashLine& add(const char* text) {
    return add(text, std::strlen(text));
  }
  CrashLine& add(const char* text, size_t n) {
    if (n > sizeof(text_) - 1 - size_) n = sizeof(text_) - 1 - size_;
    std::memcpy(text_ + size_, text, n);
    size_ += n;
    text_[size_] = 0;
    return *this;
  }
  // All 16 digits for addresses; `shortest` drops leading zeros (offsets).
  CrashLine& hex(uintptr_t value, bool shortest = false) {
    char digits[2 * sizeof(uintptr_t)];
    size_t n = 0;
    for (int shift = static_cast<int>(sizeof(uintptr_t) * 8) - 4; shift >= 0; shift -= 4) {
      unsigned digit = (value >> shift) & 0xF;
      if (shortest && n == 0 && digit == 0 && shift > 0) continue;
      digits[n++] = "0123456789abcdef"[digit];
    }
    return add("0x").add(digits, n);
  }
  CrashLine& decimal(long value, int width = 0) {
    char digits[24];
    size_t n = 0;
    bool negative = value < 0;
    unsigned long magnitude = negative ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
      digits[n++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude > 0 && n < sizeof(digits));
    while (static_cast<int>(n) < width && n < sizeof(digits)) digits[n++] = '0';
    if (negative) add("-");
    for (size_t i = 0; i < n; ++i) add(&digits[n - 1 - i], 1);
    return *this;
  }
  const char* text() const { return text_; }
  size_t size() const { return size_; }

 private:
  char text_[2048] = {};
  size_t size_ = 0;
};

// Local civil time of now, from the offset taken at installation (the time
// zone functions of the C library take locks).
struct CivilTime {
  long year, month, day, hour, minute, second;
};

CivilTime LocalTimeNow() {
  long t = static_cast<long>(time(nullptr)) + crash.utcOffset;
  long days = t >= 0 ? t / 86400 : (t - 86399) / 86400;
  long seconds = t - days * 86400;
  // Days since 1970-01-01 to a date (the proleptic Gregorian calendar).
  long z = days + 719468;
  long era = (z >= 0 ? z : z - 146096) / 146097;
  long doe = z - era * 146097;
  long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long mp = (5 * doy + 2) / 153;
  long day = doy - (153 * mp + 2) / 5 + 1;
  long month = mp < 10 ? mp + 3 : mp - 9;
  long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  return {year, month, day, seconds / 3600, seconds / 60 % 60, seconds % 60};
}

void WriteAll(int fd, const char* text, size_t n) {
  while (n > 0) {
    ssize_t written = write(fd, text, n);
    if (written <= 0) return;
    text += written;
    n -= static_cast<size_t>(written);
  }
}

// One error line of the log: "HH:MM:SS (e) text", CR LF in the log file.
void Emit(int logFile, const char* text) {
  CivilTime now = LocalTimeNow();
  CrashLine line;
  line.decimal(now.hour, 2).add(":").decimal(now.minute, 2).add(":").decimal(now.second, 2).add(" (e) ").add(text);
  if (logFile >= 0) {
    WriteAll(logFile, line.text(), line.size());
    WriteAll(logFile, "\r\n", 2);
  }
  WriteAll(STDERR_FILENO, line.text(), line.size());
  WriteAll(STDERR_FILENO, "\n", 1);
}

int OpenLogFile() {
  if (!crash.logPath[0]) return -1;
  return open(crash.logPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
}

void EmitFrame(int logFile, unw_cursor_t& cursor) {
  unw_word_t ip = 0;
  unw_get_reg(&cursor, UNW_REG_IP, &ip);
  char mangled[512];
  char readable[512];
  unw_word_t offset = 0;
  CrashLine line;
  line.add("[").hex(static_cast<uintptr_t>(ip)).add("] ");
  if (unw_get_proc_name(&cursor, mangled, sizeof(mangled), &offset) == 0) {
    line.add(DemangleSymbolName(mangled, readable, sizeof(readable)) ? readable : mangled);
    line.add(" + ").hex(static_cast<uintptr_t>(offset), true);
  } else {
    line.add("??");
  }
  char module[256];
  if (ModuleOfAddress(static_cast<uintptr_t>(ip), module, sizeof(module))) line.add(" (").add(module).add(")");
  Emit(logFile, line.text());
}

// "Stack list, generated <date and time>", then one line a frame from the
// cursor's frame outwards, then the system and processor lines.
void EmitReport(int logFile, unw_cursor_t& cursor) {
  CivilTime now = LocalTimeNow();
  CrashLine heading;
  heading.add("Stack list, generated ").decimal(now.year, 4).add("-").decimal(now.month, 2).add("-");
  heading.decimal(now.day, 2).add(" ").decimal(now.hour, 2).add(":").decimal(now.minute, 2).add(":");
  heading.decimal(now.second, 2);
  Emit(logFile, heading.text());
  for (int i = 0; i < kMaxFrames; ++i) {
    EmitFrame(logFile, cursor);
    if (unw_step(&cursor) <= 0) break;
  }
  Emit(logFile, crash.systemLine);
  Emit(logFile, crash.processorLine);
}

const char* SignalText(int signal) {
  switch (signal) {
    case SIGSEGV: return "Access violation";
    case SIGBUS: return "Bus error";
    case SIGILL: return "Illegal instruction";
    case SIGFPE: return "Arithmetic fault";
    case SIGABRT: return "Abort";
    default: return "Fatal signal";
  }
}

void RestoreDefaultActions() {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (int signal : kFatalSignals) sigaction(signal, &action, nullptr);
}

void OnFatalSignal(int signal, siginfo_t* info, void* context) {
  // A fault inside the report ends the process at once.
  RestoreDefaultActions();
  int logFile = OpenLogFile();
  unw_cursor_t cursor;
  bool walkable = unw_init_local2(&cursor, static_cast<unw_context_t*>(context), UNW_INIT_SIGNAL_FRAME) == 0;
  unw_word_t pc = 0;
  if (walkable) unw_get_reg(&cursor, UNW_REG_IP, &pc);
  CrashLine message;
  message.add(SignalText(signal)).add(" at address ").hex(static_cast<uintptr_t>(pc));
  if (signal == SIGSEGV || signal == SIGBUS) {
    message.add(". Access of address ").hex(reinterpret_cast<uintptr_t>(info ? info->si_addr : nullptr));
  }
  Emit(logFile, message.text());
  if (walkable) EmitReport(logFile, cursor);
  if (logFile >= 0) close(logFile);
  // Ends the process with the fault once the handler returns (the signal is
  // blocked until then); a fault that returns would end it the same way.
  raise(signal);
}

// An exception nothing caught: its message, then the stack of the throw's
// caller chain as std::terminate sees it.
void OnTerminate() {
  RestoreDefaultActions();
  int logFile = OpenLogFile();
  CrashLine message;
  message.add("Unhandled exception");
  if (std::exception_ptr current = std::current_exception()) {
    try {
      std::rethrow_exception(current);
    } catch (const std::exception& e) {
      message.add(": ").add(e.what());
    } catch (...) {
    }
  }
  Emit(logFile, message.text());
  unw_context_t context;
  unw_cursor_t cursor;
  if (unw_getcontext(&context) == 0 && unw_init_local(&cursor, &context) == 0) EmitReport(logFile, cursor);
  if (logFile >= 0) close(logFile);
  std::abort();
}

void PrepareReportLines() {
  CopyText(crash.systemLine, sizeof(crash.systemLine), SystemDescriptionLine().c_str());
  CopyText(crash.processorLine, sizeof(crash.processorLine), ProcessorDescriptionLine().c_str());
  time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  crash.utcOffset = local.tm_gmtoff;
}
}  // namespace

void InstallExceptionHandler() {
  if (crash.installed) return;
  PrepareReportLines();
  stack_t stack{};
  stack.ss_sp = alternateStack;
  stack.ss_size = sizeof(alternateStack);
  sigaltstack(&stack, &crash.previousStack);
  struct sigaction action {};
  action.sa_sigaction = OnFatalSignal;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < kSignalCount; ++i) sigaction(kFatalSignals[i], &action, &crash.previous[i]);
  crash.previousTerminate = std::set_terminate(OnTerminate);
  crash.installed = true;
  LogInfo(u"Exception handler initializaed (JCL)");
}

void RemoveExceptionHandler() {
  if (!crash.installed) return;
  for (int i = 0; i < kSignalCount; ++i) sigaction(kFatalSignals[i], &crash.previous[i], nullptr);
  std::set_terminate(crash.previousTerminate);
  sigaltstack(&crash.previousStack, nullptr);
  crash.installed = false;
}

void SetCrashLogPath(const std::string& path) { CopyText(crash.logPath, sizeof(crash.logPath), path.c_str()); }
