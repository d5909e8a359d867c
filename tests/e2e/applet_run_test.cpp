// Runs the built program on small games as a player would, on SDL's offscreen
// display: the applet's construction and destruction lines in their order,
// frames at the game's frame rate, ending from a handler, from the window's
// close request (SIGTERM and SIGINT become one), and a still game at frame
// rate -1 that draws nothing and rests the processor until asked.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "support/temp_dir.h"

namespace {
using Clock = std::chrono::steady_clock;

// One run of qplay in the background.
class Player {
 public:
  Player(const TempDir& data, const std::string& workDir, const std::string& mainFile) {
    pid_ = fork();
    if (pid_ != 0) return;
    if (chdir(workDir.c_str()) != 0) _exit(126);
    int quiet = open("/dev/null", O_RDWR);
    if (quiet >= 0) {
      dup2(quiet, STDOUT_FILENO);
      dup2(quiet, STDERR_FILENO);
    }
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    execl(Q_BINARY_DIR "/qplay", "qplay", mainFile.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ~Player() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  pid_t pid() const { return pid_; }
  void signal(int number) const { kill(pid_, number); }

  // The exit code, or -1 when the program did not end in time (it is then killed).
  int wait(std::chrono::seconds limit) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }

  // Processor time (user + system) the process has used so far, in seconds.
  double cpuSeconds() const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the command name in parentheses; utime and stime are the 14th and 15th.
    std::istringstream rest(text.substr(text.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
      if (i >= 14) ticks += std::stol(field);
    }
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
};

// The log's messages without their time stamps ("(i) text").
std::vector<std::string> Messages(const std::string& log) {
  std::vector<std::string> lines;
  std::istringstream in(log);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line.size() > 9 ? line.substr(9) : line);
  }
  return lines;
}

::testing::AssertionResult InOrder(const std::vector<std::string>& messages, const std::vector<std::string>& expected) {
  auto at = messages.begin();
  for (const std::string& line : expected) {
    at = std::find(at, messages.end(), line);
    if (at == messages.end()) return ::testing::AssertionFailure() << "missing or out of order: " << line;
    ++at;
  }
  return ::testing::AssertionSuccess();
}

bool WaitForLine(const TempDir& data, const std::string& logName, const std::string& message,
                 std::chrono::seconds limit = std::chrono::seconds(60)) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    auto messages = Messages(data.read(logName));
    if (std::find(messages.begin(), messages.end(), message) != messages.end()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

int CountPrefixed(const std::vector<std::string>& messages, const std::string& prefix) {
  return static_cast<int>(
      std::count_if(messages.begin(), messages.end(), [&](const std::string& m) { return m.rfind(prefix, 0) == 0; }));
}

const std::vector<std::string> kConstruction{
    "(i) ===== Start applet creation ======", "(i) Create main window",          "(i) Main window created",
    "(i) Create main device",                 "(i) Device was created successful", "(i) Camera set",
    "(i) ScriptEngine created",               "(i) Cache created",                 "(i) Event created",
    "(i) load main object and script",        "(i) Applet properties was loaded",  "(i) main object was loaded",
    "(i) Load fonts",                         "(i) Load materials",                "(i) End of the root object creation"};
const std::vector<std::string> kDestruction{"(i) Objects destroyed", "(i) Window was destroyed",
                                            "(i) ===== Applet was destroyed ======"};

std::string Game(const std::string& attributes) {
  return "<?xml version=\"1.0\"?>\r\n<Applet name=\"game\" width=\"320\" height=\"200\" " + attributes +
         ">\r\n  <Dummy name=\"scene\"/>\r\n</Applet>\r\n";
}

TEST(AppletRun, FramesComeAtTheFrameRateAndAHandlerEndsTheGameInOrder) {
  TempDir data, game;
  // Counts the frames of three seconds from the first one, then ends itself.
  game.write("game/main.qxml",
             Game("title=\"Frame Rate\" frameRate=\"30\" onLoad=\"var frames = 0; var first = -1;\" "
                  "onTick=\"if (first &lt; 0) first = applet.time; frames++; applet.update(); "
                  "if (applet.time - first &gt;= 3) { engine.log('frames ' + frames); applet.terminate(); }\""));
  Player player(data, game.path(), "game/main.qxml");
  ASSERT_EQ(player.wait(std::chrono::seconds(60)), 0);
  const auto messages = Messages(data.read("frame rate/log.txt"));
  EXPECT_TRUE(InOrder(messages, kConstruction));
  EXPECT_EQ(std::count(messages.begin(), messages.end(), "(i) Applet properties was loaded"), 1);
  auto counted = std::find_if(messages.begin(), messages.end(),
                              [](const std::string& m) { return m.rfind("(i) frames ", 0) == 0; });
  ASSERT_NE(counted, messages.end());
  const int frames = std::stoi(counted->substr(11));
  EXPECT_GE(frames, 77) << "30 frames a second for 3 seconds, within 15%";
  EXPECT_LE(frames, 103);
  EXPECT_TRUE(InOrder(std::vector<std::string>(counted, messages.end()), kDestruction));
}

void EndsOnSignal(int number, const std::string& title) {
  TempDir data, game;
  game.write("main.qxml", Game("title=\"" + title + "\" frameRate=\"30\" onTick=\"applet.update();\" "
                               "onFree=\"engine.log('freeing')\""));
  Player player(data, game.path(), "main.qxml");
  const std::string logName = title + "/log.txt";
  ASSERT_TRUE(WaitForLine(data, logName, "(i) End of the root object creation"));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  player.signal(number);
  ASSERT_EQ(player.wait(std::chrono::seconds(30)), 0);
  const auto messages = Messages(data.read(logName));
  EXPECT_TRUE(InOrder(messages, kConstruction));
  EXPECT_TRUE(InOrder(messages, {"(i) End of the root object creation", "(i) WM_CLOSE", "(i) freeing",
                                 "(i) Objects destroyed", "(i) Window was destroyed",
                                 "(i) ===== Applet was destroyed ======"}));
}

TEST(AppletRun, SigtermReachesTheWindowAsItsCloseRequest) { EndsOnSignal(SIGTERM, "closed by term"); }
TEST(AppletRun, SigintReachesTheWindowAsItsCloseRequest) { EndsOnSignal(SIGINT, "closed by int"); }

TEST(AppletRun, AStillGameAtFrameRateMinusOneDrawsNothingAndRestsUntilAsked) {
  TempDir data, game;
  game.write("main.qxml", Game("title=\"Still\" frameRate=\"-1\" onLoad=\"var frames = 0;\" "
                               "onTick=\"frames++; engine.log('frame ' + frames);\""));
  Player player(data, game.path(), "main.qxml");
  ASSERT_TRUE(WaitForLine(data, "still/log.txt", "(i) End of the root object creation"));
  // Whatever loading asked for is drawn first.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const int framesBefore = CountPrefixed(Messages(data.read("still/log.txt")), "(i) frame ");
  const double cpuBefore = player.cpuSeconds();
  std::this_thread::sleep_for(std::chrono::seconds(2));
  const double idleCpu = player.cpuSeconds() - cpuBefore;
  EXPECT_EQ(CountPrefixed(Messages(data.read("still/log.txt")), "(i) frame "), framesBefore);
  EXPECT_LT(idleCpu, 0.5) << "two idle seconds must not keep the processor busy";

  // The close request is something to handle: one frame runs it.
  player.signal(SIGTERM);
  ASSERT_EQ(player.wait(std::chrono::seconds(30)), 0);
  const auto messages = Messages(data.read("still/log.txt"));
  EXPECT_EQ(CountPrefixed(messages, "(i) frame "), framesBefore + 1);
  EXPECT_TRUE(InOrder(messages, kDestruction));
}
}  // namespace
