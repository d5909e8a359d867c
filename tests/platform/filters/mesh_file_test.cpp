// ".mesh" files: a static three-vertex mesh is 607 bytes, an animated
// indexed mesh round-trips with its frames and animations, damaged files
// make no mesh and say why, and a mesh whose vertices are not in memory is
// not saved.
#include <gtest/gtest.h>

#include <cstring>

#include "core/resources/resource_man.h"
#include "platform/filters/filter_world.h"
#include "platform/filters/mesh_binary_filter.h"
#include "platform/mesh.h"

namespace {
std::string Int32(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

// The 547-byte head of a file, then the animations (none), box and data.
std::string Head(bool indexed, int32_t vertices, int32_t format, int32_t indices, bool animated, int32_t frames,
                 int32_t animations) {
  return "MESHBIN" + Int32(indexed) + Int32(vertices) + Int32(format) + Int32(indices) + std::string(512, '\0') +
         Int32(animated) + Int32(frames) + Int32(animations);
}

TMesh* MakeMesh(FilterWorld& world, TVertexFormat format, int32_t vertices, int32_t indices, int32_t frames) {
  TMesh* mesh = world.device->CreateMesh(format, vertices, indices > 0, indices, false, frames > 1, frames);
  void* data = nullptr;
  world.device->LockMeshVertex(mesh, vertices, data);
  for (size_t i = 0; i < mesh->allFramesBytes() / 4; ++i) {
    const float value = 0.25f * static_cast<float>(i) - 3;
    std::memcpy(static_cast<uint8_t*>(data) + 4 * i, &value, 4);
  }
  world.device->UnlockMeshVertex(mesh);
  uint16_t* index = nullptr;
  if (indices > 0 && world.device->LockMeshIndex(mesh, indices, index)) {
    for (int32_t i = 0; i < indices; ++i) index[i] = static_cast<uint16_t>((i * 7) % vertices);
    world.device->UnlockMeshIndex(mesh);
  }
  mesh->boundBox = {MakeVector4F(-1, -2, -3, 1), MakeVector4F(4, 5, 6, 1)};
  return mesh;
}

void ExpectSameMesh(const TMesh& a, const TMesh& b) {
  EXPECT_EQ(a.format, b.format);
  EXPECT_EQ(a.vertexCount, b.vertexCount);
  EXPECT_EQ(a.indexed, b.indexed);
  EXPECT_EQ(a.indexCount, b.indexCount);
  EXPECT_EQ(a.animated, b.animated);
  EXPECT_EQ(a.frameCount, b.frameCount);
  EXPECT_EQ(a.animations, b.animations);
  EXPECT_EQ(Vector4To3(a.boundBox.min), Vector4To3(b.boundBox.min));
  EXPECT_EQ(Vector4To3(a.boundBox.max), Vector4To3(b.boundBox.max));
  EXPECT_EQ(a.vertexData, b.vertexData);
  EXPECT_EQ(a.indexData, b.indexData);
}

TEST(MeshFile, AStaticThreeVertexMeshIs607BytesAndRoundTrips) {
  FilterWorld world;
  TMesh* mesh = MakeMesh(world, vfP, 3, 0, 1);
  ASSERT_TRUE(world.filter->saveMesh(world.manager.get(), u"tri.mesh", mesh));
  const std::string file = world.dir.read("tri.mesh");
  ASSERT_EQ(file.size(), 607u);
  EXPECT_EQ(file.substr(0, 547), Head(false, 3, vfP, 0, false, 1, 0));
  TMesh* back = world.filter->loadMesh(world.manager.get(), u"tri.mesh");
  ASSERT_NE(back, nullptr);
  ExpectSameMesh(*mesh, *back);
  EXPECT_EQ(world.log.messages(), std::vector<std::string>{"(i) file was loaded tri.mesh"});
}

TEST(MeshFile, AnAnimatedIndexedMeshRoundTripsWithItsFramesAndAnimations) {
  FilterWorld world;
  TMesh* mesh = MakeMesh(world, vfPNCT, 5, 9, 10);
  mesh->animations = {{"walk", 0, 4, 0.1f}, {"run", 5, 9, 0.05f}, {"", 3, 3, 0}};
  ASSERT_TRUE(world.filter->saveMesh(world.manager.get(), u"anim.mesh", mesh));
  EXPECT_EQ(world.dir.read("anim.mesh").size(), 547u + (4 + 4 + 12) + (3 + 4 + 12) + (0 + 4 + 12) + 24 +
                                                     5u * 36 * 10 + 9 * 2);
  TMesh* back = world.filter->loadMesh(world.manager.get(), u"anim.mesh");
  ASSERT_NE(back, nullptr);
  ExpectSameMesh(*mesh, *back);
}

TEST(MeshFile, DamagedFilesMakeNoMeshAndSayWhy) {
  FilterWorld world;
  const size_t meshesBefore = world.device->meshes().size();
  const std::string box(24, '\0');
  const std::string oneVertex(12, '\0');
  const struct {
    const char* name;
    std::string bytes;
    const char* error;
  } cases[] = {
      {"index.mesh", Head(true, 1, vfP, 3, false, 1, 0) + box + oneVertex + std::string("\0\0\1\0\0\0", 6),
       "an index lies past the vertices"},
      {"wide.mesh", Head(true, 70000, vfP, 3, false, 1, 0) + box, "more vertices than 16-bit indices reach"},
      {"frames.mesh", Head(false, 1, vfP, 0, true, 0, 0) + box + oneVertex, "an animated mesh without frames"},
      {"format.mesh", Head(false, 1, 99, 0, false, 1, 0) + box + oneVertex, "bad vertex format or counts"},
      {"negative.mesh", Head(false, -1, vfP, 0, false, 1, 0) + box, "bad vertex format or counts"},
      {"short.mesh", Head(false, 2, vfP, 0, false, 1, 0) + box + oneVertex, "file truncated"},
      {"huge.mesh", Head(false, 1 << 24, vfP, 0, true, 1 << 20, 0) + box, "bad vertex format or counts"},
      {"names.mesh", Head(false, 1, vfP, 0, false, 1, 1000000) + box + oneVertex, "bad animation count"},
      {"name.mesh", Head(false, 0, vfP, 0, false, 1, 1) + Int32(9999) + box, "file truncated"},
  };
  for (const auto& c : cases) {
    world.log.clear();
    world.dir.write(c.name, c.bytes);
    EXPECT_EQ(world.filter->loadMesh(world.manager.get(), AnsiToWide(c.name)), nullptr) << c.name;
    ASSERT_FALSE(world.log.messages().empty()) << c.name;
    EXPECT_EQ(world.log.messages().back(), std::string("(e) Can't load ") + c.name + ": " + c.error);
  }
  world.log.clear();
  world.dir.write("other.mesh", "MESHBOX" + Head(false, 1, vfP, 0, false, 1, 0).substr(7) + box + oneVertex);
  EXPECT_EQ(world.filter->loadMesh(world.manager.get(), u"other.mesh"), nullptr);
  EXPECT_TRUE(world.log.lines().empty());
  EXPECT_EQ(world.device->meshes().size(), meshesBefore) << "no mesh is left behind by a refused file";
}

TEST(MeshFile, AMeshWhoseVerticesAreNotInMemoryIsNotSaved) {
  FilterWorld world;
  // As a device that keeps a never-locked mesh's vertices on the card.
  std::unique_ptr<TMesh, FreeDeleter> unlocked(New<TMesh>());
  unlocked->setShape(vfPNT, 4, true, 6, false, false, 1);
  EXPECT_FALSE(world.filter->saveMesh(world.manager.get(), u"never.mesh", unlocked.get()));
  EXPECT_FALSE(world.manager->streamExists(u"never.mesh"));
  EXPECT_EQ(world.log.messages(),
            std::vector<std::string>{"(e) Can't save never.mesh: the mesh has no vertices in memory"});
  // Names no filter writes are left alone.
  EXPECT_FALSE(world.filter->saveMesh(world.manager.get(), u"model.md3", MakeMesh(world, vfP, 3, 0, 1)));
  EXPECT_FALSE(world.manager->streamExists(u"model.md3"));
}
}  // namespace
