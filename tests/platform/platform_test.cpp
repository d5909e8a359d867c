// The Windows platform's services that need no window: start-up, clock,
// errors, settings, dialog, application-data folder, addresses, console.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "compat/win32/last_error.h"
#include "compat/win32/test_hooks.h"
#include "core/objects/class_registry.h"
#include "core/objects/engine.h"
#include "platform/win32/platform_win32.h"
#include "tests/compat/fake_program.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"

namespace {
class platformServices : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWin32Platform();
    platform = New<TPlatformWin32>();
  }
  void TearDown() override {
    platform->Free();
    win32_test::SetFakeClock(std::nullopt);
  }
  TPlatformWin32* platform = nullptr;
};

TEST(platformStart, LogsItsStartWithItsClassName) {
  LogCapture log;
  auto* platform = New<TPlatformWin32>();
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(i) Platrorm started TPlatformWin32"}));
  platform->Free();
}

TEST(platformStart, RegistrationSetsThePlatformClass) {
  RegisterWin32Platform();
  EXPECT_EQ(PlatformClass, &TPlatformWin32::staticClassInfo());
  EXPECT_EQ(GetClass("tplatformwin32"), &TPlatformWin32::staticClassInfo());
  TObject* made = PlatformClass->create(nullptr);
  EXPECT_NE(dynamic_cast<TPlatform*>(made), nullptr);
  made->Free();
}

TEST_F(platformServices, TimeStartsNearZeroAndCountsSeconds) {
  win32_test::SetFakeClock(1000);
  auto* timed = New<TPlatformWin32>();
  EXPECT_FLOAT_EQ(timed->GetCurrentTime(), 0.0f);
  win32_test::SetFakeClock(3500);
  EXPECT_FLOAT_EQ(timed->GetCurrentTime(), 2.5f);
  timed->Free();
}

TEST_F(platformServices, TimeRunsOnAcrossTheClockWrappingAround) {
  win32_test::SetFakeClock(0xFFFFFF00u);
  auto* timed = New<TPlatformWin32>();
  win32_test::SetFakeClock(0x00000100u);
  EXPECT_FLOAT_EQ(timed->GetCurrentTime(), 0.512f);
  timed->Free();
}

TEST_F(platformServices, RealTimeGrows) {
  float before = platform->GetCurrentTime();
  EXPECT_GE(before, 0.0f);
  EXPECT_LT(before, 5.0f);
  usleep(20000);
  EXPECT_GT(platform->GetCurrentTime(), before);
}

TEST_F(platformServices, LastSystemErrorIsLoggedWithItsText) {
  LogCapture log;
  SetLastError(ERROR_CLASS_ALREADY_EXISTS);
  platform->LogLastOSError();
  SetLastError(987654);
  platform->LogLastOSError();
  SetLastError(0);
  platform->LogLastOSError();
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(e) 1410:Class already exists.", "(e) 987654"}));
}

TEST_F(platformServices, AppDataFolderEndsWithASeparatorAndExists) {
  TempDir home;
  const char* saved = std::getenv("XDG_DATA_HOME");
  std::string savedValue = saved ? saved : "";
  setenv("XDG_DATA_HOME", (home.path() + "deep/er").c_str(), 1);
  WideString folder;
  platform->getAppDataFolder(folder);
  if (saved) {
    setenv("XDG_DATA_HOME", savedValue.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
  EXPECT_EQ(WideToUtf8(folder), home.path() + "deep/er\\");
  EXPECT_TRUE(std::filesystem::is_directory(home.path() + "deep/er"));
}

TEST_F(platformServices, ValuesAreKeptForTheRun) {
  EXPECT_EQ(platform->ReadValue(u"volume"), u"");
  platform->WriteValue(u"volume", u"0.5");
  EXPECT_EQ(platform->ReadValue(u"volume"), u"0.5");
}

TEST_F(platformServices, OpenUrlHandsTheAddressToTheDesktop) {
  FakePrograms programs;
  programs.add("xdg-open", "");
  platform->openUrl(u"https://example.org/spiel?name=\u00FC");
  EXPECT_EQ(programs.arguments("xdg-open"), "https://example.org/spiel?name=\xC3\xBC\n");
}

TEST_F(platformServices, FileDialogOffersAllFilesWithTheFilter) {
  FakePrograms programs;
  programs.add("zenity", "/games/main.qxml\n");
  WideString chosen = u"before";
  ASSERT_TRUE(platform->SelectExternalFile(u"*.qxml", chosen));
  EXPECT_EQ(chosen, u"/games/main.qxml");
  EXPECT_EQ(programs.arguments("zenity"), "--file-selection\n--file-filter=all files | *.qxml\n");
}

TEST_F(platformServices, CancelledFileDialogLeavesTheNameAsItWas) {
  FakePrograms programs;
  programs.add("zenity", "", 1);
  WideString chosen = u"before";
  EXPECT_FALSE(platform->SelectExternalFile(u"*.qxml", chosen));
  EXPECT_EQ(chosen, u"before");
}

TEST_F(platformServices, WritelnWritesALine) {
  testing::internal::CaptureStdout();
  platform->Writeln(u"Hallo Wörld");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Hallo Wörld\n");
}

TEST_F(platformServices, ConsoleComesAndGoes) {
  platform->CreateConsole();
  platform->DestroyConsole();
  SUCCEED();
}

TEST_F(platformServices, PumpWithNothingWaitingReturnsAtOnce) { EXPECT_FALSE(platform->PeekHandler()); }
}  // namespace
