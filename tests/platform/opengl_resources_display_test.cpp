// Pixmaps and meshes on the OpenGL device: locks, sizes, texture bindings,
// the hardware log and carrying resources over to a new device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "core/objects/class_registry.h"
#include "platform/device_registry.h"
#include "platform/opengl_window_helpers.h"
#include "support/log_capture.h"

namespace {

class GLResources : public ::testing::Test {
 protected:
  GLWindow gl{32, 32};
  TOGLDevice* device = gl.device();

  std::vector<uint32_t> ReadPixmap(TPixmap* pixmap) {
    std::vector<uint32_t> out;
    uint32_t* bits = nullptr;
    int32_t pitch = 0;
    if (!device->LockPixmapRectARGB(pixmap, {0, 0, pixmap->width(), pixmap->height()}, true, bits, pitch)) {
      return out;
    }
    for (int32_t y = 0; y < pixmap->height(); ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(bits) + y * pitch);
      out.insert(out.end(), row, row + pixmap->width());
    }
    device->UnlockPixmap(pixmap);
    return out;
  }
};

TEST_F(GLResources, PixelsComeBackAsTheyWereWritten) {
  std::vector<uint32_t> pixels = {0x01020304, 0xFF00FF00, 0x80FFFFFF, 0x00000000, 0xFFFFFFFF, 0x7F112233};
  TPixmap* pixmap = gl.MakePixmap(3, 2, pixels);
  ASSERT_NE(pixmap, nullptr);
  EXPECT_EQ(ReadPixmap(pixmap), pixels);
}

TEST_F(GLResources, ALockOfARectangleWritesOnlyThatRectangle) {
  TPixmap* pixmap = gl.MakePixmap(4, 3, std::vector<uint32_t>(12, 0xFF000000));
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  ASSERT_TRUE(device->LockPixmapRectARGB(pixmap, {1, 1, 2, 2}, false, bits, pitch));
  EXPECT_EQ(pitch, 16);
  bits[0] = 0xFF111111;  // (1, 1)
  bits[1] = 0xFF222222;  // (2, 1)
  bits[pitch / 4] = 0xFF333333;  // (1, 2)
  bits[pitch / 4 + 1] = 0xFF444444;  // (2, 2)
  device->UnlockPixmap(pixmap);
  std::vector<uint32_t> expected(12, 0xFF000000);
  expected[5] = 0xFF111111;
  expected[6] = 0xFF222222;
  expected[9] = 0xFF333333;
  expected[10] = 0xFF444444;
  EXPECT_EQ(ReadPixmap(pixmap), expected);
}

TEST_F(GLResources, ARectangleOutsideThePixmapIsRefused) {
  TPixmap* pixmap = gl.MakePixmap(4, 4, std::vector<uint32_t>(16, 0));
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  EXPECT_FALSE(device->LockPixmapRectARGB(pixmap, {2, 2, 3, 1}, false, bits, pitch));
  EXPECT_FALSE(device->LockPixmapRectARGB(pixmap, {-1, 0, 2, 2}, false, bits, pitch));
  EXPECT_FALSE(device->LockPixmapRectARGB(pixmap, {0, 0, 0, 2}, false, bits, pitch));
  EXPECT_FALSE(pixmap->isLocked());
}

TEST_F(GLResources, ASecondLockIsRefusedAndLogged) {
  LogCapture log;
  TPixmap* pixmap = gl.MakePixmap(2, 2, std::vector<uint32_t>(4, 0));
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  ASSERT_TRUE(device->LockPixmapRectARGB(pixmap, {0, 0, 2, 2}, false, bits, pitch));
  EXPECT_FALSE(device->LockPixmapRectARGB(pixmap, {0, 0, 2, 2}, false, bits, pitch));
  EXPECT_TRUE(log.contains("(e) Pixmap already locked"));
  device->UnlockPixmap(pixmap);
}

