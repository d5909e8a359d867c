// The folder and external resource managers on real folders: names, packages,
// listings, creation, read-only files, dates and the log lines.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <ctime>
#include <memory>

#include "core/objects/class_builder.h"
#include "core/resources/ext_resource_man.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/resource_man.h"
#include "core/resources/resource_man_files.h"
#include "core/text/text_helpers.h"
#include "support/log_capture.h"
#include "tests/core/resource_test_folder.h"

namespace {
// An owner that publishes `lang`, as the applet does.
class LangOwner : public TSomePersistent {
  Q_OBJECT(LangOwner, TSomePersistent)
 public:
  WideString lang = u"german";
};
}  // namespace

const ClassInfo& LangOwner::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<LangOwner>("LangOwner").property("lang", &LangOwner::lang).build();
  return info;
}

namespace {
template <typename T>
using Owned = std::unique_ptr<T, FreeDeleter>;

std::string ReadAll(TStream* stream) {
  std::string bytes(static_cast<size_t>(stream->Size()), '\0');
  stream->SetPosition(0);
  stream->Read(bytes.data(), static_cast<int64_t>(bytes.size()));
  return bytes;
}

std::string ReadResource(TResourceMan& manager, const WideString& name) {
  Owned<TStream> stream(manager.createStream(name, fmOpenRead));
  return stream ? ReadAll(stream.get()) : std::string("<nil>");
}

Owned<TFolderResourceMan> FolderManager(const std::string& root, TObject* owner = nullptr) {
  Owned<TFolderResourceMan> manager(New<TFolderResourceMan>(owner));
  manager->setRoot(root);
  return manager;
}

double LocalUnixTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  return static_cast<double>(std::mktime(&t));
}
}  // namespace

TEST(ResourceManagerLog, ConstructionAndDestructionLines) {
  LogCapture log;
  {
    auto folder = FolderManager("/nonexistent-root");
    Owned<TExtResourceMan> ext(New<TExtResourceMan>());
  }
  std::vector<std::string> expected = {
      "(i) Resource manager TFolderResourceMan starded", "(i) Resource manager TExtResourceMan starded",
      "(i) External resource manager started TExtResourceMan", "(i) Resource manager TExtResourceMan closed",
      "(i) Resource manager TFolderResourceMan closed"};
  EXPECT_EQ(log.messages(), expected);
}

TEST(ResourceManagerNames, LanguageSubstitutionAndSeparators) {
  auto plain = FolderManager("/x");
  EXPECT_EQ(plain->normalizeName(u"lang\\text.txt"), u"lang\\english\\text.txt");
  EXPECT_EQ(plain->normalizeName(u"lang\\english\\text.txt"), u"lang\\english\\text.txt");
  EXPECT_EQ(plain->normalizeName(u"lang/english/text.txt"), u"lang\\english\\text.txt");
  // Inside a word the letters are substituted all the same.
  EXPECT_EQ(plain->normalizeName(u"pics/slang.png"), u"pics\\slang\\english.png");
  EXPECT_EQ(plain->normalizeName(u"a/lang/b/c.txt"), u"a\\lang\\english\\b\\c.txt");
  EXPECT_EQ(plain->normalizeName(u"Lang\\x.txt"), u"Lang\\x.txt");  // case-sensitive
  EXPECT_EQ(plain->normalizeName(u"pics/a.png"), u"pics\\a.png");

  Owned<LangOwner> applet(New<LangOwner>());
  auto owned = FolderManager("/x", applet.get());
  EXPECT_EQ(owned->normalizeName(u"lang\\text.txt"), u"lang\\german\\text.txt");
  applet->lang = u"french";
  EXPECT_EQ(owned->normalizeName(u"lang/text.txt"), u"lang\\french\\text.txt");

  owned->setLanguageSubstitution(false);
  EXPECT_EQ(owned->normalizeName(u"lang/text.txt"), u"lang\\text.txt");
}

TEST(ResourceManagerNames, RootHoldingLangIsLeftAlone) {
  TestFolder t;
  t.write("langley/game/a.txt", "A");
  t.write("langley/game/lang/english/t.txt", "T");
  auto manager = FolderManager(t / "langley/game");
  EXPECT_TRUE(manager->active());
  EXPECT_EQ(manager->root().back(), '\\');
  EXPECT_TRUE(manager->streamExists(u"a.txt"));
  EXPECT_EQ(ReadResource(*manager, u"\\a.txt"), "A");
  EXPECT_EQ(ReadResource(*manager, u"lang\\t.txt"), "T");
}

