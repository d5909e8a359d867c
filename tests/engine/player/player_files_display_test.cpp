// A game run again and again keeps its players, settings and scores: a stray
// line, a value or score a script should not store, and a damaged file cost
// nothing else, and the damaged file is found beside the new one.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/objects/wide_strings.h"
#include "tests/engine/event_test_applet.h"

namespace {
using Lines = std::vector<std::string>;

std::string Scrambled(const std::u16string& text) {
  std::string bytes;
  for (char16_t c : text) {
    const uint16_t unit = static_cast<uint16_t>(c) ^ kScrambleKey;
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

const char kReport[] =
    "onLoad=\"engine.log('@' + preferences.users(0) + ',' + preferences.users(1) + ',' + preferences.userCount"
    " + ',' + preferences.getValue('lang') + ';' + scoreTable.count + ':' + scoreTable.names(0) + scoreTable.scores(0)"
    " + ',' + scoreTable.names(scoreTable.count - 1) + scoreTable.scores(scoreTable.count - 1))\"";

TEST(PlayerFilesGame, AGameRunTwiceKeepsEveryValidPlayerSettingAndScore) {
  EventTestGame game;
  ASSERT_NE(game.load("", ""), nullptr);
  game.unload();
  // The game's own folder of player files, named after its title in lower case.
  const std::string prefs = "qplay/event test/prefs.dat", scores = "qplay/event test/scores.dat";
  game.data.write(prefs, Scrambled(u"2\r\nuser2=bob\r\nuser1=ann\r\nuser1 stray\r\ncurrentuser=ann\r\nuser1.lang=fr\r\n"));
  game.data.write(scores, Scrambled(u"bob=30\r\ncid=seven\r\nann=20\r\ndan=10\r\n"));
  // The first run tries what must be refused, then adds a score.
  ASSERT_NE(game.load("onLoad=\"preferences.setValue('lang', 'x'.repeat(2200000)); scoreTable.addScore('eve', 1e10);"
                      " scoreTable.addScore('eve', 2.9); scoreTable.addScore('eve', 5)\"",
                      ""),
            nullptr);
  EXPECT_EQ(game.log.count("(e) Invalide function call addScore"), 2);
  EXPECT_TRUE(game.log.contains("(e) Unreadable lines skipped in prefs.dat: 1, the first is line 4 \"user1 stray\""));
  EXPECT_TRUE(game.log.contains("(e) Unreadable lines skipped in scores.dat: 1, the first is line 2 \"cid=seven\""));
  game.unload();
  ASSERT_NE(game.load(kReport, ""), nullptr);
  EXPECT_EQ(game.scriptLines(), (Lines{"ann,bob,2,fr;4:bob30,eve5"}));
  game.unload();
  // A damaged score file is kept aside; the next run's scores replace it.
  const std::string damaged = game.data.read(scores) + "x";
  game.data.write(scores, damaged);
  game.log.clear();
  ASSERT_NE(game.load("onLoad=\"scoreTable.addScore('fay', 7)\"", ""), nullptr);
  game.unload();
  EXPECT_EQ(game.data.read(scores + ".bad"), damaged);
  EXPECT_EQ(game.data.read(scores), Scrambled(u"fay=7\r\n"));
  EXPECT_TRUE(game.log.contains("(e) Damaged file ignored: scores.dat"));
}
}  // namespace