TEST_F(GLResources, SizesThatNoTextureCanHoldAreRefused) {
  LogCapture log;
  int32_t limit = device->maxTextureSize();
  EXPECT_EQ(device->CreatePixmap(0, 5), nullptr);
  EXPECT_EQ(device->CreatePixmap(5, -1), nullptr);
  EXPECT_EQ(device->CreatePixmap(limit + 1, 1), nullptr);
  EXPECT_EQ(device->CreatePixmap(1, limit + 1), nullptr);
  EXPECT_EQ(log.count("(e) Can't create texture"), 4);
  TPixmap* largest = device->CreatePixmap(limit, 1);
  EXPECT_NE(largest, nullptr);
  EXPECT_EQ(device->pixmaps().back(), largest);
}

TEST_F(GLResources, MakingAPixmapDoesNotDisturbTheBoundTexture) {
  TPixmap* red = gl.MakePixmap(1, 1, {0xFFFF0000});
  gl.applet.background = 0xFF000000;
  gl.applet.scene = [this, red](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFFFFFFFF);
    d->SetPixmap(0, red);
    d->SetRenderState(rsTextureModulate);
    TPixmap* made = gl.MakePixmap(1, 1, {0xFF00FF00});  // binds its own texture while it is made
    d->DrawPixmap(red, MakeRectF(0, 0, 8, 8));        // red is still the bound pixmap
    d->DestroyPixmap(made);
  };
  auto frame = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(frame, 4, 4)), 0xFF0000u);
}

TEST_F(GLResources, BindingAnotherPixmapMakesTheFilterApplyAgain) {
  TPixmap* a = gl.MakePixmap(2, 2, std::vector<uint32_t>(4, 0xFFFFFFFF));
  TPixmap* b = gl.MakePixmap(2, 2, std::vector<uint32_t>(4, 0xFFFFFFFF));
  device->SetPixmap(0, a);
  device->SetRenderState(rsFilterLinear);
  int before = device->stateChanges();
  device->SetRenderState(rsFilterLinear);
  EXPECT_EQ(device->stateChanges(), before);
  device->SetPixmap(0, b);
  EXPECT_FALSE(device->RenderStateOn(rsFilterLinear));
  EXPECT_FALSE(device->RenderStateOn(rsTextureModulate));
  device->SetRenderState(rsFilterLinear);
  EXPECT_EQ(device->stateChanges(), before + 1);
  device->SetPixmap(0, b);  // already bound: flags stay
  EXPECT_TRUE(device->RenderStateOn(rsFilterLinear));
}

TEST_F(GLResources, StagesOutsideTheDeviceAreIgnored) {
  TPixmap* a = gl.MakePixmap(1, 1, {0});
  device->SetPixmap(-1, a);
  device->SetPixmap(4, a);
  device->SetPixmap(1000, a);
  device->SetPixmap(0, nullptr);
  SUCCEED();
}

TEST_F(GLResources, DestroyingAPixmapUnregistersIt) {
  size_t before = device->pixmaps().size();
  TPixmap* a = gl.MakePixmap(1, 1, {0});
  EXPECT_EQ(device->pixmaps().size(), before + 1);
  device->DestroyPixmap(a);
  EXPECT_EQ(device->pixmaps().size(), before);
}

TEST_F(GLResources, StaticMeshesKeepTheirDataAndClampBadIndices) {
  TMesh* mesh = device->CreateMesh(vfPC, 3, true, 3, false, false, 1);
  ASSERT_NE(mesh, nullptr);
  uint16_t* indices = nullptr;
  ASSERT_TRUE(device->LockMeshIndex(mesh, 3, indices));
  indices[0] = 0;
  indices[1] = 2;
  indices[2] = 500;  // beyond the vertices
  device->UnlockMeshIndex(mesh);
  EXPECT_EQ(mesh->indexData, (std::vector<uint16_t>{0, 2, 0}));
  void* vertices = nullptr;
  EXPECT_FALSE(device->LockMeshVertex(mesh, 4, vertices));  // more than it holds
  EXPECT_TRUE(device->LockMeshVertex(mesh, 3, vertices));
  device->UnlockMeshVertex(mesh);
}

