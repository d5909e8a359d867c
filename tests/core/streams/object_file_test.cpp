// Object files on real folders: which of ".qxml" and ".qbin" is read, the twin
// rewritten by the conversion that is then read, two-pass roots, unknown
// classes, storing and compiling.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>

#include "core/core_registration.h"
#include "core/geometry/geometry_color.h"
#include "core/objects/class_registry.h"
#include "core/resources/archive_writer.h"
#include "core/resources/embedded_res_man.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/stream.h"
#include "core/resources/virtual_file_system_res_man.h"
#include "core/streams/object_binary_stream.h"
#include "core/streams/object_file.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {
// A root that notes, in its own construction, what it had read by then.
class FileRoot : public BaseObject {
  Q_OBJECT(FileRoot, BaseObject)
 public:
  int32_t width = 0;
  int32_t widthSeenAtCreate = -1;
  BaseObject* buddy = nullptr;
  bool shown = true;
  TColorARGB colour = 0xFFFFFFFFu;
  WideString colourText() const { return ColorToText(colour); }
  void setColourText(const WideString& text) { colour = ColorFromText(text); }
  void Create(TObject* owner) override {
    inherited::Create(owner);
    widthSeenAtCreate = width;
  }
};

// A root that loads another file in its own construction before it reads its
// own record, as an applet loads its skin.
class LoadsFirst : public BaseObject {
  Q_OBJECT(LoadsFirst, BaseObject)
 public:
  static inline TResourceMan* manager = nullptr;
  int32_t width = 0;
  BaseObject* inner = nullptr;
  void Create(TObject* owner) override {
    inner = LoadObjectFile(manager, u"inner.qxml", nullptr, false, nullptr);
    inherited::Create(owner);
  }
  void Destroy() override {
    if (inner) inner->Free();
    inherited::Destroy();
  }
};

// Never registered.
class Unregistered : public BaseObject {
  Q_OBJECT(Unregistered, BaseObject)
};
}  // namespace

const ClassInfo& Unregistered::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<Unregistered>("Unregistered").build();
  return info;
}

const ClassInfo& LoadsFirst::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<LoadsFirst>("LoadsFirst").property("width", &LoadsFirst::width).build();
  return info;
}

const ClassInfo& FileRoot::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<FileRoot>("FileRoot")
                                    .property("width", &FileRoot::width)
                                    .property("buddy", &FileRoot::buddy)
                                    .property("shown", &FileRoot::shown)
                                    .property("colour", &FileRoot::colourText, &FileRoot::setColourText)
                                    .build();
  return info;
}

namespace {
const char* kTree =
    "<?xml version=\"1.0\"?>\r\n"
    "<FileRoot\r\n"
    "   name=\"root\"\r\n"
    "  width=\"320\"\r\n"
    "  buddy=\"leaf\"\r\n"
    "  >\r\n"
    "  <BaseObject\r\n"
    "     name=\"leaf\"\r\n"
    "    tagString=\"x\"\r\n"
    "    />\r\n"
    "</FileRoot>\r\n";

class ObjectFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterCoreClasses();
    RegisterClasses({&FileRoot::staticClassInfo(), &LoadsFirst::staticClassInfo()});
    manager = New<TFolderResourceMan>(nullptr);
    manager->setRoot(dir.path());
  }
  void TearDown() override {
    for (BaseObject* o : loaded) o->Free();
    manager->Free();
  }
  BaseObject* load(const char16_t* name = u"main.qxml") {
    BaseObject* o = LoadObjectFile(manager, name, nullptr, false, nullptr);
    if (o) loaded.push_back(o);
    return o;
  }
  static void setTime(const std::string& path, double secondsFromNow) {
    auto t = std::filesystem::file_time_type::clock::now() +
             std::chrono::duration_cast<std::filesystem::file_time_type::duration>(
                 std::chrono::duration<double>(secondsFromNow));
    std::filesystem::last_write_time(path, t);
  }
  TempDir dir;
  TFolderResourceMan* manager = nullptr;
  std::vector<BaseObject*> loaded;
};

