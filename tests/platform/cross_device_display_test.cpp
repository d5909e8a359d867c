// The same scenes drawn through TDevice on the Direct3D 8 device and on the
// OpenGL device: fills, pixmaps, nine-slices and tiles, blending, depth,
// culling and wireframe give the same pixels; lit geometry differs by at
// most 2 in 255.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <string>

#include "platform/d3d8_window_helpers.h"
#include "compat/d3d8/test_hooks.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

// The pixmaps every scene may use, made alike on each device.
struct Pixmaps {
  TPixmap* skin = nullptr;     // 1 x 1 white: the default skin
  TPixmap* checker = nullptr;  // 4 x 4 of four colours, opaque
  TPixmap* ramp = nullptr;     // 8 x 2 grey ramp with a red row
  TPixmap* frame = nullptr;    // 6 x 6: a blue border two pixels wide round a yellow centre
  TPixmap* glass = nullptr;    // 2 x 2 translucent colours
  TMesh* windings = nullptr;   // two quads side by side, the second wound the other way
  TMesh* fan = nullptr;        // triangles with slanted edges
  TMesh* bumps = nullptr;      // a grid of screen-space quads whose normals turn
  TMesh* plane = nullptr;      // the world's y = 0 plane, far wider than the view, normals turning
};

struct VertexPN {
  float x, y, z, nx, ny, nz;
};

TMesh* WindingsMesh(TDevice* d) {
  uint32_t colour = d->DeviceColor(0xFFFF8040), other = d->DeviceColor(0xFF40FF80);
  std::vector<TVertexPCT> v = {
      MakeVertexPCT(0, 0, 0, colour, 0, 0),  MakeVertexPCT(16, 0, 0, colour, 1, 0),
      MakeVertexPCT(16, 16, 0, colour, 1, 1), MakeVertexPCT(0, 16, 0, colour, 0, 1),
      MakeVertexPCT(20, 0, 0, other, 0, 0),  MakeVertexPCT(36, 0, 0, other, 1, 0),
      MakeVertexPCT(36, 16, 0, other, 1, 1), MakeVertexPCT(20, 16, 0, other, 0, 1)};
  // The first quad as the drawing services wind theirs, the second reversed.
  return MakeStaticMesh<TVertexPCT>(d, vfPCT, v, {1, 0, 3, 3, 2, 1, 4, 5, 7, 7, 5, 6});
}

TMesh* FanMesh(TDevice* d) {
  uint32_t a = d->DeviceColor(0xFFFFFFFF), b = d->DeviceColor(0xFF00C0FF);
  std::vector<TVertexPCT> v = {MakeVertexPCT(20, 4, 0, a, 0, 0), MakeVertexPCT(60, 10, 0, b, 0, 0),
                               MakeVertexPCT(44, 44, 0, a, 0, 0), MakeVertexPCT(3, 30, 0, b, 0, 0),
                               MakeVertexPCT(31, 21, 0, a, 0, 0)};
  return MakeStaticMesh<TVertexPCT>(d, vfPCT, v, {4, 0, 1, 4, 1, 2, 4, 2, 3, 4, 3, 0});
}

// Normals leaning left and right, up and down across the grid.
TMesh* BumpsMesh(TDevice* d) {
  std::vector<VertexPN> v;
  std::vector<uint16_t> indices;
  const int columns = 5, rows = 4;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      TVector4F n = VecNormalized(MakeVector4F(static_cast<float>(c - 2) * 0.6f, static_cast<float>(r - 1) * 0.5f, -1, 0));
      v.push_back({static_cast<float>(c * 16), static_cast<float>(r * 16), 0, n.x, n.y, n.z});
    }
  }
  for (int r = 0; r + 1 < rows; ++r) {
    for (int c = 0; c + 1 < columns; ++c) {
      auto b = static_cast<uint16_t>(r * columns + c);
      auto right = static_cast<uint16_t>(b + 1), down = static_cast<uint16_t>(b + columns);
      auto across = static_cast<uint16_t>(down + 1);
      // Wound as the drawing services wind their quads.
      indices.insert(indices.end(), {right, b, down, down, across, right});
    }
  }
  return MakeStaticMesh<VertexPN>(d, vfPN, v, indices);
}

