// A game's names stay in its folder: relative names never climb above the
// root of their manager, writes go only into the game's folder and its data
// folder (links and absolute paths included), package names are plain names,
// and an absolute name reaches the engine's external manager everywhere.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "core/core_registration.h"
#include "core/objects/engine.h"
#include "core/resources/ext_resource_man.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/resource_path.h"
#include "core/resources/write_places.h"
#include "core/streams/object_file.h"
#include "support/log_capture.h"
#include "tests/core/resource_test_folder.h"

namespace {
template <typename T>
using Owned = std::unique_ptr<T, FreeDeleter>;
namespace fs = std::filesystem;

bool Readable(TResourceMan& manager, const WideString& name) {
  Owned<TStream> stream(manager.createStream(name, fmOpenRead));
  return stream != nullptr;
}

bool Writable(TResourceMan& manager, const WideString& name) {
  Owned<TStream> stream(manager.createStream(name, fmCreate));
  return stream != nullptr;
}

TEST(ResourcePath, RelativeNamesResolveBelowTheRootOrNotAtAll) {
  const std::vector<std::pair<std::u16string, std::string>> inside = {
      {u"a.txt", "R/a.txt"},          {u"\\a.txt", "R/a.txt"},      {u"x/../a.txt", "R/a.txt"},
      {u"x\\.\\y\\a.txt", "R/x\\y\\a.txt"}, {u"x//y/", "R/x\\y\\"}, {u"...\\a", "R/...\\a"},
  };
  for (const auto& [name, path] : inside) EXPECT_EQ(ResolveBelowRoot("R/", name), path) << WideToUtf8(name);
  for (std::u16string name : {u"..\\a.txt", u"../a.txt", u"x\\..\\..\\a.txt", u"\\..\\a", u"lang/../../a", u".."}) {
    EXPECT_FALSE(ResolveBelowRoot("R\\", name).has_value()) << WideToUtf8(name);
  }
  EXPECT_TRUE(IsAbsoluteResourceName(u"/home/u/x.qxml"));
  EXPECT_TRUE(IsAbsoluteResourceName(u"c:\\games\\x.qxml"));
  EXPECT_FALSE(IsAbsoluteResourceName(u"\\levels\\x.qxml"));
  EXPECT_FALSE(IsPlainPackageName(u"..\\..\\etc"));
  EXPECT_FALSE(IsPlainPackageName(u"a/b"));
  EXPECT_TRUE(IsPlainPackageName(u"extras"));
}

TEST(GameFolder, TheFolderManagerNeitherReadsNorWritesAboveItsRoot) {
  TestFolder t;
  t.write("secret.txt", "outside");
  t.write("game/in.txt", "inside");
  t.write("_pkg/game/p.txt", "package");
  Owned<TFolderResourceMan> game(New<TFolderResourceMan>());
  game->setRoot(t / "game");
  LogCapture log;
  EXPECT_TRUE(Readable(*game, u"sub\\..\\in.txt"));
  for (std::u16string name : {u"..\\secret.txt", u"../secret.txt", u"sub\\..\\..\\secret.txt", u"/../secret.txt"}) {
    EXPECT_FALSE(game->streamExists(name));
    EXPECT_FALSE(Readable(*game, name));
    EXPECT_FALSE(Writable(*game, name));
    EXPECT_EQ(game->FileDate(name), -1);
  }
  EXPECT_TRUE(log.contains("(e) Name leaves the game's folder: ..\\secret.txt"));
  EXPECT_FALSE(Writable(*game, u"..\\new.txt"));
  EXPECT_FALSE(fs::exists(t / "new.txt"));
  EXPECT_EQ(t.read("secret.txt"), "outside");

  // A link inside the folder may be read through but never written through.
  fs::create_directory_symlink(t.path(), t / "game/up");
  EXPECT_TRUE(Readable(*game, u"up\\secret.txt"));
  EXPECT_FALSE(Writable(*game, u"up\\secret.txt"));
  EXPECT_FALSE(Writable(*game, u"up\\made.txt"));
  EXPECT_TRUE(log.contains("(e) Write refused outside the game's folders: " + t.path() + "game\\up\\made.txt"));
  EXPECT_EQ(t.read("secret.txt"), "outside");
  EXPECT_FALSE(fs::exists(t / "made.txt"));

  // Packages are named, never pathed; and they are read, never written.
  fs::create_directories(t / "a/game");
  game->setRoot(t / "a/game");
  game->setUsesList(u"pkg,../../../etc");
  EXPECT_EQ(game->packageCount(), 1);
  EXPECT_TRUE(log.contains("(e) Package name refused: ../../../etc"));
}

TEST(GameFolder, TheExternalManagerWritesOnlyIntoTheGamesFolders) {
  TestFolder t;
  t.write("elsewhere/abs.txt", "absolute");
  fs::create_directories(t / "game");
  fs::create_directories(t / "data/hostile");
  Owned<TExtResourceMan> ext(New<TExtResourceMan>());
  ext->setRoot(t / "data/hostile");
  AddWritePlace(t / "game");
  AddWritePlace(t / "data/hostile/");
  LogCapture log;
  // Reading by absolute path stays as it was.
  EXPECT_TRUE(Readable(*ext, Utf8ToWide(t / "elsewhere/abs.txt")));
  EXPECT_TRUE(Writable(*ext, u"prefs.dat"));
  EXPECT_TRUE(Writable(*ext, Utf8ToWide(t / "game/save.qxml")));
  EXPECT_FALSE(Writable(*ext, u"..\\other\\prefs.dat"));
  EXPECT_FALSE(Writable(*ext, Utf8ToWide(t / "elsewhere/abs.txt")));
  EXPECT_FALSE(Writable(*ext, Utf8ToWide(t / "game/../elsewhere/new.txt")));
  ClearWritePlaces();
  EXPECT_TRUE(log.contains("(e) Write refused outside the game's folders: " + t.path() + "elsewhere/abs.txt"));
  EXPECT_EQ(t.read("elsewhere/abs.txt"), "absolute");
  EXPECT_FALSE(fs::exists(t / "elsewhere/new.txt"));
  EXPECT_FALSE(fs::exists(t / "data/other"));
}

TEST(GameFolder, AnAbsoluteLinuxPathLoadsThroughTheExternalManager) {
  RegisterCoreClasses();
  TestFolder t;
  t.write("elsewhere/part.qxml", "<?xml version=\"1.0\"?>\r\n<BaseObject name=\"part\"/>\r\n");
  fs::create_directories(t / "game");
  SomeEngine* engine = New<SomeEngine>(nullptr);
  Owned<TFolderResourceMan> game(New<TFolderResourceMan>());
  game->setRoot(t / "game");
  BaseObject* parent = New<BaseObject>();
  LogCapture log;
  BaseObject* part = NewObjectFromFile(Utf8ToWide(t / "elsewhere/part.qxml"), parent, false, game.get());
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(part->name(), u"part");
  EXPECT_EQ(part->parent(), parent);
  EXPECT_TRUE(log.contains("(i) Use external resource for file " + t.path() + "elsewhere/part.qxml"));
  parent->Free();
  engine->Free();
}
}  // namespace