TEST(FolderResourceMan, ActiveOnlyWhenRootExists) {
  TestFolder t;
  EXPECT_TRUE(FolderManager(t.path())->active());
  EXPECT_FALSE(FolderManager(t / "missing")->active());
}

TEST(FolderResourceMan, ReadsAnyLetterCaseAndSeparator) {
  TestFolder t;
  t.write("Pics/Hero.PNG", "hero");
  auto manager = FolderManager(t.path());
  EXPECT_EQ(ReadResource(*manager, u"pics\\hero.png"), "hero");
  EXPECT_EQ(ReadResource(*manager, u"PICS/HERO.png"), "hero");
  EXPECT_TRUE(manager->streamExists(u"pics/hero.png"));
  EXPECT_FALSE(manager->streamExists(u"pics"));
  EXPECT_FALSE(manager->streamExists(u"pics\\missing.png"));
  EXPECT_EQ(manager->createStream(u"pics\\missing.png", fmOpenRead), nullptr);
}

TEST(FolderResourceMan, PackagesInOrderMissingOnesDropped) {
  TestFolder t;
  t.write("apps/main/game/both.txt", "root");
  t.write("apps/_p2/game/both.txt", "p2");
  t.write("apps/_p2/game/only2.txt", "two");
  t.write("apps/_p3/game/only3.txt", "three");
  t.write("apps/_p3/game/only2.txt", "three's");
  auto manager = FolderManager(t / "apps/main/game");
  LogCapture log;
  manager->setUsesList(u"p1,p2, p3");
  EXPECT_EQ(manager->usesList(), u"p1,p2, p3");
  ASSERT_EQ(manager->packageCount(), 2);
  EXPECT_EQ(manager->packageName(0), u"p2");
  EXPECT_EQ(manager->packageName(1), u"p3");
  EXPECT_EQ(manager->packageManager(0)->className(), "TFolderResourceMan");
  EXPECT_EQ(ReadResource(*manager, u"both.txt"), "root");
  EXPECT_EQ(ReadResource(*manager, u"only2.txt"), "two");
  EXPECT_EQ(ReadResource(*manager, u"only3.txt"), "three");
  EXPECT_TRUE(manager->streamExists(u"only3.txt"));
  EXPECT_NE(manager->FileDate(u"only3.txt"), -1);
  EXPECT_EQ(manager->FileDate(u"none.txt"), -1);
  // A new list replaces the packages (the old managers are freed and logged).
  manager->setUsesList(u"p3");
  ASSERT_EQ(manager->packageCount(), 1);
  EXPECT_EQ(ReadResource(*manager, u"only2.txt"), "three's");
  EXPECT_EQ(log.count("(i) Resource manager TFolderResourceMan closed"), 2);
  // The published property reaches the same setter.
  const PropInfo* uses = manager->classInfo().findProperty("usesList");
  ASSERT_NE(uses, nullptr);
  SetWideStrProp(manager.get(), *uses, u"p2");
  EXPECT_EQ(ReadResource(*manager, u"only2.txt"), "two");
}

TEST(FolderResourceMan, ListingsWithMasks) {
  TestFolder t;
  t.write("x/b.txt", "");
  t.write("x/a.png", "");
  t.write("x/sub/c.png", "");
  t.write("x/sub/d.jpg", "");
  t.write("top.png", "");
  auto manager = FolderManager(t.path());
  EXPECT_EQ(manager->findFilesText(u"x", u"*.png;*.txt"), u"x\\a.png,x\\b.txt,x\\sub\\c.png");
  EXPECT_EQ(manager->findFilesText(u"x\\", u"*.png; *"),
            u"x\\a.png,x\\a.png,x\\b.txt,x\\sub\\c.png,x\\sub\\c.png,x\\sub\\d.jpg");
  EXPECT_EQ(manager->listFilesText(u"*.PNG"), u"\\top.png,\\x\\a.png,\\x\\sub\\c.png");
  const std::vector<WideString>& found = manager->findFiles(u"x\\sub\\", u"?.jpg");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0], u"x\\sub\\d.jpg");
  EXPECT_TRUE(manager->findFiles(u"nothere\\", u"*").empty());
  manager->IntFindDirInDir(u"\\");
  std::vector<WideString> folders = manager->results();
  EXPECT_EQ(folders, (std::vector<WideString>{u"\\x", u"\\x\\sub"}));
}

