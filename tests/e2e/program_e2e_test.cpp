// Runs the built program as a player would and checks what it leaves behind.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "support/temp_dir.h"

namespace {
// Runs qplay with the arguments in `workDir`, with the application-data folder
// in `dataHome`; answers the exit code.
int RunQplay(const std::string& dataHome, const std::string& workDir, const std::string& arguments) {
  std::string command = "cd '" + workDir + "' && timeout -s KILL 60 env XDG_DATA_HOME='" + dataHome +
                        "' SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 "
                        "ASAN_OPTIONS=detect_leaks=0 " Q_BINARY_DIR "/qplay " +
                        arguments + " >/dev/null 2>&1";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

TEST(ProgramEndToEnd, LogsUnderTheLowerCasedTitleWithStampedCrLfLines) {
  TempDir data, game;
  game.write("some/dir/main.qxml",
             "<?xml version=\"1.0\"?>\r\n<Applet name=\"app\" width=\"320\" height=\"200\" title=\"Hello World\" onLoad=\"applet.terminate()\">\r\n"
             "</Applet>\r\n");
  ASSERT_EQ(RunQplay(data.path(), game.path(), "some/dir/main.qxml"), 0);
  std::string log = data.read("hello world/log.txt");
  ASSERT_FALSE(log.empty());
  std::regex line(R"(^\d\d:\d\d:\d\d \((i|e)\) .*\r$)");
  for (const std::string& l : Lines(log)) EXPECT_TRUE(std::regex_match(l, line)) << l;
  EXPECT_NE(log.find(" (i) Try to open qxml-file\r\n"), std::string::npos);
}

TEST(ProgramEndToEnd, BareFileNameResolvesInTheCurrentFolder) {
  TempDir data, game;
  game.write("main.qxml", "<Applet width=\"64\" title=\"Bare\" onLoad=\"applet.terminate()\"/>");
  ASSERT_EQ(RunQplay(data.path(), game.path(), "main.qxml"), 0);
  std::string log = data.read("bare/log.txt");
  EXPECT_NE(log.find("Try to open qxml-file"), std::string::npos);
  EXPECT_EQ(log.find("Resource manager not actived"), std::string::npos);
}

TEST(ProgramEndToEnd, WithoutAnyMainFileItEndsAndCreatesNoLogFolder) {
  TempDir data, work;
  EXPECT_EQ(RunQplay(data.path(), work.path(), ""), 0);
  EXPECT_TRUE(std::filesystem::is_empty(data.path()));
}

TEST(ProgramEndToEnd, AMainFileWithoutWidthLoadsNothing) {
  TempDir data, game;
  game.write("main.qxml", "<Applet title=\"No Width\"/>");
  EXPECT_EQ(RunQplay(data.path(), game.path(), "main.qxml"), 0);
  // The pre-read's own lines come before the title is known; nothing is
  // loaded afterwards.
  std::string log = data.read("no width/log.txt");
  EXPECT_EQ(log.find("Try to open qxml-file"), std::string::npos);
  EXPECT_EQ(log.find("Resource manager created"), std::string::npos);
}
}  // namespace

namespace {
double ModifiedAt(const std::string& path) {
  return std::chrono::duration<double>(std::filesystem::last_write_time(path).time_since_epoch()).count();
}

TEST(ProgramEndToEnd, TheMainFilesBinaryTwinIsWrittenOnceAndKeptUpToDate) {
  TempDir data, game;
  const std::string text = game.write("dir/main.qxml", "<?xml version=\"1.0\"?>\r\n<Applet width=\"64\" title=\"Twin\" onLoad=\"applet.terminate()\"/>");
  ASSERT_EQ(RunQplay(data.path(), game.path(), "dir/main.qxml"), 0);
  const std::string twin = game.file("dir/main.qbin");
  ASSERT_EQ(game.read("dir/main.qbin").substr(0, 4), "GFE0");
  const double first = ModifiedAt(twin);
  ASSERT_EQ(RunQplay(data.path(), game.path(), "dir/main.qxml"), 0);
  EXPECT_EQ(ModifiedAt(twin), first);  // not rewritten while it is up to date
  std::filesystem::last_write_time(text, std::filesystem::last_write_time(twin) + std::chrono::milliseconds(500));
  ASSERT_EQ(RunQplay(data.path(), game.path(), "dir/main.qxml"), 0);
  EXPECT_GT(ModifiedAt(twin), first);  // the newer source made it convert again
  std::filesystem::remove(text);
  ASSERT_EQ(RunQplay(data.path(), game.path(), "dir/main.qxml"), 0);
  EXPECT_NE(data.read("twin/log.txt").find("Resource manager created TFolderResourceMan"), std::string::npos);
}
}  // namespace
