// The shared dynamic mesh: its growth in steps, and locks that do not fit.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/device_fake_helpers.h"
#include "support/log_capture.h"

namespace {

// The capacities are program-wide: each test starts from the defaults and
// leaves them so.
class DynamicMesh : public ::testing::Test {
 protected:
  void SetUp() override { DynamicMeshCapacity() = TDynamicMeshCapacity{}; }
  void TearDown() override { DynamicMeshCapacity() = TDynamicMeshCapacity{}; }
  TTestHost host;
};

TEST_F(DynamicMesh, StartsAtTheProgramWideCapacities) {
  FakeDevicePtr device = MakeFakeDevice(&host);
  TMesh* mesh = device->dynamicMesh();
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->format, vfPCT);
  EXPECT_EQ(mesh->vertexCount, 6000);
  EXPECT_EQ(mesh->indexCount, 12000);
  EXPECT_TRUE(mesh->dynamic);
  EXPECT_TRUE(mesh->indexed);
  EXPECT_FALSE(mesh->animated);
}

TEST_F(DynamicMesh, GrowsInStepsUpToTheLimitAndLogsEachStep) {
  LogCapture log;
  FakeDevicePtr device = MakeFakeDevice(&host);
  device->GrowDynamicMesh();
  EXPECT_EQ(device->dynamicMesh()->vertexCount, 15000);
  EXPECT_EQ(device->dynamicMesh()->indexCount, 30000);
  EXPECT_TRUE(log.contains("(i) Dynamic mesh increased to new size VB=15000 IB=30000"));
  DynamicMeshCapacity() = TDynamicMeshCapacity{96000, 192000};
  device->GrowDynamicMesh();
  EXPECT_EQ(device->dynamicMesh()->vertexCount, 100000);
  EXPECT_EQ(device->dynamicMesh()->indexCount, 200000);
  EXPECT_TRUE(log.contains("(i) Dynamic mesh increased to new size VB=100000 IB=200000"));
  log.clear();
  TMesh* before = device->dynamicMesh();
  device->GrowDynamicMesh();  // at both limits: nothing
  EXPECT_EQ(device->dynamicMesh(), before);
  EXPECT_TRUE(log.lines().empty());
}

TEST_F(DynamicMesh, GrowthReplacesTheMeshInTheRegistry) {
  FakeDevicePtr device = MakeFakeDevice(&host);
  size_t count = device->meshes().size();
  device->GrowDynamicMesh();
  // The old mesh is freed (its memory may hold the new one): the registry is
  // told apart by size, never by address.
  EXPECT_EQ(device->meshes().size(), count);
  EXPECT_EQ(device->meshes().back(), device->dynamicMesh());
  std::vector<int32_t> capacities;
  for (TMesh* mesh : device->meshes()) capacities.push_back(mesh->vertexCount);
  EXPECT_EQ(std::count(capacities.begin(), capacities.end(), 6000), 0);
  EXPECT_EQ(std::count(capacities.begin(), capacities.end(), 15000), 1);
}

TEST_F(DynamicMesh, ALockTooLargeFailsAndTheNextTickGrowsTheMesh) {
  LogCapture log;
  FakeDevicePtr device = MakeFakeDevice(&host);
  TMesh* mesh = device->dynamicMesh();
  void* data = nullptr;
  EXPECT_FALSE(device->LockMeshVertex(mesh, 6001, data));
  EXPECT_TRUE(log.contains("(e) Locked size is bigger than buffer have"));
  EXPECT_EQ(device->dynamicMesh(), mesh);  // the caller's mesh is still there
  EXPECT_TRUE(device->growRequested());
  device->Tick(0.01f);
  EXPECT_FALSE(device->growRequested());
  EXPECT_EQ(device->dynamicMesh()->vertexCount, 15000);
  EXPECT_TRUE(device->LockMeshVertex(device->dynamicMesh(), 6001, data));
}

TEST_F(DynamicMesh, RoomIsMeasuredInBytesOfTheFormatWritten) {
  FakeDevicePtr device = MakeFakeDevice(&host);
  TMesh* mesh = device->dynamicMesh();
  void* data = nullptr;
  // 6000 vfPCT vertices are 144000 bytes: 4500 vertices of 32-byte vfPNT fill them.
  mesh->format = vfPNT;
  EXPECT_TRUE(device->LockMeshVertex(mesh, 4500, data));
  EXPECT_FALSE(device->LockMeshVertex(mesh, 4501, data));
  mesh->format = vfPNCT;  // 36 bytes: 4000 fit
  EXPECT_TRUE(device->LockMeshVertex(mesh, 4000, data));
  EXPECT_FALSE(device->LockMeshVertex(mesh, 4001, data));
  mesh->format = vfPCT;
}

TEST_F(DynamicMesh, AnIndexedBatchStaysWithinSixteenBitIndices) {
  DynamicMeshCapacity() = TDynamicMeshCapacity{100000, 200000};
  FakeDevicePtr device = MakeFakeDevice(&host);
  void* data = nullptr;
  EXPECT_TRUE(device->LockMeshVertex(device->dynamicMesh(), 65536, data));
  EXPECT_FALSE(device->LockMeshVertex(device->dynamicMesh(), 65537, data));
}

TEST_F(DynamicMesh, IndexLocksBeyondTheIndicesFail) {
  LogCapture log;
  FakeDevicePtr device = MakeFakeDevice(&host);
  uint16_t* indices = nullptr;
  EXPECT_TRUE(device->LockMeshIndex(device->dynamicMesh(), 12000, indices));
  EXPECT_FALSE(device->LockMeshIndex(device->dynamicMesh(), 12001, indices));
  EXPECT_TRUE(log.contains("(e) Locked size is bigger than index buffer have"));
}

TEST_F(DynamicMesh, EveryFrameEmptiesTheBatch) {
  FakeDevicePtr device = MakeFakeDevice(&host);
  void* data = nullptr;
  uint16_t* indices = nullptr;
  device->LockMeshVertex(device->dynamicMesh(), 40, data);
  device->LockMeshIndex(device->dynamicMesh(), 60, indices);
  device->Render();
  EXPECT_EQ(device->dynamicMesh()->batchVertices, 0);
  EXPECT_EQ(device->dynamicMesh()->batchIndices, 0);
}

TEST_F(DynamicMesh, NineSliceTiledThatNeedsMoreThanTheMeshHoldsAsksForGrowth) {
  LogCapture log;
  FakeDevicePtr device = MakeFakeDevice(&host);
  TPixmap* pixmap = device->CreatePixmap(3, 3);
  // Tiles of 1 x 1 over 50 x 40 pixels: 2000 quads, 8000 vertices.
  device->DrawPixmapNineSliceTiled(pixmap, MakeRectF(0, 0, 52, 42), MakeRectF(1, 1, 1, 1));
  EXPECT_TRUE(device->draws.empty());
  EXPECT_TRUE(device->growRequested());
  device->Tick(0);
  device->DrawPixmapNineSliceTiled(pixmap, MakeRectF(0, 0, 52, 42), MakeRectF(1, 1, 1, 1));
  ASSERT_EQ(device->draws.size(), 1u);
  EXPECT_EQ(device->draws[0].pct().size(), 4u * (4 + 2 * 50 + 2 * 40 + 50 * 40));
}

}  // namespace