TEST_F(ObjectFileTest, OnlyTextIsConvertedAndItsTwinWritten) {
  dir.write("main.qxml", kTree);
  BaseObject* root = load();
  ASSERT_NE(root, nullptr);
  auto* fileRoot = dynamic_cast<FileRoot*>(root);
  ASSERT_NE(fileRoot, nullptr);
  EXPECT_EQ(fileRoot->width, 320);
  EXPECT_EQ(fileRoot->widthSeenAtCreate, 320);  // its construction saw the stored value
  ASSERT_EQ(root->count(), 1);
  EXPECT_EQ(fileRoot->buddy, root->childAt(0));
  EXPECT_EQ(root->fileName(), u"main.qxml");
  EXPECT_EQ(dir.read("main.qbin").substr(0, 4), "GFE0");
}

TEST_F(ObjectFileTest, NewerOrEqualTwinIsReadWithoutOpeningTheText) {
  dir.write("main.qxml", kTree);
  load();
  // The text now says something else, but the twin is not older: it wins.
  std::string changed = kTree;
  changed.replace(changed.find("320"), 3, "640");
  dir.write("main.qxml", changed);
  setTime(dir.file("main.qxml"), -10);
  setTime(dir.file("main.qbin"), -10);
  auto* root = dynamic_cast<FileRoot*>(load());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->width, 320);
}

TEST_F(ObjectFileTest, OlderTwinIsRebuiltEvenWithinTwoSeconds) {
  dir.write("main.qxml", kTree);
  load();
  std::string changed = kTree;
  changed.replace(changed.find("320"), 3, "640");
  dir.write("main.qxml", changed);
  setTime(dir.file("main.qbin"), -10.0);
  setTime(dir.file("main.qxml"), -9.5);  // half a second newer
  auto* root = dynamic_cast<FileRoot*>(load());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->width, 640);
  setTime(dir.file("main.qxml"), -20);
  auto* again = dynamic_cast<FileRoot*>(load());
  EXPECT_EQ(again->width, 640);  // the twin was rewritten by that conversion
}

TEST_F(ObjectFileTest, OnlyTwinIsRead) {
  dir.write("main.qxml", kTree);
  load();
  std::filesystem::remove(dir.file("main.qxml"));
  auto* root = dynamic_cast<FileRoot*>(load());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->width, 320);
}

TEST_F(ObjectFileTest, ARootLoadingAnotherFileInItsConstructionStillReadsItsOwnRecord) {
  LoadsFirst::manager = manager;
  dir.write("inner.qxml", kTree);
  dir.write("main.qxml", "<?xml version=\"1.0\"?>\r\n<LoadsFirst name=\"outer\" width=\"77\"/>\r\n");
  auto* outer = dynamic_cast<LoadsFirst*>(load());
  LoadsFirst::manager = nullptr;
  ASSERT_NE(outer, nullptr);
  ASSERT_NE(outer->inner, nullptr);
  EXPECT_EQ(dynamic_cast<FileRoot*>(outer->inner)->width, 320);
  EXPECT_EQ(outer->name(), u"outer");
  EXPECT_EQ(outer->width, 77);
}

TEST_F(ObjectFileTest, NeitherGivesNil) {
  LogCapture log;
  EXPECT_EQ(load(), nullptr);
}

TEST_F(ObjectFileTest, AFailedConversionLeavesNoTwin) {
  dir.write("main.qxml", "<?xml version=\"1.0\"?>\r\n<FileRoot width=\"3\"");
  LogCapture log;
  load();
  EXPECT_FALSE(std::filesystem::exists(dir.file("main.qbin")));
}

TEST_F(ObjectFileTest, AnUnwritableTwinStillLoadsFromMemory) {
  dir.write("main.qxml", kTree);
  // A folder where the twin would go: the twin cannot be written, even by root.
  std::filesystem::create_directories(dir.file("main.qbin"));
  LogCapture log;
  auto* root = dynamic_cast<FileRoot*>(load());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->width, 320);
  EXPECT_EQ(log.count("(i) Binary cache main.qbin not written"), 1);
}

