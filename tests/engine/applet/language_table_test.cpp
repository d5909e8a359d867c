// The language table over a real folder manager whose owner publishes `lang`
// from the table, as the applet does, with language files in temporary
// folders; and the checked "%" formatter with good and bad directives.
#include "engine/applet/language_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/objects/class_builder.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/stream.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {
// Publishes `lang` from a language table, the way the applet does: the
// folder manager reads it to resolve "lang\text.txt".
class LanguageOwner : public TSomePersistent {
  Q_OBJECT(LanguageOwner, TSomePersistent)
 public:
  WideString lang() const { return table.language(); }
  void setLang(WideString value) { table.setLanguage(manager, value); }

  TLanguageTable table;
  TResourceMan* manager = nullptr;
};
}  // namespace

const ClassInfo& LanguageOwner::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<LanguageOwner>("LanguageOwner")
                                    .property("lang", &LanguageOwner::lang, &LanguageOwner::setLang)
                                    .build();
  return info;
}

namespace {
template <typename T>
using Owned = std::unique_ptr<T, FreeDeleter>;

// A wide-string list file: the mark FF FE, then UTF-16LE, every line ending
// in CR LF.
std::string ListFile(const std::vector<std::string>& utf8Lines) {
  std::string bytes = "\xFF\xFE";
  for (const std::string& line : utf8Lines) {
    for (char16_t c : Utf8ToWide(line) + u"\r\n") {
      bytes.push_back(static_cast<char>(c & 0xFF));
      bytes.push_back(static_cast<char>(c >> 8));
    }
  }
  return bytes;
}

// A game folder with its manager, owned by an applet stand-in.
class Game {
 public:
  Game() {
    std::filesystem::create_directories(dir.file("game"));
    applet_.reset(New<LanguageOwner>());
    manager_.reset(New<TFolderResourceMan>(applet_.get()));
    manager_->setRoot(dir.path() + "game");
    applet_->manager = manager_.get();
  }
  ~Game() {
    manager_.reset();
    applet_.reset();
  }

  TLanguageTable& table() { return applet_->table; }
  TResourceMan* manager() { return manager_.get(); }
  void setLang(const std::string& language) { applet_->setLang(Utf8ToWide(language)); }
  std::string translate(const std::string& text) { return WideToUtf8(table().translate(Utf8ToWide(text))); }
  void write(const std::string& relative, const std::string& bytes) { dir.write("game/" + relative, bytes); }
  bool exists(const std::string& relative) { return std::filesystem::exists(dir.file("game/" + relative)); }
  std::string read(const std::string& relative) { return dir.read("game/" + relative); }

  TempDir dir;

