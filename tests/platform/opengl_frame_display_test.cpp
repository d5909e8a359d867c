// Real frames through the OpenGL device: clears, fills, pixmaps, lines,
// blending, depth, culling and lighting, read back pixel by pixel.
#include <gtest/gtest.h>

#include "platform/caret.h"
#include "platform/opengl_window_helpers.h"
#include "support/log_capture.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

class GLFrame : public ::testing::Test {
 protected:
  GLWindow gl{kWidth, kHeight};
  TOGLDevice* device = gl.device();

  void SetUp() override {
    ASSERT_TRUE(device->ready());
    gl.applet.background = 0xFF000000;  // opaque black: a cleared colour buffer
  }
  void Scene(std::function<void(TDevice*)> scene) { gl.applet.scene = std::move(scene); }
};

TEST_F(GLFrame, ClearsToTheBackgroundColour) {
  gl.applet.background = 0xFF336699;
  auto frame = gl.Frame();
  for (int y = 0; y < kHeight; y += 7) {
    for (int x = 0; x < kWidth; x += 5) EXPECT_EQ(Rgb(gl.At(frame, x, y)), 0x336699u) << x << "," << y;
  }
}

TEST_F(GLFrame, FillRectCoversExactlyItsPixels) {
  Scene([](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFFFF0000);
    d->FillRect(10, 10, 20, 20, 0);
  });
  auto frame = gl.Frame();
  for (int y = 5; y < 25; ++y) {
    for (int x = 5; x < 25; ++x) {
      bool inside = x >= 10 && x <= 19 && y >= 10 && y <= 19;
      EXPECT_EQ(Rgb(gl.At(frame, x, y)), inside ? 0xFF0000u : 0u) << x << "," << y;
    }
  }
}

TEST_F(GLFrame, DrawPixmapShowsItsTexelsInPlace) {
  TPixmap* pixmap = gl.MakePixmap(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
  Scene([pixmap](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFFFFFFFF);
    d->SetPixmap(0, pixmap);
    d->SetRenderState(rsFilterNearest);
    d->SetRenderState(rsTextureModulate);
    d->DrawPixmap(pixmap, MakeRectF(8, 8, 28, 28));
  });
  auto frame = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(frame, 8, 8)), 0xFF0000u);
  EXPECT_EQ(Rgb(gl.At(frame, 17, 17)), 0xFF0000u);
  EXPECT_EQ(Rgb(gl.At(frame, 18, 8)), 0x00FF00u);
  EXPECT_EQ(Rgb(gl.At(frame, 27, 17)), 0x00FF00u);
  EXPECT_EQ(Rgb(gl.At(frame, 8, 27)), 0x0000FFu);
  EXPECT_EQ(Rgb(gl.At(frame, 27, 27)), 0xFFFFFFu);
  EXPECT_EQ(Rgb(gl.At(frame, 28, 28)), 0u);
  EXPECT_EQ(Rgb(gl.At(frame, 7, 7)), 0u);
}

TEST_F(GLFrame, ModulateTintsTheTextureWithTheColourAndDecalIgnoresIt) {
  TPixmap* pixmap = gl.MakePixmap(1, 1, {0xFFFFFFFF});
  Scene([pixmap](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFF00FF00);
    d->SetPixmap(0, pixmap);
    d->SetRenderState(rsFilterNearest);
    d->SetRenderState(rsTextureModulate);
    d->DrawPixmap(pixmap, MakeRectF(0, 0, 10, 10));
    d->SetRenderState(rsTextureDecal);
    d->DrawPixmap(pixmap, MakeRectF(20, 0, 30, 10));
  });
  auto frame = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(frame, 5, 5)), 0x00FF00u);
  EXPECT_EQ(Rgb(gl.At(frame, 25, 5)), 0xFFFFFFu);
}

TEST_F(GLFrame, NineSliceWithZeroMarginsDrawsTheSamePixelsAsDrawPixmap) {
  TPixmap* pixmap = gl.MakePixmap(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00});
  auto draw = [pixmap](bool nineSlice) {
    return [pixmap, nineSlice](TDevice* d) {
      d->SetRenderState(rs2D);
      d->SetColor(0xFFFFFFFF);
      d->SetPixmap(0, pixmap);
      d->SetRenderState(rsFilterLinear);
      d->SetRenderState(rsTextureModulate);
      if (nineSlice) {
        d->DrawPixmapNineSlice(pixmap, MakeRectF(3, 5, 50, 40), MakeRectF(0, 0, 0, 0));
      } else {
        d->DrawPixmap(pixmap, MakeRectF(3, 5, 50, 40));
      }
    };
  };
  Scene(draw(false));
  auto plain = gl.Frame();
  Scene(draw(true));
  auto sliced = gl.Frame();
  EXPECT_EQ(plain, sliced);
  EXPECT_NE(Rgb(gl.At(plain, 10, 10)), 0u);
}

