// The players' files "prefs.dat" and "scores.dat": their bytes, the player
// and score rules that a game sees, hostile texts, damaged files, and a
// writer killed at any moment.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "core/objects/engine.h"
#include "core/objects/wide_strings.h"
#include "core/resources/ext_resource_man.h"
#include "engine/applet/applet_numbers.h"
#include "engine/player/preferences.h"
#include "engine/player/score_table.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"

namespace {
using namespace std::string_literals;
using Lines = std::vector<WideString>;

Lines LinesOf(const TWideStringList& list) {
  Lines lines;
  for (int i = 0; i < list.count(); ++i) lines.push_back(list.get(i));
  return lines;
}

// Text as the scrambled file holds it.
std::string Scrambled(const std::u16string& text) {
  std::string bytes;
  for (char16_t c : text) {
    uint16_t unit = static_cast<uint16_t>(c) ^ kScrambleKey;
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

class PlayerFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    engine = New<SomeEngine>(nullptr);
    engine->externalResourceManager()->setRoot(dir.path());
  }
  void TearDown() override { engine->Free(); }
  template <typename T>
  T* fresh() {
    T* object = New<T>(nullptr);
    owned.emplace_back(object);
    return object;
  }
  SomeEngine* engine = nullptr;
  TempDir dir;
  std::vector<std::unique_ptr<TObject, FreeDeleter>> owned;
};

TEST_F(PlayerFiles, AFreshSettingWritesTwoScrambledLines) {
  Preferences* prefs = fresh<Preferences>();
  EXPECT_EQ(prefs->userCount(), 0);
  EXPECT_EQ(prefs->getValue(u"lang"), u"");
  prefs->setValue(u"lang", u"english");
  const std::string bytes = dir.read("prefs.dat");
  EXPECT_EQ(bytes.substr(0, 8), "\xD1\xC7\xEC\xC7\xEB\xC7\x94\xC7");
  EXPECT_EQ(bytes, Scrambled(u"0\r\nuser1.lang=english\r\n"));
  Preferences* back = fresh<Preferences>();
  back->load();
  EXPECT_EQ(back->getValue(u"lang"), u"english");
}

TEST_F(PlayerFiles, PlayersAreAddedRenamedAndDeletedWithoutReusingNumbers) {
  Preferences* prefs = fresh<Preferences>();
  prefs->addUser(u"ann");
  prefs->addUser(u"bob");
  EXPECT_EQ(LinesOf(prefs->lines()), (Lines{u"2", u"user2=bob", u"user1=ann", u"currentuser=bob"}));
  prefs->setValue(u"lang", u"german");  // bob's
  prefs->deleteUser(u"carl");           // absent: nothing changes
  EXPECT_EQ(prefs->userCount(), 2);
  prefs->deleteUser(u"ann");
  EXPECT_EQ(prefs->userCount(), 1);
  EXPECT_EQ(prefs->users(0), u"bob");
  EXPECT_EQ(prefs->userNumber(u"bob"), 2);  // still found past the count
  EXPECT_EQ(prefs->getValue(u"lang"), u"german");
  prefs->addUser(u"dan");  // a new number, never bob's
  EXPECT_EQ(prefs->lines().get(1), u"user3=dan");
  EXPECT_EQ(prefs->getValue(u"lang"), u"");
  LogCapture log;
  prefs->renameUser(u"bob", u"rob");
  EXPECT_TRUE(log.contains("(i) ok! user name chaged from bob to rob"));
  EXPECT_EQ(prefs->userNumber(u"rob"), 2);
  EXPECT_EQ(prefs->user(), u"dan");
}

TEST_F(PlayerFiles, ValuesReadAsBooleansAndNumbers) {
  Preferences* prefs = fresh<Preferences>();
  struct Case {
    const char16_t* text;
    bool on;
    int32_t whole;
    float decimal;
  };
  for (const Case& c : {Case{u"1", true, 1, 1.0f}, Case{u"-1", true, -1, -1.0f}, Case{u"on", true, 0, 0.0f},
                        Case{u"True", false, 0, 0.0f}, Case{u"yes", false, 0, 0.0f}, Case{u"0", false, 0, 0.0f},
                        Case{u"2.5", false, 0, 2.5f}, Case{u"2,5", false, 0, 0.0f}, Case{u" 7", false, 0, 0.0f},
                        Case{u" 2.5", false, 0, 0.0f}, Case{u"+3", false, 3, 3.0f}, Case{u"-.5e1", false, 0, -5.0f},
                        Case{u"nan", false, 0, 0.0f}, Case{u"inf", false, 0, 0.0f}, Case{u"1e39", false, 0, 0.0f},
                        Case{u"1e", false, 0, 0.0f}, Case{u".", false, 0, 0.0f}, Case{u"0x10", false, 0, 0.0f}}) {
    prefs->setValue(u"k", c.text);
    EXPECT_EQ(prefs->getBoolValue(u"k"), c.on) << WideToUtf8(c.text);
    EXPECT_EQ(prefs->getIntValue(u"k"), c.whole) << WideToUtf8(c.text);
    EXPECT_EQ(prefs->getFloatValue(u"k"), c.decimal) << WideToUtf8(c.text);
  }
}

TEST_F(PlayerFiles, HostileTextsRoundTripWithoutAddingLines) {
  const WideString texts[] = {u"a=b", u"x\r\nuser1.lang=evil", u"50%3D", u"l\u2028m\vn\fo", u"=", u"%"};
  Preferences* prefs = fresh<Preferences>();
  ScoreTable* scores = fresh<ScoreTable>();
  for (const WideString& text : texts) {
    prefs->addUser(text);
    prefs->setValue(text, text);
    scores->addScore(text, 7);
  }
  prefs->store();
  scores->store();
  Preferences* prefsBack = fresh<Preferences>();
  ScoreTable* scoresBack = fresh<ScoreTable>();
  prefsBack->load();
  scoresBack->load();
  EXPECT_EQ(prefsBack->lines().count(), 2 + 2 * 6);  // count, current player, 6 names, 6 values
  ASSERT_EQ(scoresBack->count(), 6);
  for (int i = 0; i < 6; ++i) {
    const WideString& text = texts[5 - i];
    EXPECT_EQ(prefsBack->users(i), texts[i]);
    prefsBack->setUser(text);
    EXPECT_EQ(prefsBack->getValue(text), text);
    EXPECT_EQ(prefsBack->getValue(u"lang"), u"");
  }
  Lines names;
  for (int i = 0; i < 6; ++i) names.push_back(scoresBack->names(i));
  for (const WideString& text : texts) EXPECT_NE(std::find(names.begin(), names.end(), text), names.end());
}

TEST_F(PlayerFiles, AFileRefusedAsAWholeIsKeptAsideAndNotReplaced) {
  const std::string damaged[] = {
      Scrambled(u"2\r\nuser1=ann\r\n") + "x",  // odd length
      Scrambled(u"1\r\nuser1=a\0nn\r\n"s),      // a NUL
      "",                                       // nothing
      std::string((4 << 20) + 2, 'a'),          // too large
  };
  for (const std::string& bytes : damaged) {
    dir.write("prefs.dat", bytes);
    Preferences* prefs = fresh<Preferences>();
    LogCapture log;
    prefs->load();
    EXPECT_TRUE(log.contains("(e) Damaged file ignored: prefs.dat"));
    EXPECT_TRUE(log.contains("(i) Damaged file kept as prefs.dat.bad"));
    EXPECT_EQ(LinesOf(prefs->lines()), Lines{u"0"});
    prefs->setValue(u"lang", u"english");
    EXPECT_EQ(dir.read("prefs.dat.bad"), bytes);
  }
}

TEST_F(PlayerFiles, UnreadableLinesAreSkippedWithOneLineAndTheRestKept) {
  struct Case {
    std::u16string text;
    Lines kept;
    const char* logged;
  };
  const Case cases[] = {
      {u"1\r\nuser1 ann\r\nuser2=bob\r\nuser2.lang=de\r\nstray\r\n", {u"1", u"user2=bob", u"user2.lang=de"},
       "(e) Unreadable lines skipped in prefs.dat: 2, the first is line 2 \"user1 ann\""},
      {u"two\r\nuser1=ann\r\nuser3=cid\r\n", {u"2", u"user1=ann", u"user3=cid"},
       "(e) Unreadable lines skipped in prefs.dat: 1, the first is line 1 \"two\""},
      {u"=x\r\n", {u"0"}, "(e) Unreadable lines skipped in prefs.dat: 1, the first is line 1 \"=x\""},
  };
  for (const Case& c : cases) {
    dir.write("prefs.dat", Scrambled(c.text));
    Preferences* prefs = fresh<Preferences>();
    LogCapture log;
    prefs->load();
    EXPECT_EQ(LinesOf(prefs->lines()), c.kept);
    EXPECT_TRUE(log.contains(c.logged)) << c.logged;
  }
  dir.write("scores.dat", Scrambled(u"a=10\r\ncid=seven\r\nb\r\nc=99999999999\r\nd=30\r\ne=20\r\n"));
  ScoreTable* scores = fresh<ScoreTable>();
  LogCapture log;
  scores->load();
  EXPECT_TRUE(log.contains("(e) Unreadable lines skipped in scores.dat: 3, the first is line 2 \"cid=seven\""));
  ASSERT_EQ(scores->count(), 3);
  EXPECT_EQ(scores->names(0) + scores->names(1) + scores->names(2), u"dea");
  EXPECT_FALSE(std::filesystem::exists(dir.file("scores.dat.bad")));
}

TEST_F(PlayerFiles, TextsAndFilesPastTheLimitsAreRefusedWhereSetAndTheOldFileKept) {
  Preferences* prefs = fresh<Preferences>();
  prefs->setValue(u"lang", u"english");
  const std::string before = dir.read("prefs.dat");
  LogCapture log;
  prefs->setValue(u"big", WideString(2200000, u'x'));
  prefs->setValue(WideString(70000, u'k'), u"1");
  prefs->addUser(WideString(70000, u'n'));
  EXPECT_EQ(log.lines().size(), 3u);
  EXPECT_TRUE(log.contains("(e) Too long for prefs.dat: the value of big of 2200000 characters (at most 65536)"));
  EXPECT_EQ(dir.read("prefs.dat"), before);
  // Players whose names fit one by one, until the file would pass 4 MB.
  int added = 0;
  for (; added < 100 && prefs->userCount() == added; ++added) prefs->addUser(WideString(60000, u'a' + added % 26));
  EXPECT_EQ(added, 34);  // 33 names of 120 KB, and the current player's, fit in 4 MB
  EXPECT_TRUE(log.contains("(e) Not stored: prefs.dat would grow past 4 MB; the old file is kept"));
  prefs->setValue(u"more", WideString(60000, u'm'));
  EXPECT_EQ(log.count("(e) Not stored: prefs.dat would grow past 4 MB; the old file is kept"), 2);
  prefs->store();
  EXPECT_LE(std::filesystem::file_size(dir.file("prefs.dat")), 4u << 20);
  Preferences* back = fresh<Preferences>();
  back->load();
  EXPECT_EQ(LinesOf(back->lines()), LinesOf(prefs->lines()));
  EXPECT_EQ(back->getValue(u"lang"), u"");  // the last player added is the current one
  ScoreTable* scores = fresh<ScoreTable>();
  scores->addScore(WideString(70000, u's'), 1);
  EXPECT_EQ(scores->count(), 0);
}

TEST_F(PlayerFiles, TheFirstPlayerAddedIsNumberOneAndFindsTheSettingsMadeBefore) {
  Preferences* prefs = fresh<Preferences>();
  prefs->setValue(u"lang", u"english");
  prefs->setValue(u"top", u"40");
  prefs->addUser(u"ann");
  EXPECT_EQ(prefs->lines().get(1), u"user1=ann");
  EXPECT_EQ(prefs->getValue(u"lang"), u"english");
  prefs->addUser(u"bob");
  EXPECT_EQ(prefs->lines().get(1), u"user2=bob");
}

TEST_F(PlayerFiles, PlayerTextReachesTheLogEscaped) {
  Preferences* prefs = fresh<Preferences>();
  prefs->addUser(u"ann");
  LogCapture log;
  prefs->renameUser(u"ann", u"x\r\n12:00:00 (e) forged\\");
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_TRUE(log.contains("(i) ok! user name chaged from ann to x\\x0D\\x0A12:00:00 (e) forged\\\\"));
}

// Every lookup with thousands of players answers at once (it used to search
// every player's line, which took seconds).
TEST_F(PlayerFiles, LookupsWithThousandsOfPlayersStayFast) {
  std::u16string text = u"3000\r\n";
  for (int i = 1; i <= 3000; ++i) text += u"user" + DecimalText(i) + u"=player" + DecimalText(i - 1) + u"\r\n";
  dir.write("prefs.dat", Scrambled(text));
  Preferences* prefs = fresh<Preferences>();
  prefs->load();
  prefs->setUser(u"player7");
  prefs->setValue(u"lang", u"german");
  const auto start = std::chrono::steady_clock::now();
  int found = 0;
  for (int i = 0; i < 2000 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5); ++i) {
    found += prefs->getValue(u"lang") == u"german" && prefs->userNumber(u"player2999") == 3000;
  }
  EXPECT_EQ(found, 2000);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST_F(PlayerFiles, ScoresAreKeptHighestFirst) {
  ScoreTable* scores = fresh<ScoreTable>();
  dir.write("scores.dat", "old");
  scores->store();  // nothing to store: the old file stays
  EXPECT_EQ(dir.read("scores.dat"), "old");
  scores->addScore(u"a", 10);
  scores->addScore(u"b", 30);
  scores->addScore(u"c", 20);
  scores->addScore(u"d", -5);
  scores->store();
  EXPECT_EQ(dir.read("scores.dat"), Scrambled(u"b=30\r\nc=20\r\na=10\r\nd=-5\r\n"));
  dir.write("scores.dat", Scrambled(u"x=1\r\ny=3\r\nz=2\r\n"));  // out of order
  ScoreTable* back = fresh<ScoreTable>();
  back->load();
  EXPECT_EQ(back->names(0) + back->names(1) + back->names(2), u"yzx");
  EXPECT_EQ(back->scores(0) * 100 + back->scores(1) * 10 + back->scores(2), 321);
  EXPECT_EQ(back->names(3), u"");
  EXPECT_EQ(back->scores(3), 0);
}

// A child process stores preferences over and over, alternating two large
// values; killed at a random moment, it leaves one of them complete.
TEST_F(PlayerFiles, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
  const WideString values[] = {WideString(40000, u'a'), WideString(90000, u'b')};
  std::mt19937 random(std::random_device{}());
  for (int round = 0; round < 12; ++round) {
    std::filesystem::remove(dir.file("prefs.dat"));
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      Preferences* prefs = New<Preferences>(nullptr);
      for (int i = 0;; ++i) prefs->setValue(u"big", values[i % 2]);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!std::filesystem::exists(dir.file("prefs.dat")) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    Preferences* prefs = fresh<Preferences>();
    LogCapture log;
    prefs->load();
    EXPECT_FALSE(log.contains("(e) Damaged file ignored: prefs.dat"));
    const WideString value = prefs->getValue(u"big");
    EXPECT_TRUE(value == values[0] || value == values[1]) << "round " << round << ": " << value.size() << " units";
  }
}
}  // namespace
