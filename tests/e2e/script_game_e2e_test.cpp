// A game whose handlers and script files exercise the script binding, run by
// the built program four times from the same folder: the first run compiles
// its script file into the ".jsbin" cache, the second reuses it, a touched
// source is compiled again, and without the source the cache alone runs.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {
namespace fs = std::filesystem;

constexpr char kMain[] = R"q(<?xml version="1.0"?>
<Applet name="scriptgame" width="320" height="200" title="Script Game" frameRate="30"
  onLoad="engine.log('width ' + applet.width);
engine.log(applet.format(&quot;%s=%.2f&quot;, &quot;pi&quot;, 3.14159));
var made = new Sprite();
var exported = Object.keys(this).filter(function (k) { return /^sprite[0-9]+$/.test(k) &amp;&amp; this[k] === made; }, this);
engine.log('made ' + made.width + 'x' + made.height + ' ' + made.material + ' under ' + made.getParent().name + ' as ' + exported.length);
engine.log('missing ' + applet.findByName());
engine.log('lib says ' + libAnswer(6));"
  onTick="applet.terminate()">
  <Script name="lib" fileName="lib.js"/>
  <Script name="broken" fileName="broken.js"/>
</Applet>
)q";

constexpr char kLibrary[] = "// helpers of the game\r\nfunction libAnswer(n) {\r\n  return n * 7;\r\n}\r\n";
constexpr char kBroken[] = "var fine = 1;\r\nvar broken = (1 + ;\r\n";

class ScriptGame : public ::testing::Test {
 protected:
  ScriptGame() {
    game.write("game/main.qxml", kMain);
    game.write("game/lib.js", kLibrary);
    game.write("game/broken.js", kBroken);
  }

  // Runs the program on the game; answers the lines of its log without the
  // time stamps.
  std::vector<std::string> run() {
    const std::string command = "cd '" + game.path() + "' && timeout -s KILL 60 env XDG_DATA_HOME='" + data.path() +
                                "' SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 "
                                "ASAN_OPTIONS=detect_leaks=0 " Q_BINARY_DIR "/qplay game/main.qxml >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    std::vector<std::string> lines;
    const std::string log = data.read("qplay/script game/log.txt");
    size_t start = 0;
    while (start < log.size()) {
      size_t end = log.find("\r\n", start);
      if (end == std::string::npos) end = log.size();
      // "hh:mm:ss " precedes every line.
      lines.push_back(log.substr(start + 9, end - start - 9));
      start = end + 2;
    }
    return lines;
  }

  // The lines from the script engine's start to the end of the root object's
  // creation, that is everything the game's own files made it write.
  static std::vector<std::string> gameLines(const std::vector<std::string>& all) {
    std::vector<std::string> picked;
    for (const std::string& line : all) {
      const bool interesting = line.find("compile") != std::string::npos || line.find("lib") == 4 ||
                               line.find("broken") != std::string::npos || line.find("Invalide") != std::string::npos ||
                               line.rfind("(i) width", 0) == 0 || line.rfind("(i) pi=", 0) == 0 ||
                               line.rfind("(i) made", 0) == 0 || line.rfind("(i) missing", 0) == 0 ||
                               line.rfind("(i) lib says", 0) == 0;
      if (interesting) picked.push_back(line);
    }
    return picked;
  }

  void ageCache(int seconds) {
    const fs::path cache = game.file("game/lib.jsbin");
    fs::last_write_time(cache, fs::last_write_time(cache) + std::chrono::seconds(seconds));
  }

  TempDir data, game;
};

const std::vector<std::string> kHandlerLines = {
    "(i) width 320",
    "(i) pi=3.14",
    "(i) made 10x10 gui under scriptgame as 1",
    "(e) Invalide function call findByName",
    "(i) missing undefined",
    "(i) lib says 42",
};

std::vector<std::string> Expected(bool compilesLibrary) {
  std::vector<std::string> lines;
  if (compilesLibrary) lines.push_back("(i) lib.js was compiled successful");
  lines.push_back("(e) broken.js(2:18) SyntaxError: expected expression, got ';' \"var broken = (1 + ;\"");
  lines.push_back("(e) Can't compile broken.js script");
  lines.insert(lines.end(), kHandlerLines.begin(), kHandlerLines.end());
  return lines;
}

TEST_F(ScriptGame, RunsToItsEndLoggingWhatItsScriptsSay) {
  const std::vector<std::string> all = run();
  EXPECT_EQ(gameLines(all), Expected(true));
  EXPECT_TRUE(fs::exists(game.file("game/lib.jsbin")));
  EXPECT_FALSE(fs::exists(game.file("game/broken.jsbin")));
  EXPECT_NE(std::find(all.begin(), all.end(), "(i) ===== Applet was destroyed ======"), all.end());
}

TEST_F(ScriptGame, ReusesTheCacheUntilTheSourceIsNewerAndRunsFromTheCacheAlone) {
  run();
  ASSERT_TRUE(fs::exists(game.file("game/lib.jsbin")));
  const std::string compiled = game.read("game/lib.jsbin");

  EXPECT_EQ(gameLines(run()), Expected(false)) << "the second run takes the cache";
  EXPECT_EQ(game.read("game/lib.jsbin"), compiled);

  ageCache(-60);  // the source is now the newer file
  EXPECT_EQ(gameLines(run()), Expected(true)) << "a touched source is compiled again";

  fs::remove(game.file("game/lib.js"));
  EXPECT_EQ(gameLines(run()), Expected(false)) << "the cache alone still runs";
}
}  // namespace