TEST_F(GLFrame, NineSliceKeepsCornerPixelsAtTheirSize) {
  // 4 x 4 pixmap: a red 1-pixel border around a green centre, margins 1.
  std::vector<uint32_t> pixels(16, 0xFFFF0000);
  pixels[5] = pixels[6] = pixels[9] = pixels[10] = 0xFF00FF00;
  TPixmap* pixmap = gl.MakePixmap(4, 4, pixels);
  Scene([pixmap](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFFFFFFFF);
    d->SetPixmap(0, pixmap);
    d->SetRenderState(rsFilterNearest);
    d->SetRenderState(rsTextureModulate);
    d->DrawPixmapNineSlice(pixmap, MakeRectF(10, 10, 40, 30), MakeRectF(1, 1, 1, 1));
  });
  auto frame = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(frame, 10, 10)), 0xFF0000u);  // corner
  EXPECT_EQ(Rgb(gl.At(frame, 25, 10)), 0xFF0000u);  // top edge, one pixel high
  EXPECT_EQ(Rgb(gl.At(frame, 25, 11)), 0x00FF00u);  // centre starts right below it
  EXPECT_EQ(Rgb(gl.At(frame, 11, 20)), 0x00FF00u);
  EXPECT_EQ(Rgb(gl.At(frame, 39, 29)), 0xFF0000u);  // bottom-right corner
  EXPECT_EQ(Rgb(gl.At(frame, 38, 28)), 0x00FF00u);
}

TEST_F(GLFrame, LineLightsItsRowAndNothingAround) {
  TPixmap* skin = gl.MakePixmap(1, 1, {0xFFFFFFFF});
  gl.applet.skin = skin;
  Scene([](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFF00FF00);
    d->DrawSegment(MakeVector4F(4, 5.5f, 0, 1), MakeVector4F(40, 5.5f, 0, 1), 1);
  });
  auto frame = gl.Frame();
  for (int x = 6; x < 38; ++x) EXPECT_EQ(Rgb(gl.At(frame, x, 5)), 0x00FF00u) << x;
  for (int x = 0; x < kWidth; ++x) {
    EXPECT_EQ(Rgb(gl.At(frame, x, 4)), 0u);
    EXPECT_EQ(Rgb(gl.At(frame, x, 6)), 0u);
  }
  EXPECT_EQ(Rgb(gl.At(frame, 45, 5)), 0u);
}

TEST_F(GLFrame, AlphaBlendingMixesWithTheBackground) {
  gl.applet.background = 0xFFFFFFFF;
  Scene([](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetRenderState(rsBlendAlpha);
    d->SetColor(0x80FF0000);
    d->FillRect(0, 0, 10, 10, 0);
  });
  auto frame = gl.Frame();
  uint32_t c = gl.At(frame, 5, 5);
  // red: 255 x a + 255 x (1 - a) = 255; green, blue: 255 x (1 - 128/255) = 127.
  EXPECT_EQ(Red(c), 255);
  EXPECT_NEAR(Green(c), 127, 1);
  EXPECT_NEAR(Blue(c), 127, 1);
  EXPECT_EQ(Rgb(gl.At(frame, 15, 5)), 0xFFFFFFu);
}

TEST_F(GLFrame, AdditiveBlendingAddsTheWeightedColour) {
  gl.applet.background = 0xFF404040;
  Scene([](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetRenderState(rsBlendAdd);
    d->SetColor(0x80800000);
    d->FillRect(0, 0, 10, 10, 0);
  });
  auto frame = gl.Frame();
  uint32_t c = gl.At(frame, 5, 5);
  EXPECT_NEAR(Red(c), 0x40 + 0x80 * 128 / 255, 1);  // 64 + 64
  EXPECT_EQ(Green(c), 0x40);
  EXPECT_EQ(Blue(c), 0x40);
}

TEST_F(GLFrame, DepthTestKeepsTheNearerRectangle) {
  auto scene = [](bool depthTest) {
    return [depthTest](TDevice* d) {
      d->SetRenderState(rs2D);
      d->SetRenderState(depthTest ? rsDepthTestOn : rsDepthTestOff);
      d->SetColor(0xFFFF0000);
      d->FillRect(0, 0, 20, 20, 0);
      d->SetColor(0xFF00FF00);
      d->FillRect(10, 10, 30, 30, 1);  // further away, drawn later
    };
  };
  Scene(scene(true));
  auto tested = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(tested, 15, 15)), 0xFF0000u);
  EXPECT_EQ(Rgb(gl.At(tested, 25, 25)), 0x00FF00u);
  Scene(scene(false));
  auto untested = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(untested, 15, 15)), 0x00FF00u);
}