TEST(FolderResourceMan, WalkDoesNotFollowLinksIntoCycles) {
  TestFolder t;
  t.write("g/a/file.txt", "");
  t.write("g/b/other.txt", "");
  ASSERT_EQ(symlink("..", (t / "g/a/up").c_str()), 0);    // back to g: a cycle
  ASSERT_EQ(symlink("../b", (t / "g/a/tob").c_str()), 0);  // a sibling: walked
  auto manager = FolderManager(t / "g");
  EXPECT_EQ(manager->listFilesText(u"*.txt"), u"\\a\\file.txt,\\a\\tob\\other.txt,\\b\\other.txt");
}

TEST(FolderResourceMan, CreateMakesMissingFoldersAndReplacesWholeFiles) {
  TestFolder t;
  auto manager = FolderManager(t.path());
  {
    Owned<TStream> out(manager->createStream(u"saves\\deep\\slot1.dat", fmCreate));
    ASSERT_NE(out, nullptr);
    out->Write("hello", 5);
  }
  EXPECT_EQ(t.read("saves/deep/slot1.dat"), "hello");
  {
    Owned<TStream> out(manager->createStream(u"saves/deep/SLOT1.dat", fmCreate));
    ASSERT_NE(out, nullptr);
    out->Write("hi", 2);
  }
  EXPECT_EQ(t.read("saves/deep/slot1.dat"), "hi");
  {
    Owned<TStream> rw(manager->createStream(u"saves\\deep\\slot1.dat", fmOpenReadWrite));
    ASSERT_NE(rw, nullptr);
    rw->Seek(0, SeekOrigin::End);
    rw->Write("!", 1);
  }
  EXPECT_EQ(t.read("saves/deep/slot1.dat"), "hi!");
}

TEST(FolderResourceMan, ReadOnlyFilesAndFolders) {
  TestFolder t;
  t.write("ro.txt", "fixed");
  chmod((t / "ro.txt").c_str(), 0444);
  t.makeFolder("locked");
  chmod((t / "locked").c_str(), 0555);
  auto manager = FolderManager(t.path());
  EXPECT_EQ(ReadResource(*manager, u"ro.txt"), "fixed");
  EXPECT_EQ(manager->createStream(u"ro.txt", fmOpenWrite), nullptr);
  EXPECT_EQ(manager->createStream(u"ro.txt", fmOpenReadWrite), nullptr);
  EXPECT_EQ(manager->createStream(u"ro.txt", fmCreate), nullptr);
  EXPECT_EQ(manager->createStream(u"locked\\new.txt", fmCreate), nullptr);
  EXPECT_EQ(manager->createStream(u"locked\\deeper\\new.txt", fmCreate), nullptr);
  EXPECT_EQ(t.read("ro.txt"), "fixed");
  EXPECT_FALSE(t.exists("locked/new.txt"));
}

TEST(ResourceFileHelpers, FolderExistsAndIsReadOnlyFile) {
  TestFolder t;
  t.makeFolder("sub");
  t.write("w.txt", "");
  t.write("r.txt", "");
  chmod((t / "r.txt").c_str(), 0444);
  t.makeFolder("ro");
  chmod((t / "ro").c_str(), 0555);
  EXPECT_TRUE(FolderExists(t / "sub"));
  EXPECT_TRUE(FolderExists(t / "sub/"));
  EXPECT_TRUE(FolderExists(t / "sub\\"));
  EXPECT_TRUE(FolderExists(t / "SUB"));
  EXPECT_FALSE(FolderExists(t / "w.txt"));
  EXPECT_FALSE(FolderExists(t / "none"));
  EXPECT_FALSE(IsReadOnlyFile(t / "w.txt"));
  EXPECT_TRUE(IsReadOnlyFile(t / "r.txt"));
  EXPECT_FALSE(IsReadOnlyFile(t / "new.txt"));
  EXPECT_FALSE(IsReadOnlyFile(t / "a/b/c/new.txt"));
  EXPECT_TRUE(IsReadOnlyFile(t / "ro/new.txt"));
  EXPECT_TRUE(IsReadOnlyFile(t / "ro/a/b/new.txt"));
}

