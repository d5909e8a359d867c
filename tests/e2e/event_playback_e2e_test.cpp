// The built program plays a recording of input into a game that draws only
// on request: the recorded clicks and keys reach the applet's handlers in
// order, with window pixels turned into applet units, and the recorded Escape
// ends the game through its handler.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {
int RunQplay(const std::string& dataHome, const std::string& workDir, const std::string& arguments) {
  std::string command = "cd '" + workDir + "' && timeout -s KILL 60 env XDG_DATA_HOME='" + dataHome +
                        "' SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 "
                        "ASAN_OPTIONS=detect_leaks=0 " Q_BINARY_DIR "/qplay " +
                        arguments + " >/dev/null 2>&1";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A wide-string list file: the byte-order mark, then the lines in UTF-16LE.
std::string ListFile(const std::vector<std::u16string>& lines) {
  std::string bytes = "\xFF\xFE";
  for (const std::u16string& line : lines) {
    for (char16_t c : line + u"\r\n") {
      bytes.push_back(static_cast<char>(c & 0xFF));
      bytes.push_back(static_cast<char>(c >> 8));
    }
  }
  return bytes;
}

// The script lines ("@...") of a log file, in order.
std::vector<std::string> ScriptLines(const std::string& log) {
  std::vector<std::string> lines;
  size_t at = 0;
  while ((at = log.find(" (i) @", at)) != std::string::npos) {
    at += 6;
    size_t end = log.find("\r\n", at);
    lines.push_back(log.substr(at, end - at));
  }
  return lines;
}

TEST(EventPlaybackEndToEnd, ARecordingDrivesAStillGameToItsEnd) {
  TempDir data, game;
  game.write("main.qxml",
             "<?xml version=\"1.0\"?>\r\n"
             "<Applet name=\"app\" width=\"320\" height=\"200\" scale=\"2\" title=\"Replay\" frameRate=\"-1\" "
             "onLoad=\"event.playEvent('input.rec')\" "
             "onMouseDown=\"engine.log('@down ' + event.paramPoint.x + ',' + event.paramPoint.y)\" "
             "onKeyPress=\"engine.log('@press ' + event.paramKey); if (event.paramKey == 27) applet.terminate()\">\r\n"
             "</Applet>\r\n");
  game.write("input.rec", ListFile({u"3.000000000000000", u"3.100000000000000:2,1,20,40,0,0,",
                                    u"3.150000000000000:3,1,20,40,0,0,", u"3.300000000000000:0,0,97,",
                                    u"3.350000000000000:1,0,97,", u"3.400000000000000:5,",
                                    u"3.500000000000000:2,1,61,7,0,0,", u"3.600000000000000:0,27,0,",
                                    u"3.650000000000000:1,27,0,"}));
  ASSERT_EQ(RunQplay(data.path(), game.path(), "main.qxml"), 0);
  const std::string log = data.read("qplay/replay/log.txt");
  EXPECT_NE(log.find(" (i) Play...\r\n"), std::string::npos);
  EXPECT_EQ(ScriptLines(log), (std::vector<std::string>{"down 10,20", "press 97", "down 30.5,3.5", "press 27"}));
  EXPECT_EQ(log.find(" (e) "), std::string::npos) << log;
}
}  // namespace