TEST_F(GLFrame, DepthWriteStatesChangeNothingOnThisDevice) {
  Scene([](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetRenderState(rsDepthTestOn);
    d->SetRenderState(rsDepthWriteOff);
    d->SetColor(0xFFFF0000);
    d->FillRect(0, 0, 20, 20, 0);
    d->SetColor(0xFF00FF00);
    d->FillRect(10, 10, 30, 30, 1);
  });
  auto frame = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(frame, 15, 15)), 0xFF0000u);  // the depth was written all the same
}

// A triangle pair wound the other way round from screen quads.
TMesh* ReversedQuad(TDevice* d, TColorARGB color) {
  TMesh* mesh = d->CreateMesh(vfPC, 4, true, 6, false, false, 1);
  void* memory = nullptr;
  d->LockMeshVertex(mesh, 4, memory);
  auto* v = static_cast<TVertexPC*>(memory);
  uint32_t c = d->DeviceColor(color);
  v[0] = MakeVertexPC(0, 0, 0, c);
  v[1] = MakeVertexPC(10, 0, 0, c);
  v[2] = MakeVertexPC(10, 10, 0, c);
  v[3] = MakeVertexPC(0, 10, 0, c);
  d->UnlockMeshVertex(mesh);
  uint16_t* indices = nullptr;
  d->LockMeshIndex(mesh, 6, indices);
  const uint16_t reversed[6] = {0, 1, 3, 3, 1, 2};
  std::copy(reversed, reversed + 6, indices);
  d->UnlockMeshIndex(mesh);
  return mesh;
}

TEST_F(GLFrame, CullStatesPickTheFacesThatShow) {
  TMesh* reversed = ReversedQuad(device, 0xFFFFFF00);
  auto scene = [reversed](TRenderState cull) {
    return [reversed, cull](TDevice* d) {
      d->SetRenderState(rs2D);
      d->SetRenderState(rsTextureOff);
      d->SetRenderState(cull);
      d->SetColor(0xFFFF0000);
      d->FillRect(20, 0, 30, 10, 0);  // a screen quad: front-facing
      d->DrawMesh(reversed);
    };
  };
  Scene(scene(rsCullBack));
  auto back = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(back, 25, 5)), 0xFF0000u);
  EXPECT_EQ(Rgb(gl.At(back, 5, 5)), 0u);
  Scene(scene(rsCullFront));
  auto front = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(front, 25, 5)), 0u);
  EXPECT_EQ(Rgb(gl.At(front, 5, 5)), 0xFFFF00u);
}

TEST_F(GLFrame, VertexColoursReachTheScreenInTheirOwnOrder) {
  EXPECT_EQ(device->DeviceColor(0xFF112233), 0xFF332211u);  // bytes 0x11, 0x22, 0x33, 0xFF in memory
  TMesh* quad = ReversedQuad(device, 0xFF112233);
  Scene([quad](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetRenderState(rsTextureOff);
    d->SetRenderState(rsCullFront);
    d->DrawMesh(quad);
  });
  auto frame = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(frame, 5, 5)), 0x112233u);
}

TEST_F(GLFrame, ALitBoxDiffersFromAnUnlitOne) {
  device->SetCamera(MakeVector4F(0, -150, 0, 1), MakeVector4F(0, -1, 0, 1), MakeVector4F(0, 0, -1, 1));
  int light = device->AllocLight();
  ASSERT_EQ(light, 1);
  // Green light shining from the camera's side onto the face that looks at it.
  device->SetLight(light, MakeVector4F(0, 0, 0, 1), MakeVector4F(0, -100, 0, 1), 0xFF00FF00, 0, 0, true, false);
  TPixmap* skin = gl.MakePixmap(1, 1, {0xFFFFFFFF});
  gl.applet.skin = skin;
  auto scene = [](bool lit) {
    return [lit](TDevice* d) {
      d->SetRenderState(rs3D);
      d->SetRenderState(rsDepthTestOn);
      d->SetMaterial(TMaterial{lit, 0xFF808080, 0xFF808080, 0});
      d->DrawBox(MakeVector3F(-20, -20, -20), MakeVector3F(20, 20, 20));
    };
  };
  Scene(scene(false));
  auto unlit = gl.Frame();
  Scene(scene(true));
  auto lit = gl.Frame();
  uint32_t plain = gl.At(unlit, kWidth / 2, kHeight / 2);
  uint32_t shaded = gl.At(lit, kWidth / 2, kHeight / 2);
  EXPECT_EQ(Rgb(plain), 0x808080u);
  EXPECT_NE(Rgb(shaded), Rgb(plain));
  // Only green light falls on it: green is the diffuse 0x80, red and blue the ambient share alone.
  EXPECT_GT(Green(shaded), Red(shaded) + 100);
  EXPECT_EQ(Red(shaded), Blue(shaded));
  EXPECT_EQ(Rgb(gl.At(lit, 1, 1)), 0u);  // the box stays in the middle
}

