// The crash hook in child processes that really crash: the log they leave
// and how they end.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cxxabi.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>

#include "compat/win32/system.h"
#include "core/system/crash_hook.h"
#include "core/system/module_map.h"
#include "core/text/symbol_name.h"
#include "core/text/text_helpers.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"

namespace {
// Writes through a null pointer: a real access violation (the sanitizer's own
// null check is off here, so the processor faults).
__attribute__((noinline, no_sanitize("null"))) void CrashHookVictimWritesNull(volatile int* target) {
  *target = 42;
}

struct ChildEnd {
  int status = 0;
  bool signalled() const { return WIFSIGNALED(status); }
  int signal() const { return WIFSIGNALED(status) ? WTERMSIG(status) : 0; }
  bool failed() const { return signalled() || (WIFEXITED(status) && WEXITSTATUS(status) != 0); }
};

// Runs `body` in a child process; a body that returns ends the child with 0.
// An exception leaving the body reaches std::terminate, never the test
// framework of the child.
void RunBody(const std::function<void()>& body) noexcept { body(); }

ChildEnd RunChild(const std::function<void()>& body) {
  pid_t child = fork();
  if (child == 0) {
    RunBody(body);
    _exit(0);
  }
  ChildEnd end;
  waitpid(child, &end.status, 0);
  return end;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class CrashHook : public ::testing::Test {
 protected:
  TempDir dir;
  std::string logPath() const { return dir.file("log.txt"); }
  std::string log() const { return dir.read("log.txt"); }
};
}  // namespace

TEST_F(CrashHook, AccessViolationLeavesStackAndSystemLinesAndEndsWithTheFault) {
  ChildEnd end = RunChild([&] {
    SetCrashLogPath(logPath());
    InstallExceptionHandler();
    CrashHookVictimWritesNull(nullptr);
  });
  EXPECT_TRUE(end.failed());
  EXPECT_EQ(end.signal(), SIGSEGV);
  std::string text = log();
  EXPECT_TRUE(Contains(text, " (e) Access violation at address 0x")) << text;
  EXPECT_TRUE(Contains(text, ". Access of address 0x0000000000000000\r\n")) << text;
  EXPECT_TRUE(Contains(text, " (e) Stack list, generated ")) << text;
  EXPECT_TRUE(Contains(text, "(anonymous namespace)::CrashHookVictimWritesNull + 0x")) << text;
  EXPECT_TRUE(Contains(text, " (" + ExtractFileName(GetProgramFileName()) + ")\r\n")) << text;
  EXPECT_TRUE(Contains(text, " (e) System   : Linux ")) << text;
  EXPECT_TRUE(Contains(text, ", Version: ")) << text;
  EXPECT_TRUE(Contains(text, " (e) Processor: ")) << text;
  EXPECT_TRUE(Contains(text, " MHz ")) << text;
  // The faulting function is the first frame, and the test body calls it.
  size_t victim = text.find("CrashHookVictimWritesNull");
  size_t caller = text.find("AccessViolationLeavesStackAndSystemLines");
  EXPECT_NE(caller, std::string::npos) << text;
  EXPECT_LT(victim, caller);
  // Every line is a log line: time, marker, text, CR LF.
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    std::string line = text.substr(start, end - start);
    ASSERT_GE(line.size(), 13u);
    EXPECT_EQ(line[2], ':');
    EXPECT_EQ(line[5], ':');
    EXPECT_EQ(line.substr(8, 5), " (e) ");
    start = end + 2;
  }
}

TEST_F(CrashHook, UncaughtExceptionLogsItsMessageAndAborts) {
  ChildEnd end = RunChild([&] {
    SetCrashLogPath(logPath());
    InstallExceptionHandler();
    std::function<void()> thrower = [] { throw std::runtime_error("the object file is gone"); };
    thrower();
  });
  EXPECT_EQ(end.signal(), SIGABRT);
  std::string text = log();
  EXPECT_TRUE(Contains(text, " (e) Unhandled exception: the object file is gone\r\n")) << text;
  EXPECT_TRUE(Contains(text, " (e) Stack list, generated ")) << text;
  EXPECT_TRUE(Contains(text, " (e) Processor: ")) << text;
  // Reported once: the abort that ends the process is not a second crash.
  EXPECT_EQ(text.find("Stack list"), text.rfind("Stack list"));
}

TEST_F(CrashHook, InstallLogsAndRemoveGivesTheSignalsBack) {
  ChildEnd end = RunChild([&] {
    LogCapture capture;
    InstallExceptionHandler();
    if (!capture.contains("(i) Exception handler initializaed (JCL)")) _exit(3);
    RemoveExceptionHandler();
    SetCrashLogPath(logPath());
    CrashHookVictimWritesNull(nullptr);
  });
  EXPECT_TRUE(end.failed());
  EXPECT_NE(end.status, 3 << 8);
  EXPECT_FALSE(std::filesystem::exists(logPath()));
}

TEST_F(CrashHook, WithoutALogFileTheReportGoesToStandardError) {
  std::string errors = dir.file("stderr.txt");
  ChildEnd end = RunChild([&] {
    if (!freopen(errors.c_str(), "w", stderr)) _exit(3);
    SetCrashLogPath("");
    InstallExceptionHandler();
    CrashHookVictimWritesNull(nullptr);
  });
  EXPECT_EQ(end.signal(), SIGSEGV);
  std::string text = dir.read("stderr.txt");
  EXPECT_TRUE(Contains(text, " (e) Stack list, generated ")) << text;
  EXPECT_TRUE(Contains(text, "CrashHookVictimWritesNull")) << text;
}