TMesh* PlaneMesh(TDevice* d) {
  std::vector<VertexPN> v;
  std::vector<uint16_t> indices;
  const float places[5] = {-2000, -120, 0, 120, 2000};
  for (int r = 0; r < 5; ++r) {
    for (int c = 0; c < 5; ++c) {
      float x = places[c], z = places[r];
      TVector4F n = VecNormalized(MakeVector4F(x / 130, -1, z / 170, 0));
      v.push_back({x, 0, z, n.x, n.y, n.z});
    }
  }
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      auto b = static_cast<uint16_t>(r * 5 + c);
      auto right = static_cast<uint16_t>(b + 1), down = static_cast<uint16_t>(b + 5), across = static_cast<uint16_t>(b + 6);
      indices.insert(indices.end(), {b, right, across, across, down, b});
    }
  }
  return MakeStaticMesh<VertexPN>(d, vfPN, v, indices);
}

std::vector<uint32_t> CheckerPixels() {
  const uint32_t colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
  std::vector<uint32_t> pixels(16);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) pixels[static_cast<size_t>(y * 4 + x)] = colours[(x + y) % 4];
  }
  return pixels;
}

std::vector<uint32_t> RampPixels() {
  std::vector<uint32_t> pixels(16);
  for (uint32_t x = 0; x < 8; ++x) {
    uint32_t grey = x * 36;
    pixels[x] = 0xFF000000 | (grey << 16) | (grey << 8) | grey;
    pixels[8 + x] = 0xFF000000 | ((255 - grey) << 16);
  }
  return pixels;
}

std::vector<uint32_t> FramePixels() {
  std::vector<uint32_t> pixels(36, 0xFF0000FF);
  for (int y = 2; y < 4; ++y) {
    for (int x = 2; x < 4; ++x) pixels[static_cast<size_t>(y * 6 + x)] = 0xFFFFFF00;
  }
  return pixels;
}

Pixmaps MakePixmaps(DeviceWindow& w) {
  Pixmaps p;
  p.skin = w.MakePixmap(1, 1, {0xFFFFFFFF});
  p.checker = w.MakePixmap(4, 4, CheckerPixels());
  p.ramp = w.MakePixmap(8, 2, RampPixels());
  p.frame = w.MakePixmap(6, 6, FramePixels());
  p.glass = w.MakePixmap(2, 2, {0x80FF0000, 0x4000FF00, 0xC00000FF, 0x20FFFFFF});
  w.applet.skin = p.skin;
  p.windings = WindingsMesh(w.device());
  p.fan = FanMesh(w.device());
  p.bumps = BumpsMesh(w.device());
  p.plane = PlaneMesh(w.device());
  return p;
}

using Scene = std::function<void(TDevice*, const Pixmaps&)>;

// The screen projection with the world matrix an object sets under it (on
// the Direct3D 8 device it takes the half-pixel offset).
void Screen(TDevice* d) {
  d->SetRenderState(rs2D);
  d->SetWorldMatrix(IdentityMatrix4F);
}

// 2D drawing with a pixmap: colour white, the filter, modulation.
void Pixmap2D(TDevice* d, TPixmap* pixmap, TRenderState filter) {
  Screen(d);
  d->SetColor(0xFFFFFFFF);
  d->SetPixmap(0, pixmap);
  d->SetRenderState(filter);
  d->SetRenderState(rsTextureModulate);
}

// The eye 150 units from the origin on -y, the origin straight ahead.
void LookAtTheOrigin(TDevice* d) {
  d->SetCamera(MakeVector4F(0, -150, 0, 1), MakeVector4F(0, -1, 0, 1), MakeVector4F(0, 0, -1, 1));
}

