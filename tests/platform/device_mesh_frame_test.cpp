// Frames of animated meshes: which frames show, how they blend, and how they
// reach the dynamic mesh.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/device_fake_helpers.h"
#include "platform/device_mesh_frame.h"

namespace {

TEST(MeshFrames, LoopingWrapsIntoTheRange) {
  TMeshFrameChoice c = ChooseMeshFrames(0, true, 10, 0.1f, 1.05f, 10);
  EXPECT_EQ(c.current, 0);
  EXPECT_EQ(c.next, 1);
  EXPECT_TRUE(c.blend);
  EXPECT_NEAR(c.weight, 0.5f, 1e-3);
  c = ChooseMeshFrames(2, true, 6, 0.5f, 1.9f, 10);  // k = 3: 3 mod 4 + 2
  EXPECT_EQ(c.current, 5);
  EXPECT_EQ(c.next, 2);  // 6 is past the end: back to the start
}

TEST(MeshFrames, WithoutLoopTheLastFrameStays) {
  TMeshFrameChoice c = ChooseMeshFrames(0, false, 10, 0.1f, 0.35f, 11);
  EXPECT_EQ(c.current, 3);
  EXPECT_EQ(c.next, 4);
  EXPECT_TRUE(c.blend);
  c = ChooseMeshFrames(0, false, 10, 0.1f, 0.95f, 11);  // cur + 1 reaches the end
  EXPECT_EQ(c.current, 10);
  EXPECT_FALSE(c.blend);
  c = ChooseMeshFrames(0, false, 10, 0.1f, 50, 11);
  EXPECT_EQ(c.current, 10);
  EXPECT_FALSE(c.blend);
}

TEST(MeshFrames, DegenerateTimingShowsTheFirstFrame) {
  for (TMeshFrameChoice c : {ChooseMeshFrames(3, true, 3, 0.1f, 1, 10),     // empty range
                             ChooseMeshFrames(3, true, 1, 0.1f, 1, 10),     // reversed range
                             ChooseMeshFrames(3, true, 8, 0, 1, 10),        // no frame time
                             ChooseMeshFrames(3, false, 8, 0.1f, 0, 10),    // time 0
                             ChooseMeshFrames(3, true, 8, 0.1f, -4, 10),    // time before the start
                             ChooseMeshFrames(3, true, 8, 1e-30f, 1e30f, 10)}) {
    EXPECT_EQ(c.current, 3);
    EXPECT_FALSE(c.blend);
  }
}

TEST(MeshFrames, EveryAnswerIsAFrameTheMeshHas) {
  // The animation list asks for frames the mesh does not have.
  TMeshFrameChoice c = ChooseMeshFrames(0, false, 20, 0.1f, 5, 8);
  EXPECT_EQ(c.current, 7);
  c = ChooseMeshFrames(-5, false, 3, 0.1f, 0, 8);
  EXPECT_EQ(c.current, 0);
  c = ChooseMeshFrames(0, true, 30, 0.1f, 2.55f, 8);  // k = 25
  EXPECT_LT(c.current, 8);
  EXPECT_LT(c.next, 8);
}

class MeshFrameDraw : public ::testing::Test {
 protected:
  TTestHost host;
  FakeDevicePtr device = MakeFakeDevice(&host);

  // Three vfPNT vertices a frame; frame f has positions (10 f + i, 0, 0),
  // normals (0, f, 0) and texture coordinates (f, i).
  TMesh* Animated(bool indexed, int frames) {
    TMesh* mesh = device->CreateMesh(vfPNT, 3, indexed, 3, false, true, frames);
    void* data = nullptr;
    device->LockMeshVertex(mesh, 3, data);
    for (int f = 0; f < frames; ++f) {
      for (int i = 0; i < 3; ++i) {
        const float vertex[8] = {10.0f * f + i, 0, 0, 0, static_cast<float>(f), 0, static_cast<float>(f),
                                 static_cast<float>(i)};
        std::memcpy(mesh->frameVertices(f) + i * 32, vertex, 32);
      }
    }
    if (indexed) {
      uint16_t* indices = nullptr;
      device->LockMeshIndex(mesh, 3, indices);
      indices[0] = 2;
      indices[1] = 1;
      indices[2] = 0;
    }
    return mesh;
  }
  std::vector<float> Floats(const TRecordedDraw& draw) {
    std::vector<float> out(draw.vertices.size() / 4);
    std::memcpy(out.data(), draw.vertices.data(), draw.vertices.size());
    return out;
  }
};

TEST_F(MeshFrameDraw, BlendsPositionsAndNormalsButKeepsTextureCoordinates) {
  TMesh* mesh = Animated(true, 4);
  device->DrawMeshFrame(mesh, 0, true, 4, 0.5f, 1.25f);  // k = 2, half way to frame 3
  ASSERT_EQ(device->draws.size(), 1u);
  const TRecordedDraw& draw = device->draws[0];
  EXPECT_EQ(draw.format, vfPNT);
  std::vector<float> f = Floats(draw);
  ASSERT_EQ(f.size(), 24u);
  EXPECT_NEAR(f[0], 25, 1e-4);   // between 20 and 30
  EXPECT_NEAR(f[4], 2.5f, 1e-4);  // normal y between 2 and 3
  EXPECT_FLOAT_EQ(f[6], 2);       // texture u of frame 2
  EXPECT_NEAR(f[8], 26, 1e-4);
  EXPECT_EQ(draw.indices, (std::vector<uint16_t>{2, 1, 0}));
  EXPECT_EQ(device->dynamicMesh()->format, vfPCT);  // given back
}

TEST_F(MeshFrameDraw, MeshesWithoutIndicesDrawTheirVerticesInOrder) {
  TMesh* mesh = Animated(false, 2);
  device->DrawMeshFrame(mesh, 0, false, 2, 0.1f, 0);
  ASSERT_EQ(device->draws.size(), 1u);
  EXPECT_EQ(device->draws[0].indices, (std::vector<uint16_t>{0, 1, 2}));
  EXPECT_FLOAT_EQ(Floats(device->draws[0])[8], 1);  // frame 0 copied whole
}

TEST_F(MeshFrameDraw, StoredIndicesBeyondTheVerticesAreKeptInside) {
  TMesh* mesh = Animated(true, 2);
  mesh->indexData[1] = 999;
  device->DrawMeshFrame(mesh, 0, false, 2, 0.1f, 0);
  EXPECT_EQ(device->draws[0].indices, (std::vector<uint16_t>{2, 0, 0}));
}

TEST_F(MeshFrameDraw, AMeshWithoutItsVertexMemoryDrawsNothing) {
  TMesh* mesh = Animated(true, 2);
  mesh->vertexData.resize(10);
  device->DrawMeshFrame(mesh, 0, false, 2, 0.1f, 0.05f);
  EXPECT_TRUE(device->draws.empty());
  device->DrawMeshFrame(nullptr, 0, false, 2, 0.1f, 0.05f);
  EXPECT_TRUE(device->draws.empty());
}

TEST_F(MeshFrameDraw, AMeshLargerThanTheDynamicMeshIsRefused) {
  TMesh* mesh = device->CreateMesh(vfPNCT, 5000, false, 0, false, true, 1);
  device->DrawMeshFrame(mesh, 0, false, 1, 0.1f, 0);  // 5000 x 36 bytes > 6000 x 24
  EXPECT_TRUE(device->draws.empty());
  EXPECT_EQ(device->dynamicMesh()->format, vfPCT);
  DynamicMeshCapacity() = TDynamicMeshCapacity{};
}

}  // namespace
