// Opening addresses through the desktop's opener.
#include <gtest/gtest.h>

#include "compat/win32/shell.h"
#include "compat/win32/window.h"
#include "tests/compat/fake_program.h"

namespace {
uintptr_t Result(HINSTANCE h) { return reinterpret_cast<uintptr_t>(h); }

TEST(compatShell, OpenRunsTheDesktopOpenerWithTheAddress) {
  FakePrograms programs;
  programs.add("xdg-open", "");
  HINSTANCE result = ShellExecuteA(nullptr, "open", "https://example.org/a b?x=ü", nullptr, nullptr, SW_SHOWNORMAL);
  EXPECT_GT(Result(result), 32u);
  EXPECT_EQ(programs.arguments("xdg-open"), "https://example.org/a b?x=ü\n");
}

TEST(compatShell, WithoutAnOpenerNothingStarts) {
  FakePrograms programs;
  EXPECT_EQ(Result(ShellExecuteA(nullptr, "open", "https://example.org", nullptr, nullptr, SW_SHOWNORMAL)), 2u);
}

TEST(compatShell, OtherVerbsAreNotSupported) {
  FakePrograms programs;
  programs.add("xdg-open", "");
  EXPECT_LE(Result(ShellExecuteA(nullptr, "print", "file.txt", nullptr, nullptr, SW_SHOWNORMAL)), 32u);
  EXPECT_LE(Result(ShellExecuteA(nullptr, "open", "", nullptr, nullptr, SW_SHOWNORMAL)), 32u);
}

TEST(compatShell, ConsoleCountsItsUsers) {
  EXPECT_TRUE(AllocConsole());
  EXPECT_TRUE(FreeConsole());
  EXPECT_FALSE(FreeConsole());
}
}  // namespace
