// The engine root: the pre-read of an applet's size and title, the choice of
// resource manager for a main file, and the log front.
#include <gtest/gtest.h>

#include "core/objects/class_builder.h"
#include "core/objects/engine.h"
#include "core/resources/resource_man.h"
#include "core/streams/object_file.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {
TEST(AppletPreRead, ScalesAndRoundsHalfToEven) {
  EXPECT_EQ(ParseAppletInfo(R"(<Applet width="320" height="200" scale="1.5">)").width, 480);
  EXPECT_EQ(ParseAppletInfo(R"(<Applet width="320" height="200" scale="1.5">)").height, 300);
  EXPECT_EQ(ParseAppletInfo(R"(<Applet width="320">)").width, 320);
  EXPECT_EQ(ParseAppletInfo(R"(<Applet width="5" scale="0.5">)").width, 2);
  EXPECT_EQ(ParseAppletInfo(R"(<Applet height="100">)").width, 0);
}

TEST(AppletPreRead, TitleComesOutInLowerCase) {
  AppletInfo info = ParseAppletInfo(
      "<?xml version=\"1.0\"?>\r\n<!-- width=\"9\" -->\r\n<Applet Width=\"320\" TITLE=\"Hello World\">");
  EXPECT_EQ(info.width, 320);
  EXPECT_EQ(info.title, u"hello world");
}

TEST(AppletPreRead, OnlyTheRootElementsOwnAttributesCount) {
  const char* text = R"(<Applet title="Game" width="64"><Child scale="10" height="5" width="7"/></Applet>)";
  AppletInfo info = ParseAppletInfo(text);
  EXPECT_EQ(info.width, 64);  // a nested element's scale does not size the window
  EXPECT_EQ(info.height, 0);
  // "subwidth" is not "width": a key counts only after a blank.
  EXPECT_EQ(ParseAppletInfo(R"(<Applet subwidth="9">)").width, 0);
}

TEST(AppletPreRead, ABadNumberEndsTheReadingKeepingWhatWasRead) {
  AppletInfo info = ParseAppletInfo(R"(<Applet width="12" height="1x" title="t">)");
  EXPECT_EQ(info.width, 12);
  EXPECT_EQ(info.height, 0);
  EXPECT_TRUE(info.title.empty());
}

TEST(AppletPreRead, FolderNamesCannotLeaveTheApplicationDataFolder) {
  EXPECT_EQ(SafeFolderName(u"hello world"), u"hello world");
  EXPECT_EQ(SafeFolderName(u".."), u"__");
  EXPECT_EQ(SafeFolderName(u"../../etc"), u".._.._etc");
  EXPECT_EQ(SafeFolderName(u"/abs\\path:x"), u"_abs_path_x");
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { engine = New<SomeEngine>(nullptr); }
  void TearDown() override { engine->Free(); }
  SomeEngine* engine = nullptr;
  TempDir dir;
};

TEST_F(EngineTest, EngineReferenceIsSetWhileItLives) {
  EXPECT_EQ(Engine(), engine);
  EXPECT_NE(engine->externalResourceManager(), nullptr);
}

TEST_F(EngineTest, QxmlPathGetsAFolderManagerEvenWithCapitals) {
  dir.write("game/main.qxml", "<Applet/>");
  LogCapture log;
  TResourceMan* manager = engine->createAppletResourceManager(dir.file("game/MAIN.QXML"));
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(manager->className(), "TFolderResourceMan");
  EXPECT_TRUE(manager->streamExists(u"main.qxml"));
  ASSERT_FALSE(log.messages().empty());
  EXPECT_EQ(log.messages()[0], "(i) Try to open qxml-file");
  manager->Free();
}

TEST_F(EngineTest, MissingArchiveGivesNil) {
  LogCapture log;
  EXPECT_EQ(engine->createAppletResourceManager(dir.file("none.qfs")), nullptr);
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(i) Try to create qfs-file"});
  EXPECT_EQ(engine->loadApplet(dir.file("none.qfs")), nullptr);
  EXPECT_TRUE(log.contains("(e) Resource manager not created"));
}

TEST_F(EngineTest, UnknownFileShorterThanASignatureIsUnsupported) {
  std::string path = dir.write("tiny.dat", "CFI");
  LogCapture log;
  EXPECT_EQ(engine->createAppletResourceManager(path), nullptr);
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(e) Unsupported applet type :" + path});
}

