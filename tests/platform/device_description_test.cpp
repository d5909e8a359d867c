// What scripts see of a device: its published methods, called by name.
#include <gtest/gtest.h>

#include "core/objects/class_info.h"
#include "core/objects/variant.h"
#include "platform/device_fake_helpers.h"

namespace {

class Published : public ::testing::Test {
 protected:
  TTestHost host;
  FakeDevicePtr device = MakeFakeDevice(&host);

  Variant Call(const std::string& name, std::vector<Variant> args) {
    const MethodInfo* method = device->classInfo().findMethod(name);
    EXPECT_NE(method, nullptr) << name;
    if (!method) return Variant();
    return method->invoke(device.get(), args);
  }
};

TEST_F(Published, TheDeviceMethodsAreThereUnderTheirNames) {
  for (const char* name : {"saveRenderState", "restoreRenderState", "SetRenderState", "FillRect", "CreatePixmap",
                           "DestroyPixmap", "LockPixmapRectARGB", "UnlockPixmap", "SetPixmap", "CreateMesh",
                           "DestroyMesh", "LockMeshVertex", "UnlockMeshVertex", "LockMeshIndex", "UnlockMeshIndex",
                           "DrawMesh", "FullScreen"}) {
    EXPECT_NE(device->classInfo().findMethod(name), nullptr) << name;
  }
}

TEST_F(Published, StatesAndFillsWorkFromScripts) {
  Call("SetRenderState", {Variant(int32_t{rs2D})});
  EXPECT_TRUE(device->RenderStateOn(rs2D));
  Call("FillRect", {Variant(1.0), Variant(2.0), Variant(3.0), Variant(4.0), Variant(0.5)});
  ASSERT_EQ(device->draws.size(), 1u);
  auto v = device->draws[0].pct();
  EXPECT_FLOAT_EQ(v[2].x, 3);
  EXPECT_FLOAT_EQ(v[2].z, 0.5f);
}

TEST_F(Published, PixmapsAndLocksFromScriptsKeepTheirMemoryInside) {
  Variant made = Call("CreatePixmap", {Variant(int32_t{4}), Variant(int32_t{2})});
  bool ok = false;
  auto* pixmap = dynamic_cast<TPixmap*>(made.toObject(&ok));
  ASSERT_NE(pixmap, nullptr);
  EXPECT_TRUE(Call("LockPixmapRectARGB", {made, Variant(int32_t{1}), Variant(int32_t{0}), Variant(int32_t{2}),
                                          Variant(int32_t{2}), Variant(true)})
                  .toBool(&ok));
  EXPECT_TRUE(pixmap->isLocked());
  Call("UnlockPixmap", {made});
  EXPECT_FALSE(Call("LockPixmapRectARGB", {made, Variant(int32_t{3}), Variant(int32_t{0}), Variant(int32_t{2}),
                                           Variant(int32_t{2}), Variant(true)})
                   .toBool(&ok));  // past the right edge
  Call("DestroyPixmap", {made});
  EXPECT_TRUE(device->pixmaps().empty());
}

TEST_F(Published, IndicesOutOfRangeAreIgnored) {
  Variant made = Call("CreatePixmap", {Variant(int32_t{1}), Variant(int32_t{1})});
  Call("SetPixmap", {Variant(int32_t{7}), made});
  Call("SetPixmap", {Variant(int32_t{-1}), made});
  EXPECT_EQ(device->boundPixmap(), nullptr);
  Call("SetPixmap", {Variant(int32_t{0}), made});
  EXPECT_NE(device->boundPixmap(), nullptr);
  Variant mesh = Call("CreateMesh", {Variant(int32_t{300}), Variant(int32_t{3}), Variant(false), Variant(int32_t{0}),
                                     Variant(false), Variant(false), Variant(int32_t{1})});
  bool ok = false;
  EXPECT_EQ(mesh.toObject(&ok), nullptr);  // no such vertex layout
}

}  // namespace
