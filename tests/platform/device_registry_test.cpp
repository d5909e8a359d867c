// The device-class registry and moving resources onto a new device.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/device_fake_helpers.h"

namespace {

TEST(DeviceRegistry, ClassesAreFoundByIndexAndByNameIgnoringCase) {
  int index = RegisterDeviceClass(FakeDeviceClass());
  EXPECT_EQ(index, static_cast<int>(DeviceClasses().size()) - 1);
  int found = FindDeviceClass(W("FAKE"));
  ASSERT_GE(found, 0);
  EXPECT_EQ(DeviceClasses()[static_cast<size_t>(found)].deviceName(), W("fake"));
  EXPECT_EQ(FindDeviceClass(W("nothing")), -1);
}

TEST(DeviceRegistry, TheDefaultIndexIsKept) {
  int before = DefaultDeviceIndex();
  SetDefaultDeviceIndex(3);
  EXPECT_EQ(DefaultDeviceIndex(), 3);
  SetDefaultDeviceIndex(before);
}

class Recreate : public ::testing::Test {
 protected:
  TTestHost host;
  std::vector<std::string> journal;
};

TEST_F(Recreate, CallersKeepTheirObjectsWithTheirContents) {
  TFakeDevice* device = static_cast<TFakeDevice*>(CreateDeviceOfClass(FakeDeviceClass(), nullptr, &host));
  device->journal = &journal;
  TPixmap* pixmap = device->CreatePixmap(3, 2);
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  ASSERT_TRUE(device->LockPixmapRectARGB(pixmap, {0, 0, 3, 2}, false, bits, pitch));
  for (uint32_t i = 0; i < 6; ++i) bits[i] = 0xFF000000 + i;
  device->UnlockPixmap(pixmap);

  TMesh* mesh = device->CreateMesh(vfPC, 3, true, 3, false, true, 2);
  mesh->animations.push_back({"walk", 0, 1, 0.25f});
  mesh->boundBox = MakeBoundBox(MakeVector4F(-1, -1, -1, 1), MakeVector4F(1, 1, 1, 1));
  void* vertices = nullptr;
  device->LockMeshVertex(mesh, 3, vertices);
  for (size_t i = 0; i < mesh->vertexData.size(); ++i) mesh->vertexData[i] = static_cast<uint8_t>(i);
  uint16_t* indices = nullptr;
  device->LockMeshIndex(mesh, 3, indices);
  indices[0] = 2;
  indices[1] = 0;
  indices[2] = 1;
  mesh->batchVertices = 3;
  mesh->batchIndices = 3;
  TMesh* dynamic = device->dynamicMesh();
  size_t meshCount = device->meshes().size();

  TDevice* fresh = TDevice::RecreateDevice(device, FakeDeviceClass());
  EXPECT_EQ(journal, std::vector<std::string>{"destroy 1 pixmaps"});  // the old device went, with a stand-in
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(host.replacedBy, fresh);
  EXPECT_EQ(host.reapplied, 1);
  EXPECT_EQ(fresh->pixmaps(), std::vector<TPixmap*>{pixmap});
  EXPECT_EQ(fresh->meshes().size(), meshCount);
  EXPECT_NE(std::find(fresh->meshes().begin(), fresh->meshes().end(), mesh), fresh->meshes().end());
  EXPECT_EQ(fresh->dynamicMesh(), dynamic);

  ASSERT_TRUE(fresh->LockPixmapRectARGB(pixmap, {0, 0, 3, 2}, true, bits, pitch));
  for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(bits[i], 0xFF000000 + i);
  fresh->UnlockPixmap(pixmap);
  EXPECT_TRUE(pixmap->switchCopy().empty());

  EXPECT_EQ(mesh->vertexData.size(), 2u * 3 * 16);
  for (size_t i = 0; i < mesh->vertexData.size(); ++i) EXPECT_EQ(mesh->vertexData[i], static_cast<uint8_t>(i));
  EXPECT_EQ(mesh->indexData, (std::vector<uint16_t>{2, 0, 1}));
  EXPECT_EQ(mesh->animations.size(), 1u);
  EXPECT_EQ(mesh->boundBox.max.x, 1);
  EXPECT_TRUE(mesh->animated);
  EXPECT_EQ(mesh->frameCount, 2);
  fresh->Free();
}

TEST_F(Recreate, TheNewDeviceDrawsWithTheCarriedDynamicMesh) {
  TDevice* device = CreateDeviceOfClass(FakeDeviceClass(), nullptr, &host);
  TPixmap* pixmap = device->CreatePixmap(2, 2);
  auto* fresh = static_cast<TFakeDevice*>(TDevice::RecreateDevice(device, FakeDeviceClass()));
  fresh->DrawPixmap(pixmap, MakeRectF(0, 0, 2, 2));
  ASSERT_EQ(fresh->draws.size(), 1u);
  EXPECT_EQ(fresh->draws[0].mesh, fresh->dynamicMesh());
  EXPECT_EQ(fresh->draws[0].pixmap, pixmap);
  fresh->Free();
}

}  // namespace