TEST(ExtResourceMan, AbsoluteAndRootedNames) {
  TestFolder t;
  t.write("data/lang/x.txt", "no substitution");
  t.write("elsewhere/abs.txt", "absolute");
  Owned<TExtResourceMan> ext(New<TExtResourceMan>());
  ext->setRoot(t / "data");
  EXPECT_EQ(ext->root().back(), '\\');
  EXPECT_EQ(ReadResource(*ext, u"lang\\x.txt"), "no substitution");
  EXPECT_EQ(ReadResource(*ext, Utf8ToWide(t / "elsewhere/abs.txt")), "absolute");
  EXPECT_TRUE(ext->streamExists(Utf8ToWide(t / "ELSEWHERE\\abs.txt")));
  EXPECT_FALSE(ext->streamExists(u"missing.txt"));
  EXPECT_EQ(ext->FileDate(u"missing.txt"), -1);
  EXPECT_EQ(ext->createStream(u"missing.txt", fmOpenRead), nullptr);
  {
    Owned<TStream> out(ext->createStream(u"myapp\\prefs.dat", fmCreate));
    ASSERT_NE(out, nullptr);
    out->Write("p", 1);
  }
  EXPECT_EQ(t.read("data/myapp/prefs.dat"), "p");
  EXPECT_EQ(ext->findFilesText(Utf8ToWide(t / "elsewhere"), u"*.txt"), Utf8ToWide(t / "elsewhere\\abs.txt"));
  EXPECT_EQ(ext->listFilesText(u"*.dat"), u"\\myapp\\prefs.dat");
}

// The game's folder named in other letter case than it was made: a new file
// goes into the folder that exists, and writing there is allowed.
TEST(ExtResourceMan, ANewFileGoesIntoTheFolderOfAnyLetterCase) {
  TestFolder t;
  t.write("data/replay/log.txt", "log");
  Owned<TExtResourceMan> ext(New<TExtResourceMan>());
  ext->setRoot(t / "data/Replay/");
  {
    Owned<TStream> out(ext->createStream(u"prefs.dat", fmCreate));
    ASSERT_NE(out, nullptr);
    out->Write("p", 1);
  }
  EXPECT_EQ(t.read("data/replay/prefs.dat"), "p");
}

TEST(ExtResourceMan, CreationDependsOnTheTargetFolder) {
  TestFolder t;
  t.makeFolder("ro");
  chmod((t / "ro").c_str(), 0555);
  Owned<TExtResourceMan> ext(New<TExtResourceMan>());
  ext->setRoot(t / "ro");
  EXPECT_EQ(ext->createStream(u"new.txt", fmCreate), nullptr);
  ext->setRoot(t.path());
  Owned<TStream> out(ext->createStream(u"new.txt", fmCreate));
  EXPECT_NE(out, nullptr);
}

TEST(ExtResourceMan, FileDialogHook) {
  Owned<TExtResourceMan> ext(New<TExtResourceMan>());
  EXPECT_EQ(ext->selectExternalFile(u"Open", u"*.qfs"), u"");
  ExternalFileDialog() = [](const WideString& title, const WideString& filter) { return title + u"|" + filter; };
  EXPECT_EQ(ext->selectExternalFile(u"Open", u"*.qfs"), u"Open|*.qfs");
  ExternalFileDialog() = nullptr;
}

TEST(ResourceDates, PackedFileDateOfRealFiles) {
  TestFolder t;
  t.write("a.txt", "");
  t.setTime("a.txt", LocalUnixTime(2021, 3, 4, 5, 6, 9));
  auto manager = FolderManager(t.path());
  uint32_t date = (41u << 9) | (3u << 5) | 4u;
  uint32_t time = (5u << 11) | (6u << 5) | 4u;  // seconds halved: 9 -> 4
  EXPECT_EQ(static_cast<uint32_t>(manager->FileDate(u"a.txt")), (date << 16) | time);
  EXPECT_EQ(manager->FileDate(u"b.txt"), -1);
}

TEST(ResourceDates, DateTimePacking) {
  // 2000-01-01 12:30:58 is day 36526 since 1899-12-30.
  double noonish = 36526.0 + (12 * 3600 + 30 * 60 + 58) / 86400.0;
  EXPECT_EQ(static_cast<uint32_t>(DateTimeToFileDate(noonish)),
            (((20u << 9) | (1u << 5) | 1u) << 16) | ((12u << 11) | (30u << 5) | 29u));
  EXPECT_EQ(DateTimeToFileDate(29221.0), ((1 << 5) | 1) << 16);  // 1980-01-01, midnight
  EXPECT_EQ(DateTimeToFileDate(29220.5), 0);  // 1979-12-31: before the packable years
  EXPECT_EQ(DateTimeToFileDate(-5.0), 0);
  EXPECT_EQ(DateTimeToFileDate(std::nan("")), 0);
  double unix = LocalUnixTime(2010, 6, 15, 8, 0, 0);
  EXPECT_NEAR(DateTimeToUnixTime(UnixTimeToDateTime(unix + 0.25)), unix + 0.25, 1e-4);
}

