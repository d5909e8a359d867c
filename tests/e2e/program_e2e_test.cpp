// Runs the built program as a player would and checks what it leaves behind.
#include <gtest/gtest.h>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
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
  std::string log = data.read("qplay/hello world/log.txt");
  ASSERT_FALSE(log.empty());
  std::regex line(R"(^\d\d:\d\d:\d\d \((i|e)\) .*\r$)");
  for (const std::string& l : Lines(log)) EXPECT_TRUE(std::regex_match(l, line)) << l;
  EXPECT_NE(log.find(" (i) Try to open qxml-file\r\n"), std::string::npos);
}

TEST(ProgramEndToEnd, BareFileNameResolvesInTheCurrentFolder) {
  TempDir data, game;
  game.write("main.qxml", "<Applet width=\"64\" title=\"Bare\" onLoad=\"applet.terminate()\"/>");
  ASSERT_EQ(RunQplay(data.path(), game.path(), "main.qxml"), 0);
  std::string log = data.read("qplay/bare/log.txt");
  EXPECT_NE(log.find("Try to open qxml-file"), std::string::npos);
  EXPECT_EQ(log.find("Resource manager not actived"), std::string::npos);
}

// What a run left on its two output streams, and its exit code.
struct QplayRun {
  int status = -1;
  std::string out;
  std::string err;
};

QplayRun RunQplayCapturing(const std::string& dataHome, const std::string& workDir, const std::string& arguments) {
  TempDir streams;
  std::string command = "cd '" + workDir + "' && timeout -s KILL 60 env XDG_DATA_HOME='" + dataHome +
                        "' SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 "
                        "ASAN_OPTIONS=detect_leaks=0 " Q_BINARY_DIR "/qplay " +
                        arguments + " >'" + streams.file("out") + "' 2>'" + streams.file("err") + "'";
  int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, streams.read("out"), streams.read("err")};
}

// A broken game fails with a line that names the file and says what is wrong,
// on standard error and in the log when the log has a name.
TEST(ProgramEndToEnd, AGameThatCannotRunFailsAndSaysWhy) {
  TempDir data, game;
  game.write("nowidth/main.qxml", "<Applet title=\"No Width\"/>");
  game.write("broken/main.qxml", "<?xml version=\"1.0\"?>\r\n<Applet width=\"64\" title=\"Broken\">\r\n</Aplet>\r\n");
  struct Case {
    std::string arguments, message, log;
  };
  const Case cases[] = {
      {"", "(e) No main file found beside the program; usage: qplay", ""},
      {"gone/main.qxml", "(e) Main file gone/main.qxml not found", ""},
      {"nowidth/main.qxml", "(e) Main file nowidth/main.qxml gives no applet: no width could be read from it",
       "qplay/no width/log.txt"},
      {"broken/main.qxml", "(e) XML document could not be read in file main.qxml", "qplay/broken/log.txt"},
      {"broken/main.qxml", "(e) Main file broken/main.qxml gives no applet", "qplay/broken/log.txt"},
  };
  for (const Case& c : cases) {
    const QplayRun run = RunQplayCapturing(data.path(), game.path(), c.arguments);
    EXPECT_EQ(run.status, 1) << c.arguments;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.arguments << ":\n" << run.err;
    if (!c.log.empty()) {
      EXPECT_NE(data.read(c.log).find(c.message), std::string::npos) << c.log;
    }
  }
  // The parser's own line names the file too.
  EXPECT_NE(data.read("qplay/broken/log.txt").find("in file main.qxml"), std::string::npos);
  // A main file that is not there names no log folder.
  EXPECT_FALSE(std::filesystem::exists(data.file("gone")));
}