 private:
  Owned<LanguageOwner> applet_;
  Owned<TFolderResourceMan> manager_;
};

const char* const kTemplate = "lang/english/text.txt";

TEST(LanguageTable, EnglishCollectsEachTextOnceAndSavesTheTemplate) {
  Game game;
  // A template left from an earlier run is never read as a translation.
  game.write(kTemplate, ListFile({"Start game=WRONG"}));
  LogCapture log;
  game.setLang("english");
  EXPECT_TRUE(log.messages().empty());
  EXPECT_TRUE(game.table().collecting());

  EXPECT_EQ(game.translate("Start game"), "Start game");
  EXPECT_EQ(game.translate("Options"), "Options");
  EXPECT_EQ(game.translate("START GAME"), "START GAME");  // the same text, ignoring case
  EXPECT_EQ(game.translate("Start game"), "Start game");
  EXPECT_EQ(game.translate("Выход"), "Выход");
  EXPECT_EQ(game.translate("выход"), "выход");
  EXPECT_EQ(game.table().list().count(), 3);

  EXPECT_TRUE(game.table().save(game.manager()));
  EXPECT_EQ(game.read(kTemplate), ListFile({"Start game", "Options", "Выход"}));
  EXPECT_TRUE(log.messages().empty());
}

TEST(LanguageTable, EmptyAndEnglishInAnyCaseLoadNothing) {
  Game game;
  game.write("lang/English/text.txt", ListFile({"Yes=NO"}));
  game.write("lang/text.txt", ListFile({"Yes=NO"}));
  for (const char* language : {"English", "ENGLISH", ""}) {
    game.setLang(language);
    EXPECT_TRUE(game.table().collecting()) << language;
    EXPECT_EQ(game.translate("Yes"), "Yes") << language;
  }
  EXPECT_EQ(game.table().list().count(), 1);
}

TEST(LanguageTable, DistinctTextsAboveLatin1AreCollectedApart) {
  Game game;
  game.setLang("english");
  // Texts of the same length in Cyrillic must not be taken as the same text.
  game.translate("Да");
  game.translate("Но");
  game.translate("ДА");
  ASSERT_EQ(game.table().list().count(), 2);
  EXPECT_EQ(WideToUtf8(game.table().list().get(1)), "Но");
}

// "lang/russian/text.txt" with the lines games ship.
std::string RussianTable() {
  return ListFile({"Start game=Начать игру", "OPTIONS=Настройки", "options=second, never used",
                   "a line without a translation", "Quit=", "Level %d of %d=Уровень %d из %d",
                   "Да=Yes", "Нет=No", "x=y=z"});
}

TEST(LanguageTable, LoadedTableTranslatesIgnoringCaseAndCollectsNothing) {
  Game game;
  game.setLang("english");
  game.translate("collected before the table came");
  game.write("lang/russian/text.txt", RussianTable());
  LogCapture log;
  game.setLang("russian");
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(i) ~Lang russian was load successful"});
  EXPECT_FALSE(game.table().collecting());
  EXPECT_EQ(game.table().list().count(), 9);

  EXPECT_EQ(game.translate("Start game"), "Начать игру");
  EXPECT_EQ(game.translate("start GAME"), "Начать игру");
  EXPECT_EQ(game.translate("Options"), "Настройки");  // the first line of a name wins
  EXPECT_EQ(game.translate("да"), "Yes");
  EXPECT_EQ(game.translate("НЕТ"), "No");
  EXPECT_EQ(game.translate("x"), "y=z");  // the name ends at the first "="
  EXPECT_EQ(game.translate("Quit"), "");
  EXPECT_EQ(game.translate("a line without a translation"), "a line without a translation");
  EXPECT_EQ(game.translate("Missing text"), "Missing text");
  EXPECT_EQ(game.translate("Start"), "Start");

  EXPECT_EQ(game.table().list().count(), 9);  // nothing collected
  EXPECT_FALSE(game.table().save(game.manager()));
  EXPECT_FALSE(game.exists(kTemplate));
  EXPECT_FALSE(game.exists("lang/english"));
}

TEST(LanguageTable, SettingTheSameLanguageLoadsNothingAgain) {
  Game game;
  game.write("lang/russian/text.txt", ListFile({"Yes=Да"}));
  LogCapture log;
  game.setLang("russian");
  game.write("lang/russian/text.txt", ListFile({"Yes=Конечно"}));
  game.setLang("russian");
  EXPECT_EQ(log.count("(i) ~Lang russian was load successful"), 1);
  EXPECT_EQ(game.translate("Yes"), "Да");
}

TEST(LanguageTable, MissingFileLeavesListAndFlagAsTheyWere) {
  Game game;
  game.setLang("english");
  game.translate("One");
  LogCapture log;
  game.setLang("german");
  EXPECT_EQ(WideToUtf8(game.table().language()), "german");
  EXPECT_TRUE(game.table().collecting());
  EXPECT_EQ(game.translate("Two"), "Two");
  EXPECT_TRUE(game.table().save(game.manager()));
  EXPECT_EQ(game.read(kTemplate), ListFile({"One", "Two"}));

  // After a loaded table, a language without a file keeps that table.
  game.write("lang/russian/text.txt", ListFile({"One=Один"}));
  game.setLang("russian");
  game.setLang("french");
  EXPECT_FALSE(game.table().collecting());
  EXPECT_EQ(game.translate("one"), "Один");
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(i) ~Lang russian was load successful"});
}

TEST(LanguageTable, BackToEnglishTurnsTranslationOffAndCollectsAfresh) {
  Game game;
  game.setLang("english");
  game.translate("Seen in english first");
  game.write("lang/russian/text.txt", ListFile({"Yes=Да"}));
  game.setLang("russian");
  ASSERT_EQ(game.translate("Yes"), "Да");
  game.setLang("english");
  EXPECT_TRUE(game.table().collecting());
  EXPECT_EQ(game.translate("Yes"), "Yes");
  EXPECT_EQ(game.translate("No"), "No");
  EXPECT_TRUE(game.table().save(game.manager()));
  EXPECT_EQ(game.read(kTemplate), ListFile({"Yes", "No"}));
}

TEST(LanguageTable, FileWithoutTheMarkIsNotTaken) {
  Game game;
  game.setLang("english");
  game.translate("Kept");
  game.write("lang/french/text.txt", "Kept=Garde\r\n");
  LogCapture log;
  game.setLang("french");
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(e) ~Lang french is not a language file"});
  EXPECT_TRUE(game.table().collecting());
  EXPECT_EQ(game.translate("Kept"), "Kept");
  EXPECT_EQ(game.table().list().count(), 1);

  // An empty marked file is a table that translates nothing.
  game.write("lang/spanish/text.txt", "\xFF\xFE");
  game.setLang("spanish");
  EXPECT_FALSE(game.table().collecting());
  EXPECT_EQ(game.table().list().count(), 0);
  EXPECT_EQ(game.translate("Kept"), "Kept");
}

TEST(LanguageTable, LanguageNamesCannotLeaveTheLangFolder) {
  Game game;
  game.write("lang/russian/text.txt", ListFile({"Yes=Да"}));
  game.dir.write("secret/text.txt", ListFile({"Yes=escaped"}));
  // The manager refuses the climb itself as well; the table never asks.
  Owned<TFolderResourceMan> raw(New<TFolderResourceMan>());
  raw->setRoot(game.dir.path() + "game");
  raw->setLanguageSubstitution(false);
  Owned<TStream> reached(raw->createStream(u"lang\\..\\..\\secret\\text.txt", fmOpenRead));
  ASSERT_EQ(reached, nullptr);

  LogCapture log;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"..\\..\\secret", ".._.._secret"}, {"../../secret", ".._.._secret"}, {"..", "__"},
      {"/etc", "_etc"},                   {"C:\\lang", "C__lang"},          {"russian/../..", "russian_.._.."}};
  for (const auto& [value, stored] : cases) {
    game.setLang(value);
    EXPECT_EQ(WideToUtf8(game.table().language()), stored);
    EXPECT_EQ(game.translate("Yes"), "Yes");
    EXPECT_TRUE(game.table().collecting());
  }
  EXPECT_TRUE(log.messages().empty());
}

