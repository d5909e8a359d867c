// Libraries loaded by base name from the program's folder, with the log lines
// of every step.
#include <dlfcn.h>
#include <unistd.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "compat/win32/system.h"
#include "core/system/library_loader.h"
#include "core/text/text_helpers.h"
#include "tests/support/log_capture.h"

namespace {
std::string ProgramFolder() { return ExtractFilePath(GetProgramFileName()); }

std::string UniqueName(const std::string& stem) { return stem + "_" + std::to_string(getpid()); }

// A module file placed beside the program for one test, removed after it.
class ModuleBesideProgram {
 public:
  explicit ModuleBesideProgram(const std::string& name) : path_(ProgramFolder() + name + ".so") {}
  ~ModuleBesideProgram() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The file of a real shared library the test program has loaded (zlib).
std::string ZlibFile() {
  Dl_info info{};
  EXPECT_NE(dladdr(reinterpret_cast<void*>(&zlibVersion), &info), 0);
  return info.dli_fname ? info.dli_fname : "";
}
}  // namespace

TEST(LibraryLoader, MissingLibraryLogsThreeLinesAndAnswersNil) {
  std::string name = UniqueName("qtest_missing");
  std::string path = ProgramFolder() + name + ".so";
  LogCapture log;
  EXPECT_EQ(LoadLib(name), nullptr);
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(i) Try to load library " + name,
                                                      "(i) Shared library " + path + " not exists",
                                                      "(i) Library " + path + " loading failed."}));
}

TEST(LibraryLoader, ModuleBesideTheProgramLoadsAndItsSymbolsAreFound) {
  std::string name = UniqueName("qtest_zlib.module");
  ModuleBesideProgram module(name);
  std::filesystem::copy_file(ZlibFile(), module.path());
  LogCapture log;
  TLibEntry* entry = LoadLib(name);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(i) Try to load library " + name,
                                                      "(i) Library exists and try load shared library " + module.path(),
                                                      "(i) Library " + module.path() + " was loaded successul"}));
  EXPECT_EQ(entry->name, name);
  EXPECT_EQ(entry->path, module.path());
  EXPECT_EQ(entry->resourceKey, "QTEST_ZLIB_MODULE_" + std::to_string(getpid()));
  auto version = reinterpret_cast<const char* (*)()>(GetProc(entry, "zlibVersion"));
  ASSERT_NE(version, nullptr);
  EXPECT_STREQ(version(), ZLIB_VERSION);
  EXPECT_EQ(GetProc(entry, "no_such_symbol_in_zlib"), nullptr);
  FreeLib(entry);
}

TEST(LibraryLoader, FileThatIsNoLibraryFailsWithItsPathAndTheSystemsReason) {
  std::string name = UniqueName("qtest_broken");
  ModuleBesideProgram module(name);
  std::ofstream(module.path()) << "not a shared object";
  LogCapture log;
  EXPECT_EQ(LoadLib(name), nullptr);
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(i) Try to load library " + name,
                                                      "(i) Library exists and try load shared library " + module.path(),
                                                      "(i) Library " + module.path() + " loading failed.",
                                                      "(e) " + module.path() + ": file too short"}));
}

TEST(LibraryLoader, NilEntriesAreIgnored) {
  EXPECT_EQ(GetProc(nullptr, "zlibVersion"), nullptr);
  FreeLib(nullptr);
  TLibEntry unloaded;
  EXPECT_EQ(GetProc(&unloaded, "zlibVersion"), nullptr);
}