TEST(ProgramEndToEnd, HelpPrintsTheUsageLine) {
  TempDir data, work;
  const QplayRun run = RunQplayCapturing(data.path(), work.path(), "--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "usage: qplay [main.qxml | game folder | archive.qfs]\n");
  EXPECT_TRUE(std::filesystem::is_empty(data.path()));
}

TEST(ProgramEndToEnd, AFolderRunsItsMainFileAndAnUntitledGameLogsUnderTheFolderName) {
  TempDir data, game;
  game.write("Space Game/main.qxml", "<Applet width=\"64\" onLoad=\"engine.log('ran')\" onTick=\"applet.terminate()\"/>");
  for (const char* argument : {"'Space Game'", "'Space Game/'"}) {
    EXPECT_EQ(RunQplayCapturing(data.path(), game.path(), argument).status, 0) << argument;
    EXPECT_NE(data.read("qplay/space game/log.txt").find(" (i) ran\r\n"), std::string::npos) << argument;
  }
}

TEST(ProgramEndToEnd, ThePreviousRunsLogIsKeptOnce) {
  TempDir data, game;
  game.write("main.qxml", "<Applet width=\"64\" title=\"Kept\" onLoad=\"engine.log(applet.tagString)\" "
                          "onTick=\"applet.terminate()\" tagString=\"first\"/>");
  ASSERT_EQ(RunQplayCapturing(data.path(), game.path(), "main.qxml").status, 0);
  data.write("qplay/kept/log.txt", data.read("qplay/kept/log.txt") + "12:00:00 (e) crash report\r\n");
  game.write("main.qxml", "<Applet width=\"64\" title=\"Kept\" onLoad=\"engine.log(applet.tagString)\" "
                          "onTick=\"applet.terminate()\" tagString=\"second\"/>");
  ASSERT_EQ(RunQplayCapturing(data.path(), game.path(), "main.qxml").status, 0);
  const std::string old = data.read("qplay/kept/log.old.txt");
  EXPECT_NE(old.find(" (i) first\r\n"), std::string::npos);
  EXPECT_NE(old.find("crash report"), std::string::npos);
  EXPECT_NE(data.read("qplay/kept/log.txt").find(" (i) second\r\n"), std::string::npos);
  EXPECT_EQ(data.read("qplay/kept/log.txt").find("first"), std::string::npos);
}

// Runs qplay main.qxml in the game folder on a terminal; what the terminal
// showed, and the exit code.
QplayRun RunQplayOnATerminal(const TempDir& data, const TempDir& game) {
  int terminal = -1;
  pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (pid < 0) return {};
  if (pid == 0) {
    if (chdir(game.path().c_str()) != 0) _exit(126);
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    execl(Q_BINARY_DIR "/qplay", "qplay", "main.qxml", static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string output;
  char buffer[4096];
  for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) output.append(buffer, static_cast<size_t>(got));
  int status = 0;
  waitpid(pid, &status, 0);
  close(terminal);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output, {}};
}

// Started from a terminal, the first line there says where the log is.
TEST(ProgramEndToEnd, OnATerminalTheFirstLineNamesTheLogFile) {
  TempDir data, game;
  game.write("main.qxml", "<Applet width=\"64\" title=\"Tty\" onLoad=\"nothing()\" onTick=\"applet.terminate()\"/>");
  const QplayRun run = RunQplayOnATerminal(data, game);
  const std::string& output = run.out;
  EXPECT_EQ(run.status, 0);
  const std::vector<std::string> lines = Lines(output);
  ASSERT_GE(lines.size(), 2u) << output;
  EXPECT_EQ(lines[0], "qplay: log file " + data.path() + "qplay/tty/log.txt\r");
  EXPECT_NE(lines[1].find("(e) Applet.onLoad(0:0) ReferenceError: nothing is not defined \"nothing()\""),
            std::string::npos)
      << lines[1];
}

// On a terminal the author sees what the game logs, and the browser's habits
// point at the game's own way to log.
TEST(ProgramEndToEnd, OnATerminalTheGamesOwnLinesShowAndConsoleLogPointsAtEngineLog) {
  TempDir data, game;
  game.write("main.qxml", "<Applet width=\"64\" title=\"Echo\" onLoad=\"engine.log('hello from the game'); "
                          "console.log('x')\" onTick=\"applet.terminate(); print('y')\"/>");
  const QplayRun run = RunQplayOnATerminal(data, game);
  EXPECT_EQ(run.status, 0);
  const std::regex echoed(R"(\d\d:\d\d:\d\d \(i\) hello from the game\r\n)");
  EXPECT_TRUE(std::regex_search(run.out, echoed)) << run.out;
  EXPECT_NE(run.out.find("ReferenceError: console is not defined (a game writes to its log with engine.log(text))"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("ReferenceError: print is not defined (a game writes to its log with engine.log(text))"),
            std::string::npos)
      << run.out;
  // The runtime's own information lines stay in the log.
  EXPECT_EQ(run.out.find("(i) Try to open qxml-file"), std::string::npos) << run.out;
}

// A file that is not there is named once, with the object and property that
// named it, before anything that goes wrong because of it.
TEST(ProgramEndToEnd, MissingFilesAreNamedOnceWithTheObjectAndPropertyThatNamedThem) {
  TempDir data, game;
  game.write("main.qxml", "<?xml version=\"1.0\"?>\r\n"
                          "<Applet width=\"64\" title=\"Missing\" "
                          "onTick=\"if (++applet.tagInt == 3) applet.terminate(); applet.update()\">\r\n"
                          "  <Script name=\"code\" fileName=\"gmae.js\"/>\r\n"
                          "  <Sprite name=\"hero\" pixmap.fileName=\"hreo.png\"/>\r\n"
                          "  <Sprite name=\"twin\" pixmap.fileName=\"hreo.png\"/>\r\n"
                          "  <SoundPlayer name=\"jump\" fileName=\"jmup.wav\"/>\r\n"
                          "  <Rect name=\"box\" material=\"yelow\" width=\"8\" height=\"8\"/>\r\n"
                          "</Applet>\r\n");
  for (int run = 0; run < 2; ++run) {
    ASSERT_EQ(RunQplayCapturing(data.path(), game.path(), "main.qxml").status, 0);
    const std::string log = data.read("qplay/missing/log.txt");
    for (const char* line : {"(e) File gmae.js not found, named by code.fileName\r\n",
                             "(e) File hreo.png not found, named by hero.pixmap.fileName\r\n",
                             "(e) File jmup.wav not found, named by jump.fileName\r\n",
                             "(e) Material yelow not found, named by box.material\r\n"}) {
      const size_t at = log.find(line);
      EXPECT_NE(at, std::string::npos) << line << "\n" << log;
      EXPECT_EQ(log.find(line, at + 1), std::string::npos) << "twice: " << line;
    }
  }
}

// A game is its folder's main.qxml: any other object file named on the command
// line ends the program at once with one line that says so.
TEST(ProgramEndToEnd, AnObjectFileThatIsNotTheFoldersMainFileIsRefusedWithOneLine) {
  TempDir data, game;
  game.write("main.qxml", "<Applet width=\"64\" title=\"Main\" onLoad=\"engine.log('main ran')\" onTick=\"applet.terminate()\"/>");
  game.write("level2.qxml", "<Applet width=\"64\" title=\"Level\" onTick=\"applet.terminate()\"/>");
  game.write("other/pong.qxml", "<Applet width=\"64\" title=\"Pong\" onTick=\"applet.terminate()\"/>");
  for (const char* name : {"level2.qxml", "nothere.qxml", "other/pong.qxml", "LEVEL2.QBIN"}) {
    const QplayRun run = RunQplayCapturing(data.path(), game.path(), name);
    EXPECT_EQ(run.status, 1) << name;
    const std::string file = std::filesystem::path(name).filename().string();
    const std::vector<std::string> lines = Lines(run.err);
    ASSERT_EQ(lines.size(), 1u) << name << ":\n" << run.err;
    EXPECT_NE(lines[0].find("(e) qplay runs a game folder's main.qxml; " + file + " is not it"), std::string::npos)
        << lines[0];
  }
  EXPECT_FALSE(std::filesystem::exists(data.file("qplay/main")));
  EXPECT_EQ(RunQplayCapturing(data.path(), game.path(), "main.qxml").status, 0);
}

// Players' data lies in one folder of the runtime's own; a game's folder from
// before, under the title's own capitals loose in the application-data folder,
// moves in at the first start and the game finds its preferences there.
TEST(ProgramEndToEnd, PlayersDataLivesUnderQplayAndTheOldFolderMovesIn) {
  TempDir data, game;
  game.write("main.qxml", "<Applet width=\"64\" title=\"Kept Prefs\" onLoad=\"preferences.setValue('colour', 'blue'); "
                          "preferences.store()\" onTick=\"applet.terminate()\"/>");
  ASSERT_EQ(RunQplayCapturing(data.path(), game.path(), "main.qxml").status, 0);
  ASSERT_TRUE(std::filesystem::exists(data.file("qplay/kept prefs/prefs.dat")));
  EXPECT_TRUE(std::filesystem::exists(data.file("qplay/kept prefs/log.txt")));
  // The layout of before: the game's folder loose, with a file of the desktop's beside the runtime's.
  std::filesystem::rename(data.file("qplay/kept prefs"), data.file("Kept Prefs"));
  data.write("Kept Prefs/notes.desktop", "not ours");
  game.write("main.qxml", "<Applet width=\"64\" title=\"Kept Prefs\" "
                          "onLoad=\"engine.log('colour=' + preferences.getValue('colour'))\" onTick=\"applet.terminate()\"/>");
  ASSERT_EQ(RunQplayCapturing(data.path(), game.path(), "main.qxml").status, 0);
  EXPECT_NE(data.read("qplay/kept prefs/log.txt").find(" (i) colour=blue\r\n"), std::string::npos)
      << data.read("qplay/kept prefs/log.txt");
  EXPECT_FALSE(std::filesystem::exists(data.file("Kept Prefs/prefs.dat")));
  EXPECT_EQ(data.read("Kept Prefs/notes.desktop"), "not ours");  // what is not the runtime's stays
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
  EXPECT_NE(data.read("qplay/twin/log.txt").find("Resource manager created TFolderResourceMan"), std::string::npos);
}
}  // namespace