TEST_F(EngineTest, PreReadFindsSizeAndTitleThroughTheManager) {
  dir.write("game/main.qxml", "<Applet scale=\"2\" width=\"100\" height=\"50\" title=\"My Game\"/>");
  AppletInfo info = engine->getAppletInfo(dir.file("game/main.qxml"));
  EXPECT_EQ(info.width, 200);
  EXPECT_EQ(info.height, 100);
  EXPECT_EQ(info.title, u"my game");
}

TEST_F(EngineTest, PreReadOfAnUnreadableFileLogsAndGivesZero) {
  LogCapture log;
  AppletInfo info = engine->getAppletInfo(dir.file("missing.bin"));
  EXPECT_EQ(info.width, 0);
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(e) Can't get applet's info"});
}

// An archive whose files exist but cannot be read.
class UnreadableArchive : public TResourceMan {
  Q_OBJECT(UnreadableArchive, TResourceMan)
 public:
  void setRoot(const std::string& path) override {
    root_ = path;
    active_ = true;
  }
  bool streamExists(const WideString&) override { return true; }
  TStream* createStream(const WideString& name, int32_t) override {
    throw EFOpenError("Cannot open file \"" + WideToUtf8(name) + "\"");
  }
};

// A root with the attributes the pre-read looks for.
class PreReadRoot : public BaseObject {
  Q_OBJECT(PreReadRoot, BaseObject)
 public:
  int32_t width = 0;
  WideString title;
};

TEST_F(EngineTest, APreReadThatCannotReadFreesItsManager) {
  const ClassInfo* saved = ArchiveResManClass;
  ArchiveResManClass = &UnreadableArchive::staticClassInfo();
  dir.write("game.qfs", "VFILEST");
  LogCapture log;
  AppletInfo info = engine->getAppletInfo(dir.file("game.qfs"));
  ArchiveResManClass = saved;
  EXPECT_EQ(info.width, 0);
  EXPECT_TRUE(log.contains("(e) Can't get applet's info"));
  EXPECT_TRUE(log.contains("(i) Resource manager UnreadableArchive closed"));
}

TEST_F(EngineTest, TheTitleReadsTheSameFromTextAndFromTheBinaryTwin) {
  dir.write("text/main.qxml", "<Applet width=\"320\" title=\"Caf\xC3\xA9 &amp; Co &#x263A;\"/>");
  // The binary twin alone, as a game ships it.
  auto* root = New<PreReadRoot>();
  root->width = 320;
  root->title = u"Caf\u00E9 & Co \u263A";
  TMemoryStream image;
  SaveObjectToStream(image, root);
  root->Free();
  dir.write("binary/main.qbin", std::string(reinterpret_cast<const char*>(image.Memory()), image.Bytes().size()));
  for (const char* path : {"text/main.qxml", "binary/main.qbin"}) {
    AppletInfo info = engine->getAppletInfo(dir.file(path));
    EXPECT_EQ(info.width, 320) << path;
    EXPECT_EQ(info.title, u"caf\u00E9 & co \u263A") << path;
  }
}

TEST(LogFront, LinesAreStampedAndKeepTheirTextUnchanged) {
  LogCapture log;
  LogInfo(u"100% done %s");
  LogError(u"bad");
  ASSERT_EQ(log.lines().size(), 2u);
  EXPECT_EQ(log.lines()[0].size(), 9 + 4 + 12u);
  EXPECT_EQ(log.lines()[0].substr(8), " (i) 100% done %s");
  EXPECT_EQ(log.lines()[1].substr(8), " (e) bad");
  for (int i : {0, 1, 3, 4, 6, 7}) EXPECT_TRUE(isdigit(log.lines()[0][static_cast<size_t>(i)]));
}

TEST(LogFront, NothingHappensWithoutAHandler) {
  LogHandlerProc saved = LogHandler();
  LogHandler() = nullptr;
  LogInfo(u"dropped");  // must not crash
  LogHandler() = saved;
}
}  // namespace

const ClassInfo& UnreadableArchive::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<UnreadableArchive>("UnreadableArchive").build();
  return info;
}

const ClassInfo& PreReadRoot::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<PreReadRoot>("PreReadRoot")
                                    .property("width", &PreReadRoot::width)
                                    .property("title", &PreReadRoot::title)
                                    .build();
  return info;
}