TEST_F(ObjectFileTest, BuiltInFilesHaveNoTwinToWrite) {
  addEmbeddedFile(u"twinless.qxml", reinterpret_cast<const uint8_t*>(kTree), std::strlen(kTree));
  std::unique_ptr<TEmbeddedResMan, FreeDeleter> builtIn(New<TEmbeddedResMan>());
  LogCapture log;
  BaseObject* root = LoadObjectFile(builtIn.get(), u"twinless.qxml", nullptr, false, nullptr);
  ASSERT_NE(root, nullptr);
  loaded.push_back(root);
  EXPECT_EQ(root->count(), 1);
  EXPECT_TRUE(log.messages().empty()) << log.messages().front();
}

TEST_F(ObjectFileTest, UnknownClassesAtAnyDepthStandInAndNameFileAndLineOnEveryRun) {
  dir.write("main.qxml",
            "<?xml version=\"1.0\"?>\r\n<NoSuchRoot\r\n  >\r\n  <FileRoot>\r\n    <Rectangle name=\"box\">\r\n"
            "      <BaseObject name=\"inside\"/>\r\n    </Rectangle>\r\n  </FileRoot>\r\n</NoSuchRoot>\r\n");
  const std::vector<std::string> fromText = {"(e) Class NoSuchRoot not found. in file main.qxml line 3",
                                             "(e) Class Rectangle not found. in file main.qxml line 5"};
  for (int run = 0; run < 2; ++run) {
    const auto& expected = fromText;
    LogCapture log;
    BaseObject* root = load();  // a faulty text keeps no twin: converted again
    EXPECT_FALSE(std::filesystem::exists(dir.file("main.qbin")));
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->count(), 1);
    BaseObject* box = root->findByName(u"box");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->className(), "BaseObject");  // the stand-in keeps the children
    EXPECT_NE(box->findByName(u"inside"), nullptr);
    EXPECT_EQ(log.messages(), expected);
  }
}

TEST_F(ObjectFileTest, AFaultyFileReportsTheSameLinesWithFileAndLineOnEveryRun) {
  dir.write("main.qxml",
            "<?xml version=\"1.0\"?>\r\n"
            "<FileRoot widht=\"32\" shown=\"yes\">\r\n"
            "  <FileRoot width=\"32px\" colour=\"#FFD040\"/>\r\n"
            "  <Rectangle name=\"box\"/>\r\n"
            "  <FileRoot colour=\"#ff102030\" shown=\"true\"/>\r\n"
            "</FileRoot>\r\n");
  const std::vector<std::string> expected = {
      "(e) Property FileRoot.widht not exists in file main.qxml line 2",
      "(e) Invalid property value FileRoot.shown=yes (one of False, True) in file main.qxml line 2",
      "(e) Invalid property value FileRoot.width=32px in file main.qxml line 3",
      "(e) Class Rectangle not found. in file main.qxml line 4",
      "(e) Invalid property value FileRoot.colour: #FFD040: a colour is #AARRGGBB, e.g. #FFFFD040 in file main.qxml "
      "line 3"};
  for (int run = 0; run < 2; ++run) {
    LogCapture log;
    auto* root = dynamic_cast<FileRoot*>(load());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(log.messages(), expected) << "run " << run;
    EXPECT_FALSE(std::filesystem::exists(dir.file("main.qbin"))) << "run " << run;
    auto* good = dynamic_cast<FileRoot*>(root->children(2));
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(good->colour, 0xFF102030u);
  }
  // Mended, the file converts silently and keeps its twin again.
  dir.write("main.qxml", kTree);
  LogCapture log;
  ASSERT_NE(load(), nullptr);
  EXPECT_TRUE(log.messages().empty()) << log.messages().front();
  EXPECT_TRUE(std::filesystem::exists(dir.file("main.qbin")));
}

