// Where a running game's writes may land: whichever manager serves a load,
// nothing a game names lands among the program's own files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "compat/win32/system.h"
#include "core/text/text_helpers.h"
#include "engine/applet/applet.h"
#include "tests/engine/applet_world.h"

namespace {
namespace fs = std::filesystem;

TEST(WritePlaces, AHandlerRunDuringAnExternalLoadCannotWriteBesideTheProgram) {
  const std::string programFolder = ExtractFilePath(GetProgramFileName());
  const std::string stray = "stored-beside-program-" + std::to_string(getpid()) + ".qxml";
  AppletWorld world(AppletText(R"(width="160" height="120" title="Beside")"));
  ASSERT_NE(world.applet, nullptr);
  // While the external file loads, names are taken from the program's folder.
  world.data.write("ext.qxml", "<?xml version=\"1.0\"?>\r\n<Dummy name=\"ext\" onCreate=\"engine.log('beside ' + "
                               "applet.storeObject(applet, '" + stray + "') + ' game ' + "
                               "applet.storeObject(applet, '" + world.game.file("game.qxml") + "'))\"/>\r\n");
  world.applet->newFromExtFile(Utf8ToWide(world.data.file("ext.qxml")), nullptr);
  const bool written = fs::exists(programFolder + stray);
  fs::remove(programFolder + stray);
  EXPECT_FALSE(written);
  int refusals = 0;
  for (const std::string& line : world.log.messages()) {
    refusals += line.starts_with("(e) Write refused outside the game's folders: ") && line.ends_with(stray);
  }
  EXPECT_EQ(refusals, 1);
  EXPECT_EQ(world.log.count("(i) beside false game true"), 1);
}
}  // namespace