TEST_F(GLFrame, ScreenSpaceLightsShineUnder2D) {
  int light = device->AllocLight();
  device->SetLight(light, MakeVector4F(0, 0, 1, 1), MakeVector4F(0, 0, -1, 1), 0xFFFF0000, 0, 0, true, true);
  TPixmap* skin = gl.MakePixmap(1, 1, {0xFFFFFFFF});
  gl.applet.skin = skin;
  Scene([](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetMaterial(TMaterial{true, 0xFFFFFFFF, 0xFF000000, 0});
    d->DrawBox(MakeVector3F(10, 10, 0), MakeVector3F(30, 30, 10));
  });
  auto frame = gl.Frame();
  uint32_t c = gl.At(frame, 20, 20);
  EXPECT_GT(Red(c), 200);
  EXPECT_LT(Green(c), 60);
}

TEST_F(GLFrame, WireframeDrawsEdgesOnly) {
  Scene([](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetRenderState(rsWireframe);
    d->SetColor(0xFFFFFFFF);
    d->FillRect(10, 10, 40, 40, 0);
  });
  auto frame = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(frame, 25, 30)), 0u);  // inside stays empty
  int lit = 0;
  for (int x = 12; x < 38; ++x) lit += Rgb(gl.At(frame, x, 10)) != 0 || Rgb(gl.At(frame, x, 9)) != 0;
  EXPECT_GT(lit, 20);  // the top edge is drawn
}

TEST_F(GLFrame, TheCaretIsDrawnLastAtItsAlpha) {
  TCaret* caret = device->CreateCaret(2, 10, 0xFF00FF00);
  device->PlaceCaret(caret, IdentityMatrix4F, 30, 5);
  device->ShowCaret();
  caret->alpha = 1;
  Scene([](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFFFF0000);
    d->FillRect(0, 0, 64, 48, 0);
  });
  auto frame = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(frame, 30, 5)), 0x00FF00u);
  EXPECT_EQ(Rgb(gl.At(frame, 31, 14)), 0x00FF00u);
  EXPECT_EQ(Rgb(gl.At(frame, 32, 5)), 0xFF0000u);
  device->HideCaret();
  auto hidden = gl.Frame();
  EXPECT_EQ(Rgb(gl.At(hidden, 30, 5)), 0xFF0000u);
}

TEST_F(GLFrame, TrianglesAreCountedPerFrame) {
  Scene([](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFFFFFFFF);
    d->FillRect(0, 0, 5, 5, 0);
    d->FillRect(5, 5, 10, 10, 0);
  });
  gl.Frame();
  EXPECT_EQ(device->triangleCount(), 4);
  gl.Frame();
  EXPECT_EQ(device->triangleCount(), 4);
}

TEST_F(GLFrame, RenderToARGBGivesTheFrameTopDown) {
  Scene([](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFF0000FF);
    d->FillRect(0, 0, 64, 1, 0);  // the top row only
  });
  std::vector<uint32_t> pixels(kWidth * kHeight);
  ASSERT_TRUE(device->RenderToARGB(pixels.data()));
  EXPECT_EQ(Rgb(pixels[0]), 0x0000FFu);
  EXPECT_EQ(Rgb(pixels[kWidth * (kHeight - 1)]), 0u);
  EXPECT_FALSE(device->framePending());
}

TEST_F(GLFrame, ResizingFollowsTheWindow) {
  gl.platform()->ResizeWindow(gl.window(), 32, 24);
  EXPECT_EQ(gl.window()->appliedWidth, 32);
  Scene([](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetColor(0xFFFF0000);
    d->FillRect(16, 12, 32, 24, 0);  // the lower-right quarter of the new size
  });
  device->Present();
  device->Render();
  std::vector<uint32_t> rows(32 * 24);
  glReadPixels(0, 0, 32, 24, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
  EXPECT_EQ(Rgb(rows[0 * 32 + 31]), 0xFF0000u);   // bottom-right
  EXPECT_EQ(Rgb(rows[23 * 32 + 0]), 0u);          // top-left
  EXPECT_EQ(Rgb(rows[11 * 32 + 16]), 0xFF0000u);  // just below the middle row
  EXPECT_EQ(Rgb(rows[12 * 32 + 16]), 0u);
  device->Present();
}

}  // namespace