TEST_F(ObjectFileTest, AnXmlFileNestingPastTheBoundSaysSoAndKeepsNoTwin) {
  for (int levels : {kMaxStreamNesting + 2, kMaxStreamNesting + 9}) {
    std::string xml = "<?xml version=\"1.0\"?>\n";
    for (int i = 0; i < levels; ++i) xml += "<BaseObject>\n";
    for (int i = 0; i < levels; ++i) xml += "</BaseObject>\n";
    dir.write("deep.qxml", xml);
    LogCapture log;
    ASSERT_NE(load(u"deep.qxml"), nullptr);
    ASSERT_EQ(log.messages().size(), 1u) << levels;
    EXPECT_EQ(log.messages()[0], "(e) Object stream nests too deeply in file deep.qxml line " +
                                     std::to_string(kMaxStreamNesting + 2));
    EXPECT_FALSE(std::filesystem::exists(dir.file("deep.qbin")));
  }
}

TEST_F(ObjectFileTest, AnXmlFileWithoutItsDeclarationLoads) {
  dir.write("main.qxml", "\xEF\xBB\xBF\r\n  <FileRoot width=\"12\">\r\n    <BaseObject name=\"leaf\"/>\r\n  </FileRoot>\r\n");
  LogCapture log;
  auto* root = dynamic_cast<FileRoot*>(load());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->width, 12);
  EXPECT_EQ(root->count(), 1);
  EXPECT_TRUE(log.messages().empty()) << log.messages().front();
}

TEST_F(ObjectFileTest, NestedUnknownClassInABinaryImageIsLoggedAndStandsIn) {
  // A class the program does not register, as a newer program might store.
  BaseObject* tree = New<FileRoot>();
  loaded.push_back(tree);
  New<Unregistered>(tree)->SetName(u"stranger");
  TMemoryStream image;
  SaveObjectToStream(image, tree);
  image.SetPosition(0);
  LogCapture log;
  BaseObject* root = LoadObjectFromStream(manager, image, nullptr, nullptr);
  ASSERT_NE(root, nullptr);
  loaded.push_back(root);
  ASSERT_EQ(root->count(), 1);
  EXPECT_EQ(root->childAt(0)->name(), u"stranger");
  EXPECT_EQ(root->childAt(0)->className(), "BaseObject");
  EXPECT_TRUE(log.contains("(e) Class Unregistered not found."));
}

TEST_F(ObjectFileTest, StoreAndReloadGivesTheSameXmlAndKeepsAutoNames) {
  dir.write("main.qxml", kTree);
  BaseObject* root = load();
  ASSERT_NE(root, nullptr);
  BaseObject* unnamed = New<BaseObject>(root);
  unnamed->giveAutoNames();
  const WideString autoName = unnamed->name();
  ASSERT_TRUE(StoreObjectFile(manager, u"copy.qxml", root));
  EXPECT_EQ(unnamed->name(), autoName);
  std::string first = dir.read("copy.qxml");
  EXPECT_EQ(first.find(WideToUtf8(autoName)), std::string::npos);
  BaseObject* reloaded = load(u"copy.qxml");
  ASSERT_NE(reloaded, nullptr);
  ASSERT_TRUE(StoreObjectFile(manager, u"copy2.qxml", reloaded));
  EXPECT_EQ(dir.read("copy2.qxml"), first);
}

TEST_F(ObjectFileTest, CompileGivenTheTwinsNameKeepsTheSource) {
  dir.write("level.qxml", kTree);
  ASSERT_TRUE(CompileObjectFile(manager, u"level.qbin"));
  EXPECT_EQ(dir.read("level.qxml"), kTree);
  EXPECT_EQ(dir.read("level.qbin").substr(0, 4), "GFE0");
}

TEST_F(ObjectFileTest, NewObjectFromFileMarksExternalAndLogsMissingFiles) {
  dir.write("part.qxml", kTree);
  BaseObject* parent = New<BaseObject>();
  loaded.push_back(parent);
  BaseObject* part = NewObjectFromFile(u"part.qxml", parent, false, manager);
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(part->parent(), parent);
  EXPECT_TRUE(part->componentStyle() & csExternal);
  LogCapture log;
  EXPECT_EQ(NewObjectFromFile(u"gone.qxml", parent, false, manager), nullptr);
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(e) file gone.qxml file not exists"});
}

