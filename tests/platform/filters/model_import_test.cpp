// MD3 and 3DS models loaded through the applet's filter: surfaces and
// objects merge into one indexed position-normal-texture mesh with the
// counts, frames, animations, normals and scale their files give; damaged
// models make no mesh and say why.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/resources/resource_man.h"
#include "platform/filters/filter_world.h"
#include "platform/filters/md3_file.h"
#include "platform/mesh.h"

namespace {
// Position, normal and texture coordinate of vertex i of a frame.
struct Vertex {
  TVector3F position, normal;
  TTexCoord tex;
};
Vertex VertexAt(const TMesh& mesh, int32_t frame, int32_t i) {
  float f[8];
  std::memcpy(f, mesh.vertexData.data() + mesh.frameBytes() * static_cast<size_t>(frame) + 32 * static_cast<size_t>(i),
              sizeof f);
  return {{f[0], f[1], f[2]}, {f[3], f[4], f[5]}, {f[6], f[7]}};
}

TMesh* LoadMesh(FilterWorld& world, const std::string& name) {
  return world.filter->loadMesh(world.manager.get(), AnsiToWide(name));
}

// Surface 0: ten vertices, two triangles; surface 1: three vertices, one.
std::vector<Md3Surface> TwoSurfaces() { return {{10, {{0, 1, 2}, {3, 4, 9}}}, {3, {{0, 1, 2}}}}; }

TEST(Md3Import, TwoSurfacesOfSeveralFramesMergeIntoOneAnimatedMesh) {
  FilterWorld world;
  world.scale = 2;
  world.dir.write("hero.md3", Md3File(4, TwoSurfaces()));
  world.dir.write("hero.aaf", "AAF\r\n2\r\nwalk,0,1\r\nrun, 2, 3\r\n");
  TMesh* mesh = LoadMesh(world, "hero.md3");
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->format, vfPNT);
  EXPECT_EQ(mesh->vertexCount, 13);
  EXPECT_EQ(mesh->indexCount, 9);
  EXPECT_TRUE(mesh->animated);
  EXPECT_EQ(mesh->frameCount, 4);
  // Second and third corners swapped; surface 1 follows surface 0's ten.
  EXPECT_EQ(mesh->indexData, (std::vector<uint16_t>{0, 2, 1, 3, 9, 4, 10, 12, 11}));
  const std::vector<TMeshAnimation> animations = {{"walk", 0, 1, 0}, {"run", 2, 3, 0}};
  EXPECT_EQ(mesh->animations, animations);
  // Vertex 2 of surface 1 in frame 3: (2 + 3, 1, -2) units, doubled.
  const Vertex v = VertexAt(*mesh, 3, 12);
  EXPECT_EQ(v.position, MakeVector3F(10, 2, -4));
  EXPECT_EQ(v.tex, (TTexCoord{0.2f, 0.5f}));
  const TVector3F n = decodeMD3Normal(2 * 37 + 3);
  EXPECT_EQ(v.normal, n);
  EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1, 1e-5);
  // Packed normal 0 (vertex 0, frame 0) points down z.
  EXPECT_EQ(VertexAt(*mesh, 0, 0).normal, MakeVector3F(-0.0f, -0.0f, -1));
  // Box over every frame: x 0..12, y 0..1, z -9..0 units, doubled.
  EXPECT_EQ(Vector4To3(mesh->boundBox.min), MakeVector3F(0, 0, -18));
  EXPECT_EQ(Vector4To3(mesh->boundBox.max), MakeVector3F(24, 2, 0));
  EXPECT_TRUE(world.log.contains("(i) mesh hero.md3 have 4 and loaded as dynamic"));
}

TEST(Md3Import, OneFrameIsStaticAndAnimationListsAreTakenOnlyWhenWellFormed) {
  FilterWorld world;
  world.dir.write("rock.md3", Md3File(1, TwoSurfaces()));
  TMesh* rock = LoadMesh(world, "rock.md3");
  ASSERT_NE(rock, nullptr);
  EXPECT_FALSE(rock->animated);
  EXPECT_EQ(rock->vertexData.size(), 13u * 32);
  EXPECT_TRUE(world.log.contains("(i) mesh rock.md3 have 1 and loaded as static"));

  const struct {
    const char* list;
    size_t animations;
    bool logged;
  } cases[] = {
      {"AAF\n1\nidle,0,1\n", 1, false},       {"aaf\n1\nidle,0,1\n", 0, false},
      {"AAF\n", 0, false},                    {"AAF\ntwo\nidle,0,1\n", 0, true},
      {"AAF\n3\nidle,0,1\n", 0, true},        {"AAF\n1\nidle,zero,1\n", 0, true},
      {"AAF\n1\nidle;0;1\n", 0, true},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string name = "guy" + std::to_string(n++);
    world.dir.write(name + ".md3", Md3File(2, TwoSurfaces()));
    world.dir.write(name + ".aaf", c.list);
    world.log.clear();
    TMesh* mesh = LoadMesh(world, name + ".md3");
    ASSERT_NE(mesh, nullptr) << c.list;
    EXPECT_EQ(mesh->animations.size(), c.animations) << c.list;
    EXPECT_EQ(world.log.messages().back().rfind("(e) Can't load " + name + ".aaf: ", 0) == 0, c.logged) << c.list;
  }
}