// ---- readable function names -----------------------------------------------------

namespace {
std::string Readable(const char* mangled) {
  char out[256];
  return DemangleSymbolName(mangled, out, sizeof(out)) ? std::string(out) : std::string("<none>");
}

// The C++ runtime's full name up to its parameter list.
std::string RuntimeName(const char* mangled) {
  int status = 0;
  char* full = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = full ? full : "";
  std::free(full);
  // Cut the parameter list: the parentheses that close the name.
  int depth = 0;
  for (size_t i = name.size(); i-- > 0;) {
    if (name[i] == ')') ++depth;
    if (name[i] == '(' && --depth == 0) return name.substr(0, i);
  }
  return name;
}
}  // namespace

TEST(SymbolName, QualifiedNamesMatchTheRuntimesWithoutParameters) {
  for (const char* mangled : {"_Z4mainv", "_ZN7TWindow7DestroyEv", "_ZN12_GLOBAL__N_113OnFatalSignalEiP9siginfo_tPv",
                              "_ZNK9TLowEvent5asKeyEv", "_ZN9TKeyEventC2Eh", "_ZN9TKeyEventD1Ev",
                              "_ZNSt6vector4sizeEv", "_ZN3Foo3BarclEv", "_ZN3FooaSERKS_", "_ZL11StaticThingi"}) {
    EXPECT_EQ(Readable(mangled), RuntimeName(mangled)) << mangled;
  }
}

TEST(SymbolName, TemplatesLambdasAndLocalNamesAreShortened) {
  EXPECT_EQ(Readable("_ZN3FooIiE3barEv"), "Foo<...>::bar");
  EXPECT_EQ(Readable("_Z3maxIiET_S0_S0_"), "max<...>");
  EXPECT_EQ(Readable("_ZZ4mainENKUlvE_clEv"), "main::{lambda}::operator()");
  EXPECT_EQ(Readable("_ZZN3Foo3runEvE5count"), "Foo::run::count");
  // A function type among the template arguments (std::function's handler).
  EXPECT_EQ(Readable("_ZNSt17_Function_handlerIFvvEZ4mainEUlvE_E9_M_invokeERKSt9_Any_data"),
            "std::_Function_handler<...>::_M_invoke");
}

TEST(SymbolName, EveryCutOfANameIsReadWithinItsEnd) {
  // Names cut anywhere (the sanitizer sees any read past the end).
  for (std::string name : {"_ZNSt17_Function_handlerIFvvEZ4mainEUlvE_E9_M_invokeERKSt9_Any_data",
                           "_ZZ4mainENKUlvE_clEv", "_ZN12_GLOBAL__N_113OnFatalSignalEiP9siginfo_tPv", "_ZN3FooD0Ev",
                           "_ZN3FooUt_3barEv", "_ZN3FooC1ERKS_"}) {
    for (size_t cut = 0; cut <= name.size(); ++cut) {
      std::string part = name.substr(0, cut);
      char out[64];
      size_t n = DemangleSymbolName(part.c_str(), out, sizeof(out));
      EXPECT_LT(n, sizeof(out));
      EXPECT_EQ(std::strlen(out), n);
    }
  }
}

TEST(SymbolName, UnknownOrDamagedNamesAreLeftToTheCaller) {
  EXPECT_EQ(Readable("main"), "<none>");
  EXPECT_EQ(Readable("_Z"), "<none>");
  EXPECT_EQ(Readable("_ZN3Foo"), "<none>");
  EXPECT_EQ(Readable("_Z999Foo"), "<none>");
  EXPECT_EQ(Readable("_ZN3FooIiE3bar"), "<none>");
  char tiny[6];
  EXPECT_EQ(DemangleSymbolName("_ZN7TWindow7DestroyEv", tiny, sizeof(tiny)), 0u);
  EXPECT_EQ(DemangleSymbolName(nullptr, tiny, sizeof(tiny)), 0u);
}

// ---- the file that holds an address -------------------------------------------------

TEST(ModuleMap, AddressesAreFoundInTheProgramAndInItsLibraries) {
  char name[256];
  ASSERT_TRUE(ModuleOfAddress(reinterpret_cast<uintptr_t>(&CrashHookVictimWritesNull), name, sizeof(name)));
  EXPECT_EQ(std::string(name), ExtractFileName(GetProgramFileName()));
  ASSERT_TRUE(ModuleOfAddress(reinterpret_cast<uintptr_t>(&zlibVersion), name, sizeof(name)));
  EXPECT_EQ(std::string(name).rfind("libz.so", 0), 0u) << name;
  // Cut to the buffer, still terminated.
  char tiny[5];
  ASSERT_TRUE(ModuleOfAddress(reinterpret_cast<uintptr_t>(&zlibVersion), tiny, sizeof(tiny)));
  EXPECT_STREQ(tiny, "libz");
  EXPECT_FALSE(ModuleOfAddress(0, name, sizeof(name)));
  EXPECT_FALSE(ModuleOfAddress(reinterpret_cast<uintptr_t>(&zlibVersion), name, 0));
}