TEST(LanguageTable, NoManagerStoresTheLanguageOnly) {
  TLanguageTable table;
  EXPECT_TRUE(table.language().empty());
  table.setLanguage(nullptr, u"russian");
  EXPECT_EQ(table.language(), u"russian");
  EXPECT_TRUE(table.collecting());
  EXPECT_EQ(table.translate(u"a"), u"a");
  EXPECT_FALSE(table.save(nullptr));
}

TEST(LanguageTable, TableFromAStreamAcceptsEitherMark) {
  TLanguageTable table;
  std::string bytes = ListFile({"a=b"});
  bytes[0] = '\xFE';
  bytes[1] = '\xFF';  // read as little-endian all the same, as list files are
  TReadOnlyMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
  ASSERT_TRUE(table.loadTable(stream));
  EXPECT_EQ(table.translate(u"A"), u"b");

  TReadOnlyMemoryStream single("\xFF", 1);
  EXPECT_FALSE(table.loadTable(single));
  EXPECT_EQ(table.translate(u"a"), u"b");
}

// ---- format -----------------------------------------------------------------------

std::string Format(const std::string& format, const std::vector<Variant>& values = {}) {
  return WideToUtf8(FormatWithValues(Utf8ToWide(format), values));
}

TEST(LanguageTable, FormatTranslatesTheFormatText) {
  Game game;
  game.setLang("english");
  EXPECT_EQ(WideToUtf8(game.table().format(u"%s=%.2f", {Variant(u"pi"), Variant(3.14159)})), "pi=3.14");
  EXPECT_EQ(WideToUtf8(game.table().list().get(0)), "%s=%.2f");

  game.write("lang/russian/text.txt", RussianTable());
  game.setLang("russian");
  // Translations outside the 8-bit code page survive formatting.
  EXPECT_EQ(WideToUtf8(game.table().format(u"level %d OF %d", {Variant(3.0), Variant(int32_t{10})})),
            "Уровень 3 из 10");
  EXPECT_EQ(WideToUtf8(game.table().format(u"%s!", {Variant(u"Ура")})), "Ура!");
}

TEST(LanguageTable, FormatTextDirectives) {
  EXPECT_EQ(Format("[%s]", {u"Привет"}), "[Привет]");
  EXPECT_EQ(Format("%5s|%-5s|%2s", {u"ab", u"cd", u"long"}), "   ab|cd   |long");
  EXPECT_EQ(Format("%.3s|%.0s|%.9s", {u"abcdef", u"gone", u"short"}), "abc||short");
  // A cut never splits a pair of surrogates.
  EXPECT_EQ(Format("%.1s|%.2s", {u"\U0001F600x", u"\U0001F600x"}), "|\U0001F600");
  EXPECT_EQ(Format("100%% %S", {u"sure"}), "100% sure");
  EXPECT_EQ(Format("no directives"), "no directives");
  EXPECT_EQ(Format(""), "");
}

TEST(LanguageTable, FormatWholeNumberDirectives) {
  EXPECT_EQ(Format("%d %d %d %D", {42.9, -42.9, int32_t{-7}, int64_t{1} << 40}), "42 -42 -7 1099511627776");
  EXPECT_EQ(Format("%.4d|%.4d|%6.3d|%-6d|", {7.0, -7.0, 5.0, 12.0}), "0007|-0007|   005|12    |");
  EXPECT_EQ(Format("%u %u %u", {-1.0, 3000000000.0, -5000000000.0}), "4294967295 3000000000 18446744068709551616");
  EXPECT_EQ(Format("%x %X %x %.4x", {255.0, -1.0, 0.0, 26.0}), "FF FFFFFFFF 0 001A");
  EXPECT_EQ(Format("%d", {-9223372036854774784.0}), "-9223372036854774784");
}