TEST(Md3Import, DamagedModelsMakeNoMeshAndSayWhy) {
  FilterWorld world;
  std::string cut = Md3File(2, TwoSurfaces());
  cut.resize(cut.size() - 10);
  const struct {
    const char* name;
    std::string bytes;
    const char* error;
  } cases[] = {
      {"ident.md3", Md3File(2, TwoSurfaces(), "IDP2"), "Incorrect MD3 file ID (FileMD3)"},
      {"version.md3", Md3File(2, TwoSurfaces(), "IDP3", 16), "Incorrect MD3 version number (FileMD3)"},
      {"short.md3", "IDP3", "Incorrect MD3 file ID (FileMD3)"},
      {"frames.md3", Md3File(0, {}), "an MD3 model without frames"},
      {"cut.md3", cut, "bad vertex offset"},
      {"surface.md3", Md3File(2, {{3, {{0, 1, 2}}, 1}}), "surface frame count differs from the model's"},
      {"corner.md3", Md3File(1, {{3, {{0, 1, 3}}}}), "a triangle outside its surface"},
      {"many.md3", Md3File(1, {{40000, {}}, {40000, {}}}), "more vertices than 16-bit indices reach"},
  };
  for (const auto& c : cases) {
    world.log.clear();
    world.dir.write(c.name, c.bytes);
    EXPECT_EQ(LoadMesh(world, c.name), nullptr) << c.name;
    EXPECT_EQ(world.log.messages(), std::vector<std::string>{std::string("(e) Can't load ") + c.name + ": " + c.error});
  }
}

// Object order in the file: zeta before alpha, which lib3ds would sort.
std::vector<ThreeDsObject> Objects() {
  return {
      {"zeta", {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 0}, {1, 0}, {1, 1}, {0, 0.25f}}, {{0, 1, 2}, {0, 2, 3}}},
      {"alpha", {{0, 0, 5}, {0, 0, 6}, {0, 2, 5}}, {}, {{0, 1, 2}}},
      {"ghost", {{9, 9, 9}, {9, 9, 8}, {9, 8, 9}}, {}, {{0, 1, 2}}, true},
      {"line", {{7, 7, 7}, {8, 8, 8}}, {}, {}},
  };
}

TEST(ThreeDsImport, VisibleObjectsMergeInFileOrderWithFlatNormalsAndTurnedTextures) {
  FilterWorld world;
  world.scale = 2;
  world.dir.write("room.3ds", ThreeDsFile(Objects()));
  TMesh* mesh = LoadMesh(world, "room.3ds");
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->format, vfPNT);
  EXPECT_FALSE(mesh->animated);
  EXPECT_EQ(mesh->vertexCount, 7);  // the hidden object and the two-point one are left out
  EXPECT_EQ(mesh->indexData, (std::vector<uint16_t>{0, 1, 2, 0, 2, 3, 4, 5, 6}));
  EXPECT_EQ(VertexAt(*mesh, 0, 2).position, MakeVector3F(2, 2, 0)) << "zeta first, scaled";
  EXPECT_EQ(VertexAt(*mesh, 0, 3).tex, (TTexCoord{0, 0.75f}));
  EXPECT_EQ(VertexAt(*mesh, 0, 5).tex, (TTexCoord{0, 0}));
  // (P[a] - P[b]) x (P[c] - P[b]), made unit length.
  EXPECT_EQ(VertexAt(*mesh, 0, 1).normal, MakeVector3F(0, 0, -1));
  EXPECT_EQ(VertexAt(*mesh, 0, 4).normal, MakeVector3F(1, 0, 0));
  EXPECT_EQ(Vector4To3(mesh->boundBox.min), MakeVector3F(0, 0, 0));
  EXPECT_EQ(Vector4To3(mesh->boundBox.max), MakeVector3F(2, 4, 12));
  EXPECT_TRUE(world.log.contains("(i) 3ds mesh was loaded"));
}

TEST(ThreeDsImport, DamagedFilesMakeNoMeshAndNeverReachLib3ds) {
  FilterWorld world;
  const std::string good = ThreeDsFile(Objects());
  std::string zeroLength = good, pastParent = good, badFace = ThreeDsFile({{"a", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {}, {{0, 1, 7}}}});
  const size_t editor = good.find("\x3D\x3D");
  ASSERT_NE(editor, std::string::npos);
  std::memset(&zeroLength[editor + 2], 0, 4);
  pastParent[editor + 5] = '\x7F';
  const struct {
    const char* name;
    std::string bytes;
    const char* error;
  } cases[] = {
      {"zero.3ds", zeroLength, "chunk length past its parent"},
      {"past.3ds", pastParent, "chunk length past its parent"},
      {"cut.3ds", good.substr(0, good.size() / 2), "chunk length past the file"},
      {"face.3ds", badFace, "a face names a point its object lacks"},
      {"empty.3ds", std::string("MM\x06\0\0\0", 6), "no mesh in the model"},
      {"other.3ds", "GIF89a", "not a 3DS file"},
  };
  for (const auto& c : cases) {
    world.log.clear();
    world.dir.write(c.name, c.bytes);
    EXPECT_EQ(LoadMesh(world, c.name), nullptr) << c.name;
    EXPECT_EQ(world.log.messages(), std::vector<std::string>{std::string("(e) Can't load ") + c.name + ": " + c.error});
  }
}
}  // namespace
