// What the applet does with its stored settings and its language: the
// preference and score steps in their order through the parts a later part
// of the program provides (here a stand-in that keeps them in memory),
// damaged values that are logged and ignored, the settings stored at the
// end, and the language table's files in the game's "lang" folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

#include "engine/applet/applet.h"
#include "engine/applet/game_parts.h"
#include "engine/applet/language_table.h"
#include "engine/registration.h"
#include "engine/script_engine.h"
#include "tests/engine/applet_world.h"

namespace {
// The stored settings the stand-in parts offer, and what the applet did with them.
struct StoredSettings {
  std::map<WideString, WideString> preferences;
  std::map<WideString, WideString> written;
  std::vector<std::string> calls;
  std::optional<float> soundVolume;
  std::optional<float> musicVolume;
};
StoredSettings* settings = nullptr;

class SettingsParts : public AppletParts {
 public:
  using AppletParts::AppletParts;
  bool createPreferences() override { return true; }
  bool createScoreTable() override { return true; }
  bool hasScoreTable() override { return true; }
  void loadScoreTable() override { settings->calls.push_back("load scores"); }
  void storeScoreTable() override { settings->calls.push_back("store scores"); }
  bool hasPreferences() override { return true; }
  void loadPreferences() override { settings->calls.push_back("load preferences"); }
  void storePreferences() override { settings->calls.push_back("store preferences"); }
  WideString preference(const WideString& name) override {
    auto found = settings->preferences.find(name);
    return found == settings->preferences.end() ? WideString() : found->second;
  }
  void setPreference(const WideString& name, const WideString& value) override { settings->written[name] = value; }
  bool soundEngineClassRegistered() override { return true; }
  bool hasSoundEngine() override { return soundEngine_; }
  void createSoundEngine() override { soundEngine_ = true; }
  void setSoundVolume(float volume) override { settings->soundVolume = volume; }
  void setMusicVolume(float volume) override { settings->musicVolume = volume; }
  bool soundVolumes(float& sound, float& music) override {
    if (!soundEngine_) return false;
    sound = 0.25f;
    music = 0.75f;
    return true;
  }

 private:
  bool soundEngine_ = false;
};

class AppletSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    settings = &stored;
    RegisterAllClasses();  // first, so the program's own parts do not replace the stand-in
    SetAppletPartsFactory([](Applet* applet) -> AppletParts* { return new SettingsParts(applet); });
  }
  void TearDown() override {
    SetAppletPartsFactory(NewGameParts);  // the program's own parts again
    settings = nullptr;
  }
  StoredSettings stored;
};

TEST_F(AppletSettings, PreferencesLoadInTheirOrderAndADamagedVolumeIsLoggedAndIgnored) {
  stored.preferences = {{u"soundvolume", u"0.5"}, {u"musicvolume", u"loud"}, {u"fullscreen", u"yes"}};
  AppletWorld world(AppletText(R"(width="160" height="120" title="Prefs")", "<Dummy name=\"scene\"/>\r\n"));
  ASSERT_NE(world.applet, nullptr);
  const std::vector<std::string> expected{"(i) Load prefernces", "(i) Score load",      "(i) Prefenses load",
                                          "(i) Prefenses loaded", "(i) Set sound from pref", "(i) Create SoundEngine",
                                          "(i) Set volumes",      "(e) Invalid value of musicvolume: loud"};
  EXPECT_EQ(world.messagesBetween("(i) Set device", "(i) Set lang"), expected);
  EXPECT_TRUE(world.log.contains("(i) Prefernces created"));
  EXPECT_TRUE(world.log.contains("(i) Score table created"));
  EXPECT_EQ(stored.soundVolume, 0.5f);
  EXPECT_FALSE(stored.musicVolume.has_value());
  EXPECT_FALSE(world.applet->fullScreen());  // "yes" is not one of the words for on
  EXPECT_EQ((std::vector<std::string>{"load scores", "load preferences"}), stored.calls);
}