TEST_F(GLResources, MeshShapesThatCannotBeHeldAreRefused) {
  LogCapture log;
  EXPECT_EQ(device->CreateMesh(vfPCT, -1, true, 3, false, false, 1), nullptr);
  EXPECT_EQ(device->CreateMesh(9, 3, true, 3, false, false, 1), nullptr);
  EXPECT_EQ(device->CreateMesh(vfPNCT, 1 << 30, false, 0, false, false, 1), nullptr);
  EXPECT_EQ(device->CreateMesh(vfPNCT, 1000, false, 0, false, true, 1 << 20), nullptr);
  EXPECT_EQ(device->CreateMesh(vfPC, 3, false, 0, false, true, 0), nullptr);
  EXPECT_EQ(log.count("(e) Can't create vertex array"), 5);
}

TEST_F(GLResources, TheHardwareLogNamesTheDriverAndItsExtensions) {
  LogCapture log;
  GLWindow other(8, 8);
  auto m = log.messages();
  auto starts = [&](const std::string& prefix) {
    return std::count_if(m.begin(), m.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
  };
  EXPECT_TRUE(log.contains("(i) ogl device manager stared"));
  EXPECT_EQ(starts("(i) Hardware info =================================================="), 2);
  EXPECT_EQ(starts("(i) OGL Vendor "), 1);
  EXPECT_EQ(starts("(i) OGL Renderer "), 1);
  EXPECT_EQ(starts("(i) OGL Version "), 1);
  EXPECT_GT(starts("(i) Extention supported - GL_"), 10);
  EXPECT_TRUE(log.contains("(i) GL_ARB_vertex_buffer_object not supported"));
  EXPECT_TRUE(log.contains("(i) GL_BGRA supported"));
  EXPECT_TRUE(log.contains("(i) GL_SGIS_generate_mipmap supported"));
  EXPECT_TRUE(log.contains("(i) GL_EXT_blend_func_separate supported"));
  EXPECT_TRUE(log.contains("(i) OGL hardware accelerated mode"));
}

TEST_F(GLResources, StatisticsAndClosingAreLogged) {
  LogCapture log;
  {
    GLWindow other(8, 8);
    other.device()->LogStatistics();
  }
  auto m = log.messages();
  auto at = std::find(m.begin(), m.end(), "(i) ==== Device statistics ==========");
  ASSERT_NE(at, m.end());
  EXPECT_EQ(*(at + 1), "(i) Max FPS: 0.00");
  EXPECT_EQ(*(at + 2), "(i) Avg FPS: 0.00");
  EXPECT_EQ(*(at + 3), "(i) ==== Device statistics finish ===");
  EXPECT_TRUE(log.contains("(i) ogl device manager closed"));
}

TEST_F(GLResources, ADeviceWithoutAWindowDrawsNothingAndSaysWhy) {
  LogCapture log;
  TDevice* lonely = CreateDeviceOfClass(DeviceClasses().at(static_cast<size_t>(FindDeviceClass(W("OGL")))),
                                        nullptr, &gl.applet);
  EXPECT_TRUE(log.contains("(e) Can't create OGL context"));
  EXPECT_FALSE(static_cast<TOGLDevice*>(lonely)->ready());
  lonely->Render();
  lonely->Present();
  lonely->FillRect(0, 0, 1, 1, 0);
  lonely->Free();
}

TEST_F(GLResources, ANewDeviceTakesOverPixmapsAndMeshesAsTheyWere) {
  TPixmap* pixmap = gl.MakePixmap(2, 1, {0xFF123456, 0x80ABCDEF});
  TMesh* mesh = device->CreateMesh(vfPC, 3, true, 3, false, false, 1);
  void* vertices = nullptr;
  device->LockMeshVertex(mesh, 3, vertices);
  static_cast<TVertexPC*>(vertices)[2] = MakeVertexPC(7, 8, 9, 0xFFFFFFFF);
  device->UnlockMeshVertex(mesh);
  TMesh* dynamic = device->dynamicMesh();
  size_t meshes = device->meshes().size();

  TDevice* fresh = TDevice::RecreateDevice(device, DeviceClasses().at(static_cast<size_t>(FindDeviceClass(W("ogl")))));
  gl.applet.device = fresh;
  EXPECT_EQ(gl.applet.replacedBy, fresh);
  EXPECT_EQ(gl.applet.reapplied, 1);
  auto* glFresh = static_cast<TOGLDevice*>(fresh);
  ASSERT_TRUE(glFresh->ready());
  EXPECT_EQ(fresh->dynamicMesh(), dynamic);
  EXPECT_EQ(fresh->meshes().size(), meshes);
  EXPECT_NE(std::find(fresh->pixmaps().begin(), fresh->pixmaps().end(), pixmap), fresh->pixmaps().end());
  device = glFresh;
  EXPECT_EQ(ReadPixmap(pixmap), (std::vector<uint32_t>{0xFF123456, 0x80ABCDEF}));
  TVertexPC copied;
  std::memcpy(&copied, mesh->vertexData.data() + 2 * sizeof(TVertexPC), sizeof copied);
  EXPECT_FLOAT_EQ(copied.y, 8);
}

}  // namespace