// Draws a mesh with its top-left corner at (x, y) of the screen.
void DrawAt(TDevice* d, TMesh* mesh, float x, float y) {
  TMatrix4F place = IdentityMatrix4F;
  place(3, 0) = x;
  place(3, 1) = y;
  d->SetWorldMatrix(place);
  d->DrawMesh(mesh);
}

struct CrossScene {
  CrossScene(std::string name, Scene draw, TColorARGB background = 0xFF203040, int tolerance = 0,
             std::function<void(TDevice*)> prepare = {})
      : name(std::move(name)), draw(std::move(draw)), background(background), tolerance(tolerance),
        prepare(std::move(prepare)) {}
  std::string name;
  Scene draw;
  TColorARGB background = 0xFF203040;
  int tolerance = 0;  // largest channel difference allowed
  // Before the frame: the window's camera and lights, as scene objects set them.
  std::function<void(TDevice*)> prepare;
};

class CrossDevice : public ::testing::TestWithParam<CrossScene> {
 protected:
  DeviceWindow dx8{"dx8", kWidth, kHeight};
  DeviceWindow ogl{"ogl", kWidth, kHeight};

  void SetUp() override {
    ASSERT_NE(dx8.dx8(), nullptr);
    ASSERT_TRUE(dx8.dx8()->ready());
    ASSERT_NE(ogl.device(), nullptr);
  }

  // Both frames of a scene: Direct3D 8 first.
  std::pair<std::vector<uint32_t>, std::vector<uint32_t>> Frames(const CrossScene& scene) {
    std::pair<std::vector<uint32_t>, std::vector<uint32_t>> frames;
    for (DeviceWindow* w : {&dx8, &ogl}) {
      Pixmaps pixmaps = MakePixmaps(*w);
      w->applet.background = scene.background;
      if (scene.prepare) scene.prepare(w->device());
      w->applet.scene = [&scene, pixmaps](TDevice* d) { scene.draw(d, pixmaps); };
      d3d8_test::TakeDrawCounts();
      std::vector<uint32_t> frame = RgbOf(w->Frame());
      // Every draw of the scene reached Direct3D as a valid call.
      EXPECT_EQ(d3d8_test::TakeDrawCounts().refused, 0) << WideToUtf8(w->device()->DeviceName());
      (w == &dx8 ? frames.first : frames.second) = frame;
    }
    return frames;
  }
};

// Where two frames differ (a map, * for a differing pixel), then the first
// differing pixels with both colours.
std::string Describe(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  std::string out;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) out += a[size_t(y * kWidth + x)] == b[size_t(y * kWidth + x)] ? '.' : '*';
    out += '\n';
  }
  int shown = 0;
  for (size_t i = 0; i < a.size() && i < b.size() && shown < 12; ++i) {
    if (a[i] == b[i]) continue;
    char line[96];
    std::snprintf(line, sizeof line, "(%zu,%zu) dx8 %06X ogl %06X\n", i % kWidth, i / kWidth, a[i], b[i]);
    out += line;
    shown += 1;
  }
  return out;
}

TEST_P(CrossDevice, DrawsTheSamePixels) {
  const CrossScene& scene = GetParam();
  auto [direct3d, opengl] = Frames(scene);
  ASSERT_EQ(direct3d.size(), opengl.size());
  // Something of the scene was drawn, on both.
  TColorARGB background = scene.background & 0xFFFFFF;
  EXPECT_TRUE(std::any_of(direct3d.begin(), direct3d.end(), [&](uint32_t c) { return c != background; }));
  if (scene.tolerance == 0) {
    EXPECT_EQ(direct3d, opengl) << Describe(direct3d, opengl);
  } else {
    // Lit scenes shade smoothly: many colours, each within the tolerance.
    std::set<uint32_t> colours(direct3d.begin(), direct3d.end());
    EXPECT_GT(colours.size(), 50u);
    EXPECT_LE(LargestChannelDifference(direct3d, opengl), scene.tolerance) << Describe(direct3d, opengl);
  }
}