TEST(LanguageTable, FormatFloatDirectives) {
  EXPECT_EQ(Format("%f|%.0f|%.3f|%f", {2.5, 2.7, -1.0 / 3.0, -0.0}), "2.50|3|-0.333|0.00");
  EXPECT_EQ(Format("%e|%.3e|%.1e", {1234.5, -0.000123456, 9.96}), "1.23450000000000E+003|-1.23E-004|1E+001");
  EXPECT_EQ(Format("%n|%.0n|%n|%.1n", {1234567.891, -1234.0, 999.5, 100.04}), "1,234,567.89|-1,234|999.50|100.0");
  EXPECT_EQ(Format("%g|%g|%g|%g|%g", {0.5, 100.0, 1.0 / 3.0, 0.0001, 0.00001234}),
            "0.5|100|0.333333333333333|0.0001|1.234E-005");
  EXPECT_EQ(Format("%g|%.3g|%.3g|%g", {1e20, 1234.5, 99.99, 123456789012345.0}),
            "1E+020|1.23E+003|100|123456789012345");
  EXPECT_EQ(Format("%f|%n", {1e20, -2e18}), "1.00000000000000E+020|-2.00000000000000E+018");
  EXPECT_EQ(Format("%8.2f|%-8.1f|", {3.14159, 2.0}), "    3.14|2.0     |");
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(Format("%f %e %g %n", {std::numeric_limits<double>::quiet_NaN(), inf, -inf, inf}), "NAN INF -INF INF");
  EXPECT_EQ(Format("%.40f", {1.5}), "1.500000000000000000");  // at most 18 decimals
  EXPECT_EQ(Format("%f", {int32_t{3}}), "3.00");
}

TEST(LanguageTable, FormatIndexesAndStars) {
  EXPECT_EQ(Format("%1:s %0:s %s", {u"a", u"b"}), "b a b");
  EXPECT_EQ(Format("%0:s%0:s%0:-3s|", {u"x"}), "xxx  |");
  EXPECT_EQ(Format("%*d|%-*d|", {4.0, 7.0, 3.0, 8.0}), "   7|8  |");
  EXPECT_EQ(Format("%.*f|%*.*f", {1.0, 3.14159, 6.0, 2.0, 2.5}), "3.1|  2.50");
}

TEST(LanguageTable, FormatDirectivesThatCannotBeFilledStandAsWritten) {
  // No value left: written as it stands, nothing read past the values.
  EXPECT_EQ(Format("%s and %s", {u"a"}), "a and %s");
  EXPECT_EQ(Format("%s%d%f%*d%.*f"), "%s%d%f%*d%.*f");
  EXPECT_EQ(Format("%7:s %s", {u"a"}), "%7:s a");
  // Wrong type: written as it stands, and the value is used up.
  EXPECT_EQ(Format("%d %s", {u"x", u"y"}), "%d y");
  EXPECT_EQ(Format("%s %f", {1.0, 2.0}), "%s 2.00");
  EXPECT_EQ(Format("%f|%d|%s|%x", {u"1.5", Variant(true), Variant(), Variant(Variant::Null{})}), "%f|%d|%s|%x");
  EXPECT_EQ(Format("%d|%u|%d", {1e300, std::numeric_limits<double>::quiet_NaN(), 3.0}), "%d|%u|3");
  // Malformed: the "%" is text, the rest reads on as text, no value taken.
  EXPECT_EQ(Format("50% off %s", {u"now"}), "50% off now");
  EXPECT_EQ(Format("%q %p %m %s", {u"a", u"b"}), "%q %p %m a");
  EXPECT_EQ(Format("100%"), "100%");
  EXPECT_EQ(Format("%5|%-|%.|%1:|%-5", {u"a"}), "%5|%-|%.|%1:|%-5");
  EXPECT_EQ(Format("%99999s %s", {u"a"}), "%99999s a");
  EXPECT_EQ(Format("%1025d|%1024d", {1.0, 2.0}).size(), 7u + 1024u);
  EXPECT_EQ(Format("%*s %s", {u"x"}), "%*s x");
  EXPECT_EQ(Format("%*d %s", {5000.0, u"b"}), "%*d %s");
  EXPECT_EQ(Format("%*d %s", {-1.0, u"b"}), "%*d %s");
  EXPECT_EQ(Format("%5-d", {1.0}), "%5-d");
}

}  // namespace
