// The program entry: the main-file rule with real folders, and the log writer.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <thread>

#include "compat/win32/close_watch.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"

#include "engine/applet/log_writer.h"
#include "program/program.h"
#include "support/temp_dir.h"

namespace {
TEST(MainFileRule, TheFirstArgumentIsUsedAsItStands) {
  EXPECT_EQ(ChooseMainFile({"missing/thing.qxml", "second"}, "/opt/qplay"), "missing/thing.qxml");
}

TEST(MainFileRule, AFolderArgumentStandsForItsMainFile) {
  TempDir dir;
  dir.write("game/main.qbin", "GFE0");
  EXPECT_EQ(ChooseMainFile({dir.file("game")}, "/opt/qplay"), dir.file("game/main.qxml"));
  EXPECT_EQ(ChooseMainFile({dir.file("game/")}, "/opt/qplay"), dir.file("game/main.qxml"));
  EXPECT_TRUE(MainFileFound(dir.file("game/main.qxml")));  // its binary twin is there
  EXPECT_FALSE(MainFileFound(dir.file("other/main.qxml")));
}

TEST(MainFileRule, AFolderNamedLikeTheProgramWinsOverAnArchive) {
  TempDir dir;
  dir.write("game.exe", "");
  dir.write("game/readme.txt", "");
  dir.write("game.qfs", "VFILEST");
  // The folder wins whether or not main.qxml is in it.
  EXPECT_EQ(ChooseMainFile({}, dir.file("game.exe")), dir.file("game") + "/main.qxml");
}

TEST(MainFileRule, ThenTheArchiveNamedLikeTheProgramThenGameThenMain) {
  TempDir dir;
  dir.write("qplay", "");
  EXPECT_EQ(ChooseMainFile({}, dir.file("qplay")), "");
  dir.write("main.qfs", "x");
  EXPECT_EQ(ChooseMainFile({}, dir.file("qplay")), dir.file("main.qfs"));
  dir.write("game.qfs", "x");
  EXPECT_EQ(ChooseMainFile({}, dir.file("qplay")), dir.file("game.qfs"));
  dir.write("qplay.qfs", "x");
  EXPECT_EQ(ChooseMainFile({}, dir.file("qplay")), dir.file("qplay.qfs"));
}

TEST(MainFileRule, DotsInTheProgramsFolderAreNoExtension) {
  TempDir dir;
  dir.write("v1.2/qplay", "");
  dir.write("v1.2/main.qfs", "x");
  // "v1" is not the program's name without extension.
  std::filesystem::create_directories(dir.file("v1"));
  EXPECT_EQ(ChooseMainFile({}, dir.file("v1.2/qplay")), dir.file("v1.2/main.qfs"));
}

class LogWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_DATA_HOME");
    saved_ = old ? old : "";
    hadOld_ = old != nullptr;
    setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
    ProgramAppletInfo() = AppletInfo();
  }
  void TearDown() override {
    if (hadOld_) {
      setenv("XDG_DATA_HOME", saved_.c_str(), 1);
    } else {
      unsetenv("XDG_DATA_HOME");
    }
    ProgramAppletInfo() = AppletInfo();
  }
  TempDir dir;
  std::string saved_;
  bool hadOld_ = false;
};