TEST(ResourceDates, CacheOutdatedAtFullResolution) {
  TestFolder t;
  t.write("s.qxml", "");
  t.write("s.qbin", "");
  double base = LocalUnixTime(2022, 1, 1, 0, 0, 0);
  t.setTime("s.qxml", base + 0.50);
  t.setTime("s.qbin", base + 0.25);  // the same packed date, yet older
  auto manager = FolderManager(t.path());
  EXPECT_EQ(manager->FileDate(u"s.qxml"), manager->FileDate(u"s.qbin"));
  EXPECT_TRUE(IsCacheOutdated(manager.get(), u"s.qxml", u"s.qbin"));
  t.setTime("s.qbin", base + 0.75);
  EXPECT_FALSE(IsCacheOutdated(manager.get(), u"s.qxml", u"s.qbin"));
  EXPECT_FALSE(IsCacheOutdated(manager.get(), u"s.qxml", u"missing.qbin"));
  EXPECT_FALSE(IsCacheOutdated(manager.get(), u"missing.qxml", u"s.qbin"));
  EXPECT_FALSE(IsCacheOutdated(nullptr, u"s.qxml", u"s.qbin"));
}

TEST(ResourceMasks, WildcardRule) {
  EXPECT_TRUE(MatchesMask(u"a.png", u"*.png"));
  EXPECT_TRUE(MatchesMask(u"A.PNG", u"*.png"));
  EXPECT_FALSE(MatchesMask(u"a.png.bak", u"*.png"));
  EXPECT_TRUE(MatchesMask(u"a.png.png", u"*.png"));
  EXPECT_TRUE(MatchesMask(u"ab", u"a?"));
  EXPECT_FALSE(MatchesMask(u"a", u"a?"));
  EXPECT_TRUE(MatchesMask(u"noext", u"*.*"));
  EXPECT_TRUE(MatchesMask(u"x", u"*"));
  EXPECT_TRUE(MatchesMask(u"", u"*"));
  EXPECT_TRUE(MatchesMask(u"b1.txt", u"[a-c]?.txt"));
  EXPECT_FALSE(MatchesMask(u"d1.txt", u"[a-c]?.txt"));
  EXPECT_TRUE(MatchesMask(u"d1.txt", u"[!a-c]?.txt"));
  EXPECT_TRUE(MatchesMask(u"x[1", u"x[1"));  // an unclosed set is literal
  EXPECT_TRUE(MatchesMask(u"aXbXc", u"a*b*c"));
  EXPECT_FALSE(MatchesMask(u"aXbXd", u"a*b*c"));
}

TEST(ResourceFileHelpers, CommaTextAndMasks) {
  EXPECT_EQ(SplitCommaText(u"a, b"), (std::vector<WideString>{u"a", u"b"}));
  EXPECT_EQ(SplitCommaText(u"a b,c"), (std::vector<WideString>{u"a", u"b", u"c"}));
  EXPECT_EQ(SplitCommaText(u"  p1 ,,p2,"), (std::vector<WideString>{u"p1", u"", u"p2"}));
  EXPECT_TRUE(SplitCommaText(u"").empty());
  EXPECT_EQ(JoinCommaText({u"a b", u"c"}), u"a b,c");
  EXPECT_EQ(SplitMasks(u"*.png; *.jpg ;x"), (std::vector<WideString>{u"*.png", u"*.jpg", u"x"}));
}

TEST(FolderResourceMan, SystemRefusalRaisesWhereTheExternalManagerAnswersNil) {
  TestFolder t;
  t.write("a.txt", "a file, not a folder");
  auto folder = FolderManager(t.path());
  // The folder "a.txt" cannot be made: the system refuses the new file.
  EXPECT_THROW(folder->createStream(u"a.txt\\x.txt", fmCreate), EFOpenError);
  Owned<TExtResourceMan> ext(New<TExtResourceMan>());
  ext->setRoot(t.path());
  EXPECT_EQ(ext->createStream(u"a.txt\\x.txt", fmCreate), nullptr);
  EXPECT_EQ(t.read("a.txt"), "a file, not a folder");
}