TEST_F(AppletSettings, OnlyMinusOneOneAndTrueInAnyCapitalsTurnFullScreenOn) {
  for (const char16_t* on : {u"-1", u"1", u"TrUe"}) {
    stored.preferences = {{u"fullscreen", on}};
    AppletWorld world(AppletText(R"(width="160" height="120" title="Full")"));
    ASSERT_NE(world.applet, nullptr);
    EXPECT_TRUE(world.applet->fullScreen()) << WideToUtf8(on);
  }
  for (const char16_t* off : {u"0", u"yes", u"truely"}) {
    stored.preferences = {{u"fullscreen", off}};
    AppletWorld world(AppletText(R"(width="160" height="120" title="Full" fullScreen="True")"));
    ASSERT_NE(world.applet, nullptr);
    EXPECT_FALSE(world.applet->fullScreen()) << WideToUtf8(off);
  }
}

TEST_F(AppletSettings, TheStoredLanguageAndScreenModeAreTakenAfterLoading) {
  stored.preferences = {{u"lang", u"german"}, {u"screenmode", u"nonsense"}};
  AppletWorld world(AppletText(R"(width="160" height="120" title="Lang" lang="french")"));
  ASSERT_NE(world.applet, nullptr);
  EXPECT_EQ(world.applet->lang(), u"german");
  EXPECT_TRUE(world.log.contains("(i) set screnMode nonsense"));
  // No mode has that name: applying the mode in use names it again.
  const auto& modes = world.applet->screenModes();
  EXPECT_NE(std::find(modes.begin(), modes.end(), world.applet->screenMode()), modes.end());
}

TEST_F(AppletSettings, WithoutAPreferenceTheFilesFullScreenApplies) {
  AppletWorld world(AppletText(R"(width="160" height="120" title="Full" fullScreen="True")"));
  ASSERT_NE(world.applet, nullptr);
  EXPECT_TRUE(world.applet->fullScreen());
}

TEST_F(AppletSettings, TheEndStoresScoresThenTheSettingsThenThePreferences) {
  stored.preferences = {{u"soundvolume", u"1"}, {u"musicvolume", u"1"}};
  AppletWorld world(AppletText(R"(width="160" height="120" left="70" top="-20" title="Store")"));
  ASSERT_NE(world.applet, nullptr);
  stored.calls.clear();
  world.shutDown();
  EXPECT_EQ((std::vector<std::string>{"store scores", "store preferences"}), stored.calls);
  EXPECT_EQ(stored.written[u"lang"], u"english");
  EXPECT_EQ(stored.written[u"fullscreen"], u"False");
  EXPECT_EQ(stored.written[u"left"], u"70");
  EXPECT_EQ(stored.written[u"top"], u"-20");
  EXPECT_EQ(stored.written[u"soundvolume"], u"0.250000000000000");
  EXPECT_EQ(stored.written[u"musicvolume"], u"0.750000000000000");
  EXPECT_TRUE(stored.written.count(u"screenmode"));
}

TEST_F(AppletSettings, AnAppletThatStoresNoPreferencesNeitherLoadsNorStoresThem) {
  stored.preferences = {{u"lang", u"french"}, {u"soundvolume", u"0.5"}};
  AppletWorld world(AppletText(R"(width="160" height="120" title="NoStore" storePreferenses="False")"));
  ASSERT_NE(world.applet, nullptr);
  EXPECT_FALSE(world.log.contains("(i) Score load"));
  EXPECT_FALSE(stored.soundVolume.has_value());
  world.shutDown();
  EXPECT_TRUE(stored.calls.empty());
  EXPECT_TRUE(stored.written.empty());
}

// ---- the language ------------------------------------------------------------------------------

// A language file: UTF-16LE with its byte-order mark, CR LF line ends.
std::string LanguageFile(const std::u16string& lines) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : lines) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

std::u16string Utf16Text(const std::string& bytes) {
  std::u16string text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
  }
  return text;
}

WideString Evaluate(Applet* applet, const WideString& expression) {
  applet->scriptEngine()->evaluate(u"var probe = " + expression + u";");
  return applet->scriptEngine()->getGlobal(u"probe").toText();
}

