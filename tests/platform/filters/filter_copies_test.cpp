// The applet's filter: which class takes a name, and the converted copies it
// keeps beside imported files: written once, read while current, refreshed
// when the source is newer, replaced when unreadable, and never written into
// a read-only folder (the import stays in memory, with one error line).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/objects/class_info.h"
#include "core/resources/resource_man.h"
#include "platform/filters/filter_registry.h"
#include "platform/filters/filter_world.h"
#include "platform/mesh.h"
#include "platform/pixmap.h"

namespace {
constexpr uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

// Root writes into any folder: while one of these lives, the process acts as
// "nobody", for whom a folder without write permission is read-only too.
class Unprivileged {
 public:
  Unprivileged() : wasRoot_(geteuid() == 0 && seteuid(65534) == 0) {}
  ~Unprivileged() {
    if (wasRoot_) {
      EXPECT_EQ(seteuid(0), 0);
    }
  }

 private:
  bool wasRoot_;
};

std::string ClassOf(const TFilterClass* filter) { return filter ? filter->info->name() : "none"; }

TEST(FilterRegistry, TheFirstClassOfTheKindWhoseExtensionOccursInTheLowerCasedNameTakesIt) {
  FilterWorld world;
  const struct {
    const char* name;
    const char* pixmap;
    const char* mesh;
  } cases[] = {
      {"a.png", "TPngFilter", "none"},          {"DIR\\A.PNG", "TPngFilter", "none"},
      {"a.png.bak", "TPngFilter", "none"},      {"x.jpg", "TJpegFilter", "none"},
      {"x.jpeg", "none", "none"},               {"skin.pixmap", "TPixmapBinaryFilter", "none"},
      {"a.pixmap.png", "TPixmapBinaryFilter", "none"},
      {"m.md3", "none", "TMeshMD3Filter"},      {"m.3DS", "none", "TMesh3DSFilter"},
      {"m.mesh", "none", "TMeshBinaryFilter"},  {"m.mesh.md3", "none", "TMeshBinaryFilter"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClassOf(FindPixmapFilter(std::string_view(c.name))), c.pixmap) << c.name;
    EXPECT_EQ(ClassOf(FindMeshFilter(std::string_view(c.name))), c.mesh) << c.name;
  }
  EXPECT_TRUE(FindPixmapFilter(std::string_view("a.png"))->canWrite());
  EXPECT_FALSE(FindMeshFilter(std::string_view("m.md3"))->canWrite());
}

TEST(ConvertedCopies, APictureIsCopiedOnceReadFromItsCopyAndRefreshedWhenTheSourceIsNewer) {
  FilterWorld world;
  TResourceMan* files = world.manager.get();
  world.dir.write("a.png", PngFile(2, 2, std::vector<uint32_t>(4, kRed), {}));
  world.age("a.png", 100);
  TPixmap* first = world.filter->loadPixmap(files, u"a.png");
  ASSERT_NE(first, nullptr);
  ASSERT_EQ(world.dir.read("a.pixmap").size(), 527u + 16);

  // A different picture, older than the copy: the copy is read.
  world.dir.write("a.png", PngFile(2, 2, std::vector<uint32_t>(4, kBlue), {}));
  world.age("a.png", 50);
  EXPECT_EQ(world.pixels(world.filter->loadPixmap(files, u"a.png")), std::vector<uint32_t>(4, kRed));
  // Touched: the source is read and the copy written again.
  world.age("a.png", 0);
  world.age("a.pixmap", 10);
  EXPECT_EQ(world.pixels(world.filter->loadPixmap(files, u"a.png")), std::vector<uint32_t>(4, kBlue));
  world.age("a.png", 20);
  EXPECT_EQ(world.pixels(world.filter->loadPixmap(files, u"a.png")), std::vector<uint32_t>(4, kBlue));
  // With only the copy left, the name of the picture still loads.
  std::filesystem::remove(world.dir.file("a.png"));
  EXPECT_EQ(world.pixels(world.filter->loadPixmap(files, u"a.png")), std::vector<uint32_t>(4, kBlue));
  EXPECT_TRUE(world.log.lines().empty());

  // JPEG: a copy only for a name whose ".jpg" is not written in lower case.
  world.dir.write("lower.jpg", JpegFile(8, 8, std::vector<uint32_t>(64, kRed), JpegKind::Baseline));
  world.dir.write("UPPER.JPG", world.dir.read("lower.jpg"));
  EXPECT_NE(world.filter->loadPixmap(files, u"lower.jpg"), nullptr);
  EXPECT_NE(world.filter->loadPixmap(files, u"UPPER.JPG"), nullptr);
  EXPECT_FALSE(files->streamExists(u"lower.pixmap"));
  EXPECT_TRUE(files->streamExists(u"UPPER.pixmap"));
}

TEST(ConvertedCopies, AModelIsCopiedOnceAndAnUnreadableCopyGivesWayToItsSource) {
  FilterWorld world;
  TResourceMan* files = world.manager.get();
  world.dir.write("m.md3", Md3File(3, {{4, {{0, 1, 2}}}}));
  world.dir.write("m.aaf", "AAF\n1\nall,0,2\n");
  world.age("m.md3", 100);
  TMesh* imported = world.filter->loadMesh(files, u"m.md3");
  ASSERT_NE(imported, nullptr);
  const std::string copy = world.dir.read("m.mesh");
  ASSERT_FALSE(copy.empty());
  world.log.clear();
  TMesh* fromCopy = world.filter->loadMesh(files, u"m.md3");
  ASSERT_NE(fromCopy, nullptr);
  EXPECT_EQ(world.log.messages(), std::vector<std::string>{"(i) file was loaded m.mesh"});
  EXPECT_EQ(fromCopy->vertexData, imported->vertexData);
  EXPECT_EQ(fromCopy->animations, imported->animations);
  EXPECT_EQ(world.dir.read("m.mesh"), copy);

  // A damaged copy that is newer than its source: the source is imported again.
  world.dir.write("m.mesh", copy.substr(0, 600));
  world.log.clear();
  TMesh* again = world.filter->loadMesh(files, u"m.md3");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->frameCount, 3);
  EXPECT_EQ(world.dir.read("m.mesh"), copy);