const CrossScene kScenes[] = {
    {"Fills",
     [](TDevice* d, const Pixmaps&) {
       Screen(d);
       d->SetColor(0xFFFF0000);
       d->FillRect(2, 3, 20, 17, 0);
       d->SetColor(0xFF00FF80);
       d->FillRect(15.5f, 10.25f, 40.75f, 30.5f, 0);
       d->SetColor(0xFF0000FF);
       d->FillRect(-5, 40, 70, 44, 0);
       d->SetColor(0xFFFFFF00);
       d->FrameRectF(MakeRectF(44, 4, 60, 24), 0, 2);
     }},
    {"PixmapNearest",
     [](TDevice* d, const Pixmaps& p) {
       Pixmap2D(d, p.checker, rsFilterNearest);
       d->DrawPixmap(p.checker, MakeRectF(4, 4, 36, 36));
       d->DrawPixmapAt(p.checker, 40, 4);
       d->DrawPixmap(p.checker, MakeRectF(40, 20, 61, 45));
     }},
    {"PixmapLinear",
     [](TDevice* d, const Pixmaps& p) {
       Pixmap2D(d, p.ramp, rsFilterLinear);
       d->DrawPixmap(p.ramp, MakeRectF(2, 2, 62, 22));
       d->SetPixmap(0, p.checker);
       d->SetRenderState(rsFilterLinear);
       d->DrawPixmap(p.checker, MakeRectF(4, 24, 36, 46));
     }},
    {"TintedPixmap",
     [](TDevice* d, const Pixmaps& p) {
       Pixmap2D(d, p.checker, rsFilterNearest);
       d->SetColor(0xFF80C040);
       d->DrawPixmap(p.checker, MakeRectF(0, 0, 32, 32));
       d->SetRenderState(rsTextureOff);
       d->DrawPixmap(p.checker, MakeRectF(34, 0, 60, 20));
     }},
    {"NineSlice",
     [](TDevice* d, const Pixmaps& p) {
       Pixmap2D(d, p.frame, rsFilterNearest);
       d->DrawPixmapNineSlice(p.frame, MakeRectF(3, 3, 40, 30), MakeRectF(2, 2, 2, 2));
       d->DrawPixmapNineSlice(p.frame, MakeRectF(42, 5, 62, 45), MakeRectF(2, 1, 2, 3));
     }},
    {"NineSliceTiledAndTiles",
     [](TDevice* d, const Pixmaps& p) {
       Pixmap2D(d, p.frame, rsFilterNearest);
       d->DrawPixmapNineSliceTiled(p.frame, MakeRectF(2, 2, 33, 27), MakeRectF(2, 2, 2, 2));
       d->SetPixmap(0, p.checker);
       d->SetRenderState(rsFilterNearest);
       d->DrawPixmapTiled(p.checker, MakeRectF(36, 2, 63, 45));
     }},
    {"AlphaBlending",
     [](TDevice* d, const Pixmaps& p) {
       Screen(d);
       d->SetRenderState(rsBlendAlpha);
       d->SetColor(0xFFFFFFFF);
       d->FillRect(0, 0, 30, 48, 0);
       d->SetColor(0x80FF0000);
       d->FillRect(10, 5, 50, 25, 0);
       d->SetColor(0x4000FF00);
       d->FillRect(20, 15, 60, 40, 0);
       Pixmap2D(d, p.glass, rsFilterNearest);
       d->SetRenderState(rsBlendAlpha);
       d->DrawPixmap(p.glass, MakeRectF(4, 28, 28, 46));
     }},
    {"AdditiveBlending",
     [](TDevice* d, const Pixmaps& p) {
       Screen(d);
       d->SetRenderState(rsBlendAdd);
       d->SetColor(0x80804020);
       d->FillRect(5, 5, 40, 30, 0);
       d->SetColor(0xFF204080);
       d->FillRect(20, 15, 60, 40, 0);
       Pixmap2D(d, p.glass, rsFilterNearest);
       d->SetRenderState(rsBlendAdd);
       d->DrawPixmap(p.glass, MakeRectF(30, 2, 62, 46));
     },
     0xFF303030},
    {"Depth",
     [](TDevice* d, const Pixmaps&) {
       Screen(d);
       d->SetRenderState(rsDepthTestOn);
       d->SetColor(0xFFFF0000);
       d->FillRect(4, 4, 30, 30, 0);
       d->SetColor(0xFF00FF00);
       d->FillRect(16, 16, 44, 40, 1);
       d->SetColor(0xFF0000FF);
       d->FillRect(36, 8, 60, 30, -1);
       d->SetRenderState(rsDepthTestOff);
       d->SetColor(0xFFFFFF00);
       d->FillRect(0, 36, 12, 46, 2);
     }},
    {"BoxesInDepth",
     [](TDevice* d, const Pixmaps&) {
       Screen(d);
       d->SetRenderState(rsDepthTestOn);
       d->SetRenderState(rsCullBack);
       d->SetColor(0xFFFF8000);
       d->DrawBox(MakeVector3F(6, 6, 0), MakeVector3F(34, 30, 1));
       d->SetColor(0xFF0080FF);
       d->DrawBox(MakeVector3F(20, 14, -1), MakeVector3F(50, 42, 0.5f));
     }},
    {"Culling",
     [](TDevice* d, const Pixmaps& p) {
       Screen(d);
       d->SetRenderState(rsTextureOff);
       d->SetRenderState(rsCullBack);
       DrawAt(d, p.windings, 4, 4);
       d->SetRenderState(rsCullFront);
       DrawAt(d, p.windings, 4, 26);
     }},
    {"Wireframe",
     [](TDevice* d, const Pixmaps& p) {
       Screen(d);
       d->SetRenderState(rsWireframe);
       d->SetColor(0xFFFFFFFF);
       d->FillRect(4, 4, 30, 20, 0);
       Pixmap2D(d, p.checker, rsFilterNearest);
       d->SetRenderState(rsWireframe);
       d->DrawPixmap(p.checker, MakeRectF(34, 6, 58, 40));
       d->SetRenderState(rsTextureOff);
       d->SetRenderState(rsCullBack);
       DrawAt(d, p.fan, 0, 0);
       d->SetRenderState(rsSolid);
     }},
    {"Lines",
     [](TDevice* d, const Pixmaps&) {
       Screen(d);
       d->SetColor(0xFF00FFFF);
       d->DrawSegment(MakeVector4F(4, 5.5f, 0, 1), MakeVector4F(60, 5.5f, 0, 1), 1);
       d->DrawSegment(MakeVector4F(10.5f, 10, 0, 1), MakeVector4F(10.5f, 44, 0, 1), 1);
       d->SetColor(0xFFFF00FF);
       d->DrawWireBox(MakeVector3F(20, 15, 0), MakeVector3F(50, 40, 0), 1);
     }},
    {"LitInScreenSpace",
     [](TDevice* d, const Pixmaps& p) {
       Screen(d);
       d->SetRenderState(rsTextureOff);
       d->SetRenderState(rsCullBack);
       d->SetMaterial(TMaterial{true, 0xFFC08040, 0, 0});
       DrawAt(d, p.bumps, 0, 0);
     },
     0xFF000000, 2,
     [](TDevice* d) {
       d->SetLight(1, MakeVector4F(0, 0, 0, 1), MakeVector4F(-40, -20, -100, 1), 0xFFFFFFFF, 0, 0, true, true);
       d->SetLight(2, MakeVector4F(0, 0, 0, 1), MakeVector4F(60, 30, -40, 1), 0xFF406080, 0, 0, true, true);
     }},
    {"LitInTheWorld",
     [](TDevice* d, const Pixmaps& p) {
       d->SetRenderState(rs3D);
       d->SetWorldMatrix(IdentityMatrix4F);
       d->SetRenderState(rsTextureOff);
       d->SetMaterial(TMaterial{true, 0xFFE0C0A0, 0, 0});
       d->DrawMesh(p.plane);
     },
     0xFF000000, 2,
     [](TDevice* d) {
       LookAtTheOrigin(d);
       d->SetLight(1, MakeVector4F(0, 0, 0, 1), MakeVector4F(-50, -100, 30, 1), 0xFFFFFFFF, 0, 0, true, false);
       d->SetLight(2, MakeVector4F(0, 0, 0, 1), MakeVector4F(80, -60, -20, 1), 0xFF603020, 0, 0, true, false);
     }},
};