TEST_F(ObjectFileTest, CreateByClassNameRefusesClassesThatAreNoTreeNodes) {
  LogCapture log;
  EXPECT_EQ(CreateObjectByClassName("TFolderResourceMan", nullptr), nullptr);
  EXPECT_TRUE(log.contains("(e) Can't found class TFolderResourceMan"));
  BaseObject* made = CreateObjectByClassName("FileRoot", nullptr);
  ASSERT_NE(made, nullptr);
  loaded.push_back(made);
  EXPECT_TRUE(made->componentStyle() & csExternal);
}
}  // namespace

namespace {
TEST_F(ObjectFileTest, AZeroTimeFactorSurvivesAStore) {
  BaseObject* tree = New<FileRoot>();
  loaded.push_back(tree);
  BaseObject* frozen = New<BaseObject>(tree);
  frozen->SetName(u"frozen");
  frozen->setTimeFactor(0.0f);
  BaseObject* plain = New<BaseObject>(tree);
  plain->SetName(u"plain");
  ASSERT_TRUE(StoreObjectFile(manager, u"frozen.qxml", tree));
  EXPECT_NE(dir.read("frozen.qxml").find("timeFactor=\"0.000000000000000\""), std::string::npos);
  BaseObject* back = load(u"frozen.qxml");
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->findByName(u"frozen")->timeFactor(), 0.0f);
  EXPECT_EQ(back->findByName(u"plain")->timeFactor(), 1.0f);
}
}  // namespace

namespace {
// A chain of `levels` objects below the root.
BaseObject* Chain(int levels) {
  BaseObject* root = New<FileRoot>();
  BaseObject* at = root;
  for (int i = 0; i < levels; ++i) at = New<BaseObject>(at);
  return root;
}

int Depth(BaseObject* root) {
  int levels = 0;
  for (BaseObject* at = root; at->count() > 0; at = at->childAt(0)) ++levels;
  return levels;
}

TEST_F(ObjectFileTest, TreesUpToTheNestingBoundStoreAndReadBackDeeperOnesAreRefused) {
  for (int levels : {257, 280, kMaxStreamNesting}) {
    BaseObject* tree = Chain(levels);
    loaded.push_back(tree);
    const std::u16string name = u"deep" + Utf8ToWide(std::to_string(levels)) + u".qxml";
    ASSERT_TRUE(StoreObjectFile(manager, name, tree)) << levels;
    BaseObject* back = load(name.c_str());
    ASSERT_NE(back, nullptr) << levels;
    EXPECT_EQ(Depth(back), levels);
  }
  // One level more: refused with the reason, and the old file stays.
  BaseObject* tooDeep = Chain(kMaxStreamNesting + 1);
  loaded.push_back(tooDeep);
  dir.write("keep.qxml", kTree);
  LogCapture log;
  EXPECT_FALSE(StoreObjectFile(manager, u"keep.qxml", tooDeep));
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(e) Can't store keep.qxml: the object tree nests deeper than " +
                                                     std::to_string(kMaxStreamNesting) + " levels"});
  EXPECT_EQ(dir.read("keep.qxml"), kTree);
}