  // A model that cannot be read, without a copy: nothing, and nothing written.
  world.dir.write("broken.3ds", "MM");
  EXPECT_EQ(world.filter->loadMesh(files, u"broken.3ds"), nullptr);
  EXPECT_FALSE(files->streamExists(u"broken.mesh"));
  EXPECT_EQ(world.filter->loadMesh(files, u"missing.3ds"), nullptr);
}

// A copy is made again when what it was made with changes: the game's model
// scale, or the model's ".aaf" list of animations, without the model itself
// being touched.
TEST(ConvertedCopies, AModelCopyFollowsTheModelScaleAndTheAnimationList) {
  FilterWorld world;
  TResourceMan* files = world.manager.get();
  world.dir.write("m.md3", Md3File(3, {{4, {{0, 1, 2}}}}));
  world.dir.write("m.aaf", "AAF\n1\nall,0,2\n");
  world.age("m.md3", 100);
  world.age("m.aaf", 100);
  auto load = [&] {
    TMesh* mesh = world.filter->loadMesh(files, u"m.md3");
    return mesh ? std::pair{mesh->boundBox.max.x, mesh->animations.size()} : std::pair{0.0f, size_t{99}};
  };
  const float edge = load().first;
  ASSERT_GT(edge, 0);
  EXPECT_EQ(load(), (std::pair{edge, size_t{1}}));
  world.scale = 3;
  EXPECT_EQ(load(), (std::pair{edge * 3, size_t{1}}));
  world.log.clear();
  EXPECT_EQ(load(), (std::pair{edge * 3, size_t{1}}));  // the new copy is read
  EXPECT_EQ(world.log.messages(), std::vector<std::string>{"(i) file was loaded m.mesh"});
  world.age("m.mesh", 50);
  world.dir.write("m.aaf", "AAF\n2\nwalk,0,1\nrun,1,2\n");
  world.age("m.aaf", 10);
  EXPECT_EQ(load(), (std::pair{edge * 3, size_t{2}}));
  // A copy that notes no scale (written by hand, or by an older version) is
  // made again once.
  std::string copy = world.dir.read("m.mesh");
  copy.replace(23, 8, std::string(8, '\0'));
  world.dir.write("m.mesh", copy);
  world.log.clear();
  EXPECT_EQ(load(), (std::pair{edge * 3, size_t{2}}));
  EXPECT_EQ(world.dir.read("m.mesh").substr(23, 4), "MADE");
}

TEST(ConvertedCopies, AReadOnlyGameFolderStillLoadsItsModelsWithOneErrorLine) {
  FilterWorld world;
  world.dir.write("room.3ds", ThreeDsFile({{"floor", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {}, {{0, 1, 2}}}}));
  ASSERT_EQ(chmod(world.dir.path().c_str(), 0555), 0);
  TMesh* mesh = nullptr;
  {
    Unprivileged user;
    mesh = world.filter->loadMesh(world.manager.get(), u"room.3ds");
  }
  chmod(world.dir.path().c_str(), 0755);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->vertexCount, 3);
  EXPECT_FALSE(world.manager->streamExists(u"room.mesh"));
  EXPECT_EQ(world.log.messages(),
            (std::vector<std::string>{"(i) 3ds mesh was loaded",
                                      "(e) Can't write converted copy room.mesh: room.3ds stays in memory only"}));
}

TEST(ConvertedCopies, SavingAndPlainBuffersFollowTheFilterForTheName) {
  FilterWorld world;
  TResourceMan* files = world.manager.get();
  world.dir.write("pic.jpg", JpegFile(8, 8, std::vector<uint32_t>(64, kRed), JpegKind::Baseline));
  world.dir.write("art.png", PngFile(2, 1, {kRed, kBlue}, {}));
  TPixmap* art = world.filter->loadPixmap(files, u"art.png");
  ASSERT_NE(art, nullptr);
  EXPECT_FALSE(world.filter->savePixmap(files, u"art.md3", art));
  EXPECT_FALSE(files->streamExists(u"art.md3"));

  TArgbImage image;
  EXPECT_TRUE(world.filter->loadRGBAFile(files, "pic.jpg", image));
  EXPECT_EQ(image.width, 8);
  EXPECT_TRUE(NearArgb(image.pixels[0], kRed, 8));
  // A PNG's pixels come from its copy while there is one, else from the PNG.
  for (bool withCopy : {true, false}) {
    if (!withCopy) std::filesystem::remove(world.dir.file("art.pixmap"));
    EXPECT_TRUE(world.filter->loadRGBAFile(files, "art.png", image)) << withCopy;
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{kRed, kBlue})) << withCopy;
  }
  EXPECT_FALSE(world.filter->loadRGBAFile(files, "model.md3", image));
  EXPECT_FALSE(world.filter->saveRGBAFile({2, 1, {kRed, kBlue}}, "out.png"));
  EXPECT_FALSE(files->streamExists(u"out.png"));
}
}  // namespace