namespace {
TEST(GLRegistration, TheDirect3DDeviceComesFirstAndIsTheDefault) {
  RegisterPlatformDevices();
  RegisterPlatformDevices();  // once only
  EXPECT_EQ(FindDeviceClass(W("dx8")), 0);
  EXPECT_EQ(FindDeviceClass(W("OGL")), 1);
  EXPECT_EQ(DeviceClasses().size(), 2u);
  EXPECT_EQ(DefaultDeviceIndex(), 0);
  EXPECT_EQ(GetClass("TGenericGLDevice"), &TGenericGLDevice::staticClassInfo());
}
}  // namespace

namespace {
TEST(GLWindowRemade, TheDeviceMovesOntoTheNewSystemWindowWithItsPixmaps) {
  GLWindow gl(16, 16);
  TPixmap* pixmap = gl.MakePixmap(1, 1, {0xFF00FFFF});
  gl.applet.background = 0xFF000000;
  gl.applet.scene = [pixmap](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFFFFFFFF);
    d->SetPixmap(0, pixmap);
    d->SetRenderState(rsTextureModulate);
    d->DrawPixmap(pixmap, MakeRectF(0, 0, 8, 8));
  };
  // The old device is freed before the new one is made, so the new one may
  // sit at its address: the log tells the two apart.
  LogCapture log;
  gl.platform()->RecreateWnd(gl.window());
  const auto messages = log.messages();
  const auto closed = std::find(messages.begin(), messages.end(), "(i) ogl device manager closed");
  ASSERT_NE(closed, messages.end()) << ::testing::PrintToString(messages);
  EXPECT_NE(std::find(closed, messages.end(), "(i) ogl device manager stared"), messages.end());
  EXPECT_TRUE(static_cast<TOGLDevice*>(gl.applet.device)->ready());
  {
    uint32_t* bits = nullptr;
    int32_t pitch = 0;
    ASSERT_TRUE(gl.applet.device->LockPixmapRectARGB(pixmap, {0, 0, 1, 1}, true, bits, pitch));
    EXPECT_EQ(bits[0], 0xFF00FFFFu);  // the pixels came across
    gl.applet.device->UnlockPixmap(pixmap);
  }
  auto frame = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(frame, 4, 4)), 0x00FFFFu);
  EXPECT_EQ(Rgb(gl.At(frame, 12, 12)), 0u);
}
}  // namespace