TEST(AppletLanguage, ATableInTheGamesLangFolderTranslatesAndNothingIsCollected) {
  AppletWorld world(AppletText(R"(width="64" height="48" title="Lang" lang="french")"), 1000);
  // The world wrote its own folder; give it a french table and load it again.
  world.game.write("lang/french/text.txt", LanguageFile(u"Hello=Bonjour\r\nscore %d=points %d\r\n"));
  world.applet->setLang(u"english");
  world.applet->setLang(u"french");
  EXPECT_TRUE(world.log.contains("(i) ~Lang french was load successful"));
  EXPECT_EQ(Evaluate(world.applet, u"applet.translate('hello')"), u"Bonjour");
  EXPECT_EQ(Evaluate(world.applet, u"applet.translate('Unknown')"), u"Unknown");
  EXPECT_EQ(Evaluate(world.applet, u"applet.format('score %d', 12)"), u"points 12");
  EXPECT_EQ(Evaluate(world.applet, u"applet.lang"), u"french");
  world.shutDown();
  EXPECT_FALSE(std::filesystem::exists(world.game.file("lang/english/text.txt")));
}

TEST(AppletLanguage, InEnglishTextsComeBackUnchangedAndAreSavedOnceForTranslators) {
  AppletWorld world(AppletText(R"(width="64" height="48" title="Collect")"));
  ASSERT_NE(world.applet, nullptr);
  EXPECT_EQ(Evaluate(world.applet, u"applet.translate('Start') + applet.translate('start') + applet.translate('Quit')"),
            u"StartstartQuit");
  EXPECT_EQ(Evaluate(world.applet, u"applet.format('%s: %d', 'lives', 3)"), u"lives: 3");
  world.shutDown();
  EXPECT_EQ(Utf16Text(world.game.read("lang/english/text.txt")), u"Start\r\nQuit\r\n%s: %d\r\n");
}

TEST(AppletLanguage, ALanguageNameStaysOneFolderInsideLang) {
  AppletWorld world(AppletText(R"(width="64" height="48" title="Escape")"));
  ASSERT_NE(world.applet, nullptr);
  world.game.write("secret/text.txt", LanguageFile(u"Hello=leaked\r\n"));
  world.applet->setLang(u"../secret");
  EXPECT_EQ(world.applet->lang().find(u'/'), WideString::npos);
  EXPECT_EQ(world.applet->translate(u"Hello"), u"Hello");
}
}  // namespace

// ---- the players' files ------------------------------------------------------------------------

std::u16string Unscrambled(const std::string& bytes) {
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text += static_cast<char16_t>((static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)) ^ 0xC7E1);
  }
  return text;
}

TEST(AppletPlayerFiles, ScriptsKeepPlayersAndScoresInTheGamesDataFolder) {
  AppletWorld world(AppletText(R"(width="64" height="48" title="players")"));
  ASSERT_NE(world.applet, nullptr);
  // Services of the applet: moved into the tree they would go with it.
  ASSERT_TRUE(world.applet->scriptEngine()->evaluate(
      u"scoreTable.moveTo(applet); preferences.moveTo(applet); scoreTable.dispose(); applet.deleteChildren();"));
  int refused = 0;
  for (const std::string& m : world.log.messages()) {
    refused += m.rfind("(e) Can't move ScoreTable ", 0) == 0 || m.rfind("(e) Can't move Preferences ", 0) == 0;
  }
  EXPECT_EQ(refused, 2);
  EXPECT_TRUE(world.log.contains("(e) dispose refused: ScoreTable is a service of the applet"));
  ASSERT_TRUE(world.applet->scriptEngine()->evaluate(
      u"preferences.addUser('ann'); preferences.setValue('level', '3');"
      u"scoreTable.addScore('ann', 12); scoreTable.addScore('bob', 40);"));
  EXPECT_EQ(Evaluate(world.applet, u"scoreTable.names(0) + preferences.getValue('level') + preferences.userCount"),
            u"bob31");
  world.shutDown();
  const std::u16string prefs = Unscrambled(world.data.read("qplay/players/prefs.dat"));
  for (const char16_t* line : {u"1\r\n", u"\r\nuser1=ann\r\n", u"\r\nuser1.level=3\r\n", u"\r\nuser1.lang=english\r\n"}) {
    EXPECT_NE(prefs.find(line), std::u16string::npos) << WideToUtf8(line);
  }
  EXPECT_EQ(Unscrambled(world.data.read("qplay/players/scores.dat")), u"bob=40\r\nann=12\r\n");
}
