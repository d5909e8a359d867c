// The OpenGL device draws runs of dynamic-mesh batches with the same states
// as one; these frames check that nothing drawn that way comes out changed,
// reordered or lost.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/opengl_window_helpers.h"

namespace {

class GLBatching : public ::testing::Test {
 protected:
  GLWindow gl{64, 64};
  TOGLDevice* device = gl.device();
  void SetUp() override { gl.applet.background = 0xFF000000; }
};

TEST_F(GLBatching, MoreQuadsThanTheDynamicMeshHoldsAreAllDrawn) {
  // 4096 one-pixel quads: 16384 vertices, more than the 6000 the mesh holds at once.
  gl.applet.scene = [](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFF00FF00);
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) {
        d->FillRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + 1), static_cast<float>(y + 1),
                    0);
      }
    }
  };
  auto frame = gl.Frame();
  int lit = 0;
  for (uint32_t pixel : frame) lit += Rgb(pixel) == 0x00FF00u;
  EXPECT_EQ(lit, 64 * 64);
  EXPECT_EQ(device->triangleCount(), 2 * 64 * 64);
}

TEST_F(GLBatching, DrawingOrderSurvivesChangesOfPixmapAndColour) {
  TPixmap* red = gl.MakePixmap(1, 1, {0xFFFF0000});
  TPixmap* blue = gl.MakePixmap(1, 1, {0xFF0000FF});
  gl.applet.scene = [red, blue](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFFFFFFFF);
    d->SetRenderState(rsTextureModulate);
    d->DrawPixmap(red, MakeRectF(0, 0, 30, 30));
    d->DrawPixmap(blue, MakeRectF(10, 10, 40, 40));
    d->DrawPixmap(red, MakeRectF(20, 20, 50, 50));
    d->SetColor(0xFF00FF00);  // white becomes green: blue tinted green is black
    d->DrawPixmap(blue, MakeRectF(30, 30, 60, 60));
  };
  auto frame = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(frame, 5, 5)), 0xFF0000u);
  EXPECT_EQ(Rgb(gl.At(frame, 15, 15)), 0x0000FFu);
  EXPECT_EQ(Rgb(gl.At(frame, 25, 25)), 0xFF0000u);
  EXPECT_EQ(Rgb(gl.At(frame, 35, 35)), 0x000000u);  // blue x green
  EXPECT_EQ(Rgb(gl.At(frame, 55, 55)), 0x000000u);
  EXPECT_EQ(Rgb(gl.At(frame, 45, 25)), 0xFF0000u);  // the third quad, not reached by the fourth
}

TEST_F(GLBatching, EachQuadKeepsTheWorldMatrixItWasDrawnWith) {
  gl.applet.scene = [](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFFFFFF00);
    d->FillRect(0, 0, 4, 4, 0);
    TMatrix4F moved = IdentityMatrix4F;
    moved(3, 0) = 30;
    moved(3, 1) = 20;
    d->saveRenderState();
    d->SetWorldMatrix(moved);
    d->FillRect(0, 0, 4, 4, 0);
    d->restoreRenderState();  // back to identity without SetWorldMatrix
    d->FillRect(10, 0, 14, 4, 0);
  };
  auto frame = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(frame, 2, 2)), 0xFFFF00u);
  EXPECT_EQ(Rgb(gl.At(frame, 32, 22)), 0xFFFF00u);
  EXPECT_EQ(Rgb(gl.At(frame, 12, 2)), 0xFFFF00u);
  EXPECT_EQ(Rgb(gl.At(frame, 42, 22)), 0u);  // the third quad was not moved
}

TEST_F(GLBatching, StateChangesBetweenQuadsApplyToTheRightQuads) {
  gl.applet.background = 0xFFFFFFFF;
  gl.applet.scene = [](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetRenderState(rsBlendAlpha);
    d->SetColor(0x80FF0000);
    d->FillRect(0, 0, 10, 10, 0);
    d->SetRenderState(rsBlendAdd);
    d->FillRect(20, 0, 30, 10, 0);
    d->SetRenderState(rsBlendAlpha);
    d->FillRect(40, 0, 50, 10, 0);
  };
  auto frame = gl.Frame();
  EXPECT_NEAR(Green(gl.At(frame, 5, 5)), 127, 1);
  EXPECT_EQ(Green(gl.At(frame, 25, 5)), 255);  // added onto white
  EXPECT_NEAR(Green(gl.At(frame, 45, 5)), 127, 1);
}

TEST_F(GLBatching, AMeshFrameBetweenQuadsKeepsItsOwnVertexLayout) {
  TMesh* mesh = device->CreateMesh(vfPNT, 3, true, 3, false, true, 1);
  void* data = nullptr;
  ASSERT_TRUE(device->LockMeshVertex(mesh, 3, data));
  const float triangle[3][8] = {{20, 20, 0, 0, 0, -1, 0, 0}, {40, 20, 0, 0, 0, -1, 0, 0}, {20, 40, 0, 0, 0, -1, 0, 0}};
  std::memcpy(data, triangle, sizeof triangle);
  uint16_t* indices = nullptr;
  ASSERT_TRUE(device->LockMeshIndex(mesh, 3, indices));
  indices[0] = 1;
  indices[1] = 0;
  indices[2] = 2;
  device->UnlockMeshIndex(mesh);
  gl.applet.scene = [mesh](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetRenderState(rsTextureOff);
    d->SetColor(0xFF0000FF);
    d->FillRect(0, 0, 10, 10, 0);
    d->SetColor(0xFFFF00FF);
    d->DrawMesh(mesh);
    d->SetColor(0xFF0000FF);
    d->FillRect(50, 50, 60, 60, 0);
  };
  auto frame = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(frame, 5, 5)), 0x0000FFu);
  EXPECT_EQ(Rgb(gl.At(frame, 24, 24)), 0xFF00FFu);
  EXPECT_EQ(Rgb(gl.At(frame, 38, 38)), 0u);
  EXPECT_EQ(Rgb(gl.At(frame, 55, 55)), 0x0000FFu);
}

}  // namespace