TEST_F(ObjectFileTest, AStoreThatCannotBeWrittenSaysWhyAndAnswersFalse) {
  BaseObject* tree = Chain(1);
  loaded.push_back(tree);
  // A game run from an archive, and a read-only folder (root writes there
  // all the same, so that half is for other users only).
  const std::vector<uint8_t> archive =
      BuildArchiveImage(ArchiveNode::Folder("", {ArchiveNode::File("keep.qxml", kTree)}));
  ASSERT_TRUE(WriteWholeFile(dir.file("game.qfs"), archive.data(), archive.size()));
  std::unique_ptr<TVirtualFileSystemResMan, FreeDeleter> packed(New<TVirtualFileSystemResMan>());
  packed->setRoot(dir.file("game.qfs"));
  std::vector<std::pair<TResourceMan*, std::u16string>> places = {{packed.get(), u"keep.qxml"}};
  const bool readOnlyHolds = geteuid() != 0;
  dir.write("ro/keep.qxml", kTree);
  if (readOnlyHolds) places.insert(places.end(), {{manager, u"ro\\keep.qxml"}, {manager, u"ro\\new.qxml"}});
  chmod(dir.file("ro").c_str(), 0555);
  LogCapture log;
  for (const auto& [where, name] : places) {
    EXPECT_FALSE(StoreObjectFile(where, name, tree)) << WideToUtf8(name);
    EXPECT_EQ(log.count("(e) Can't store " + WideToUtf8(name) +
                        ": the file can't be created there (read-only folder or archive)"), 1);
  }
  chmod(dir.file("ro").c_str(), 0755);
  EXPECT_EQ(dir.read("ro/keep.qxml"), kTree);
  EXPECT_EQ(dir.read("game.qfs"), std::string(archive.begin(), archive.end()));
}

TEST_F(ObjectFileTest, AStaleTemporaryOfADeadWriterGoesAtTheNextWrite) {
  // A process that has ended: its id is free now.
  pid_t dead = fork();
  if (dead == 0) _exit(0);
  waitpid(dead, nullptr, 0);
  const std::string stale = "main.qxml.tmp" + std::to_string(dead);
  const std::string mine = "other.qxml.tmp" + std::to_string(getpid());
  dir.write(stale, "half a file");
  dir.write(mine, "being written");
  dir.write("notes.tmp.txt", "not a temporary");
  BaseObject* tree = Chain(1);
  loaded.push_back(tree);
  ASSERT_TRUE(StoreObjectFile(manager, u"saved.qxml", tree));
  EXPECT_FALSE(std::filesystem::exists(dir.file(stale)));
  EXPECT_TRUE(std::filesystem::exists(dir.file(mine)));
  EXPECT_TRUE(std::filesystem::exists(dir.file("notes.tmp.txt")));
}

TEST_F(ObjectFileTest, AStoreNeverWritesThroughALinkPlacedBesideItsTarget) {
  // The name a temporary used to have, and a file the link leads to outside.
  TempDir outside;
  outside.write("victim.txt", "keep me");
  for (const std::string& trap : {"saved.qxml.tmp" + std::to_string(getpid()), std::string("saved.qxml.tmp")}) {
    std::filesystem::create_symlink(outside.file("victim.txt"), dir.file(trap));
  }
  BaseObject* tree = Chain(1);
  loaded.push_back(tree);
  ASSERT_TRUE(StoreObjectFile(manager, u"saved.qxml", tree));
  EXPECT_EQ(outside.read("victim.txt"), "keep me");
  EXPECT_NE(dir.read("saved.qxml").find("<?xml"), std::string::npos);
  // Nothing of the write is left beside the target but the links.
  size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) entries += entry.is_symlink() ? 0 : 1;
  EXPECT_EQ(entries, 1u);
}

TEST_F(ObjectFileTest, AFileThatFailsToConvertIsNotAlsoCalledEmpty) {
  std::string deep = "<?xml version=\"1.0\"?>\r\n";
  for (int i = 0; i < 350; ++i) deep += "<Dummy>";
  for (int i = 0; i < 350; ++i) deep += "</Dummy>";
  const std::pair<std::string, std::string> files[] = {
      {"broken.qxml", "<?xml version=\"1.0\"?>\r\n<Dummy name=\"a\""}, {"in350.qxml", deep}};
  for (const auto& [name, text] : files) {
    dir.write(name, text);
    LogCapture log;
    EXPECT_EQ(load(Utf8ToWide(name).c_str()), nullptr);
    EXPECT_EQ(log.count("(e) XML document could not be read in file " + name), 1) << name;
    EXPECT_EQ(log.count("(e) Can't load " + name + " file is empty"), 0) << name;
  }
}

}  // namespace