TEST_F(LogWriterTest, NothingIsWrittenWhileTheTitleIsEmpty) {
  TLog log;
  log.Write(u"12:00:00 (i) lost");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(LogWriterTest, FirstLineTruncatesLaterLinesAppendWithCrLf) {
  dir.write("qplay/hello world/log.txt", "old run\r\n");
  ProgramAppletInfo().title = u"hello world";
  TLog log;
  log.Write(u"12:00:00 (i) first 100%");
  log.Write(u"12:00:01 (e) caf\u00E9");
  EXPECT_EQ(dir.read("qplay/hello world/log.txt"), "12:00:00 (i) first 100%\r\n12:00:01 (e) caf\xE9\r\n");
  // The run before keeps its log once, crash report and all.
  EXPECT_EQ(dir.read("qplay/hello world/log.old.txt"), "old run\r\n");
}

TEST_F(LogWriterTest, ALogStopsAtItsSizeLimitWithALineThatSaysSo) {
  ProgramAppletInfo().title = u"chatty";
  TLog log(100);
  for (int i = 0; i < 10; ++i) log.Write(u"12:00:00 (i) line " + AnsiToWide(std::to_string(i)));
  const std::string text = dir.read("qplay/chatty/log.txt");
  EXPECT_EQ(text.substr(0, 42), "12:00:00 (i) line 0\r\n12:00:00 (i) line 1\r\n");
  EXPECT_EQ(text.find("line 4"), std::string::npos);
  const std::regex cut(R"(\d\d:\d\d:\d\d \(e\) The log is cut here: it reached its size limit of 100 bytes\r\n$)");
  EXPECT_TRUE(std::regex_search(text, cut)) << text;
  EXPECT_LT(text.size(), 200u);
}

TEST_F(LogWriterTest, AnUntitledGameLogsUnderItsFoldersName) {
  EXPECT_EQ(GameLogName("/games/Space Game/main.qxml"), u"Space Game");
  EXPECT_EQ(GameLogName("/games/pong.qfs"), u"pong");
  ProgramLogName() = u"Space Game";
  TLog log;
  log.Write(u"12:00:00 (i) untitled");
  ProgramLogName().clear();
  EXPECT_EQ(dir.read("qplay/space game/log.txt"), "12:00:00 (i) untitled\r\n");
}

TEST_F(LogWriterTest, ATitleCannotWriteOutsideTheApplicationDataFolder) {
  ProgramAppletInfo().title = u"../escape";
  TLog log;
  log.Write(u"12:00:00 (i) x");
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "../escape"));
  EXPECT_TRUE(std::filesystem::exists(dir.file("qplay/.._escape/log.txt")));
}

TEST_F(LogWriterTest, ALogFolderInOtherCapitalsIsTheLogsFolder) {
  ProgramAppletInfo().title = u"Capital Game";
  std::string folder = TLog::LogFolder();
  folder.pop_back();
  const std::string lower = ExtractFilePath(folder) + LowerCaseAscii(ExtractFileName(folder));
  std::filesystem::create_directories(lower);
  TLog log;
  log.Write(u"12:00:00 (i) found");
  EXPECT_EQ(TempDir::readFile(lower + "/log.txt"), "12:00:00 (i) found\r\n");
}

TEST_F(LogWriterTest, AStuckProgramEndsSoonAfterSigtermWithItsClosingLine) {
  ProgramAppletInfo().title = u"stuck";
  const std::string logFile = TLog::LogFolder() + "log.txt";
  pid_t child = fork();
  if (child == 0) {
    // The main thread stuck in native code: no pump, no script watch.
    TLog log;
    LogHandler() = [&log](const WideString& line) { log.Write(line); };
    ArmProgramCloseWatch();
    InstallCloseWatch();
    LogInfo(u"spinning");
    volatile uint64_t turns = 0;
    for (;;) turns = turns + 1;
  }
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  while (TempDir::readFile(logFile).find("spinning") == std::string::npos && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const auto sent = Clock::now();
  kill(child, SIGTERM);
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0 && Clock::now() < sent + std::chrono::seconds(30)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - sent).count();
  if (seconds >= 30) kill(child, SIGKILL), waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_GE(seconds, kCloseGraceSeconds - 0.1);
  EXPECT_LT(seconds, kCloseGraceSeconds + 5);
  const std::string text = TempDir::readFile(logFile);
  EXPECT_NE(text.find(" (e) Program ended: it did not close within 3 s of the request to close\r\n"), std::string::npos)
      << text;
}
}  // namespace