INSTANTIATE_TEST_SUITE_P(Scenes, CrossDevice, ::testing::ValuesIn(kScenes),
                         [](const ::testing::TestParamInfo<CrossScene>& info) { return info.param.name; });

}  // namespace

namespace {

// Layered windows: the Direct3D 8 device renders alpha and colour in two
// passes; the OpenGL device in one pass (separate alpha blending) or in two.
// The window's bitmap, alpha included, comes out the same.
class CrossDeviceLayered : public ::testing::TestWithParam<bool> {};

TEST_P(CrossDeviceLayered, PerPixelAlphaFramesAreTheSame) {
  DeviceWindow dx8("dx8", kWidth, kHeight, TWindowKind::Layered);
  DeviceWindow ogl("ogl", kWidth, kHeight, TWindowKind::Layered);
  ASSERT_TRUE(dx8.dx8() && dx8.dx8()->ready());
  static_cast<TOGLDevice*>(ogl.device())->UseSeparateAlphaBlending(GetParam());
  std::vector<uint32_t> frames[2];
  int i = 0;
  for (DeviceWindow* w : {&dx8, &ogl}) {
    Pixmaps p = MakePixmaps(*w);
    w->applet.background = 0;
    w->applet.scene = [p](TDevice* d) {
      Screen(d);
      d->SetRenderState(rsBlendAlpha);
      d->SetColor(0xFFFFFFFF);
      d->FillRect(2, 2, 30, 30, 0);
      d->SetColor(0x80FF0000);
      d->FillRect(10, 10, 50, 40, 0);
      d->SetRenderState(rsBlendAdd);
      d->SetColor(0x6000FF80);
      d->FillRect(30, 4, 60, 24, 0);
      Pixmap2D(d, p.glass, rsFilterNearest);
      d->SetRenderState(rsBlendAlpha);
      d->DrawPixmap(p.glass, MakeRectF(36, 28, 60, 46));
    };
    frames[i++] = w->Frame();
  }
  EXPECT_EQ(frames[0], frames[1]) << Describe(frames[0], frames[1]);
  EXPECT_EQ(frames[0][static_cast<size_t>(5 * kWidth + 5)], 0xFFFFFFFFu);
  EXPECT_EQ(frames[0][static_cast<size_t>(45 * kWidth + 2)], 0u);
}

INSTANTIATE_TEST_SUITE_P(OpenGLPasses, CrossDeviceLayered, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "OnePass" : "TwoPasses");
                         });

}  // namespace

namespace {

// Picking and the camera product are the devices' shared computation: the
// same ray and matrix on both.
TEST(CrossDevicePicking, BothDevicesPickTheSameRay) {
  DeviceWindow dx8("dx8", kWidth, kHeight);
  DeviceWindow ogl("ogl", kWidth, kHeight);
  TVector4F origins[2], directions[2];
  TMatrix4F products[2];
  int i = 0;
  for (DeviceWindow* w : {&dx8, &ogl}) {
    LookAtTheOrigin(w->device());
    w->device()->Pick(10, 40, origins[i], directions[i]);
    products[i] = w->device()->ModelViewProj();
    i += 1;
  }
  EXPECT_EQ(origins[0], origins[1]);
  EXPECT_EQ(directions[0], directions[1]);
  EXPECT_EQ(products[0], products[1]);
  EXPECT_FLOAT_EQ(origins[0].y, -150);
  EXPECT_NEAR(VecLength(directions[0]), 1, 1e-5);
}

}  // namespace
