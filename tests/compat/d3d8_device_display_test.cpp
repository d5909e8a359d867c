// The Direct3D 8 device's frames: clears, pixel centres and the viewport,
// texture rows and stage operations, lighting, depth, culling, fill modes,
// colour writes, read back from real GL frames.
#include <set>

#include "compat/win32/test_hooks.h"
#include "tests/compat/d3d8_fixture.h"

namespace {

class D3D8Frame : public D3D8Fixture {
 protected:
  // A managed A8R8G8B8 texture of the pixels (rows top-down).
  IDirect3DTexture8* MakeTexture(UINT width, UINT height, const std::vector<uint32_t>& pixels) {
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < height; ++y) {
      std::memcpy(static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch,
                  pixels.data() + static_cast<size_t>(y) * width, width * 4);
    }
    texture->UnlockRect(0);
    return texture;
  }

  void UseStage(DWORD colourOp, DWORD alphaOp, DWORD arg1 = D3DTA_TEXTURE, DWORD arg2 = D3DTA_DIFFUSE) {
    device->SetTextureStageState(0, D3DTSS_COLOROP, colourOp);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, arg1);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, arg2);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, alphaOp);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, arg1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, arg2);
  }

  // Draws into a lockable A8R8G8B8 target (alpha kept) and answers its pixels.
  std::vector<uint32_t> DrawIntoTarget(const std::function<void()>& draw) {
    IDirect3DSurface8* back = nullptr;
    IDirect3DSurface8* target = nullptr;
    device->GetRenderTarget(&back);
    EXPECT_EQ(device->CreateRenderTarget(kWidth, kHeight, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, TRUE, &target),
              D3D_OK);
    EXPECT_EQ(device->SetRenderTarget(target, nullptr), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1, 0);
    draw();
    std::vector<uint32_t> pixels(kWidth * kHeight);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(target->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    for (int y = 0; y < kHeight; ++y) {
      std::memcpy(pixels.data() + y * kWidth, static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, kWidth * 4);
    }
    target->UnlockRect();
    device->SetRenderTarget(back, nullptr);
    back->Release();
    target->Release();
    return pixels;
  }

  // The 2 x 2 texture red, green / blue, white.
  IDirect3DTexture8* Quadrants() { return MakeTexture(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}); }
};

TEST_F(D3D8Frame, ClearFillsTheBackBuffer) {
  ClearTo(0xFF336699);
  auto pixels = ReadBackBuffer();
  ASSERT_EQ(pixels.size(), size_t{kWidth * kHeight});
  EXPECT_EQ(At(pixels, 0, 0), 0xFF336699u);
  EXPECT_EQ(At(pixels, kWidth - 1, kHeight - 1), 0xFF336699u);
}

TEST_F(D3D8Frame, ClearStaysInTheViewportAndIgnoresTheWriteMask) {
  ClearTo(0xFF000000);
  D3DVIEWPORT8 viewport{8, 4, 10, 6, 0, 1};
  ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
  device->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1, 0);
  D3DRECT rect{0, 0, 9, 5};
  device->Clear(1, &rect, D3DCLEAR_TARGET, 0xFF00FF00, 1, 0);
  auto pixels = ReadBackBuffer();
  EXPECT_EQ(Rgb(At(pixels, 7, 4)), 0u);
  EXPECT_EQ(Rgb(At(pixels, 8, 4)), 0x00FF00u);  // the rectangle within the viewport
  EXPECT_EQ(Rgb(At(pixels, 9, 4)), 0xFF0000u);
  EXPECT_EQ(Rgb(At(pixels, 17, 9)), 0xFF0000u);
  EXPECT_EQ(Rgb(At(pixels, 18, 9)), 0u);
  EXPECT_EQ(Rgb(At(pixels, 17, 10)), 0u);
}

TEST_F(D3D8Frame, AQuadMovedByHalfAPixelCoversExactlyItsPixels) {
  ClearTo(0xFF000000);
  EXPECT_EQ(DrawList(Quad(2 - 0.5f, 3 - 0.5f, 12 - 0.5f, 8 - 0.5f, 0xFFFF0000), kFvfPCT), D3D_OK);
  auto pixels = ReadBackBuffer();
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      bool inside = x >= 2 && x < 12 && y >= 3 && y < 8;
      EXPECT_EQ(Rgb(At(pixels, x, y)), inside ? 0xFF0000u : 0u) << x << "," << y;
    }
  }
}

TEST_F(D3D8Frame, GeometryPastTheViewportCoversItsEdgePixels) {
  ClearTo(0xFF000000);
  DrawList(Quad(-20, -20, 100, 100, 0xFFFFFFFF), kFvfPCT);
  auto pixels = ReadBackBuffer();
  for (int x = 0; x < kWidth; ++x) EXPECT_EQ(Rgb(At(pixels, x, 0)), 0xFFFFFFu) << x;
  for (int y = 0; y < kHeight; ++y) EXPECT_EQ(Rgb(At(pixels, kWidth - 1, y)), 0xFFFFFFu) << y;
  ClearTo(0xFF000000);
  D3DVIEWPORT8 viewport{4, 4, 8, 8, 0, 1}, whole{0, 0, kWidth, kHeight, 0, 1};
  device->SetViewport(&viewport);
  EXPECT_EQ(DrawList(Quad(-20, -20, 100, 100, 0xFFFFFFFF), kFvfPCT), D3D_OK);
  device->SetViewport(&whole);
  pixels = ReadBackBuffer();
  EXPECT_EQ(Rgb(At(pixels, 4, 4)), 0xFFFFFFu);
  EXPECT_EQ(Rgb(At(pixels, 11, 11)), 0xFFFFFFu);
  EXPECT_EQ(Rgb(At(pixels, 3, 4)), 0u);
  EXPECT_EQ(Rgb(At(pixels, 12, 11)), 0u);
}

TEST_F(D3D8Frame, TextureRowZeroIsTheTopAndTexelsLandOnPixels) {
  IDirect3DTexture8* texture = Quadrants();
  device->SetTexture(0, texture);
  UseStage(D3DTOP_SELECTARG1, D3DTOP_SELECTARG1);
  ClearTo(0xFF000000);
  DrawList(Quad(-0.5f, -0.5f, 7.5f, 7.5f, 0xFF000000), kFvfPCT);
  auto pixels = ReadBackBuffer();
  EXPECT_EQ(Rgb(At(pixels, 0, 0)), 0xFF0000u);
  EXPECT_EQ(Rgb(At(pixels, 3, 3)), 0xFF0000u);
  EXPECT_EQ(Rgb(At(pixels, 4, 0)), 0x00FF00u);
  EXPECT_EQ(Rgb(At(pixels, 0, 4)), 0x0000FFu);
  EXPECT_EQ(Rgb(At(pixels, 7, 7)), 0xFFFFFFu);
  EXPECT_EQ(Rgb(At(pixels, 8, 8)), 0u);
  device->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(D3D8Frame, LinearFilteringBlendsNeighbouringTexels) {
  IDirect3DTexture8* texture = MakeTexture(2, 1, {0xFF000000, 0xFFFFFFFF});
  device->SetTexture(0, texture);
  device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
  device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  UseStage(D3DTOP_SELECTARG1, D3DTOP_SELECTARG1);
  ClearTo(0xFF000000);
  DrawList(Quad(-0.5f, -0.5f, 15.5f, 3.5f, 0), kFvfPCT);
  auto pixels = ReadBackBuffer();
  int previous = -1;
  for (int x = 0; x < 16; ++x) {
    int level = static_cast<int>(At(pixels, x, 1) & 0xFF);
    EXPECT_GE(level, previous) << x;  // a ramp from black to white
    previous = level;
  }
  EXPECT_EQ(At(pixels, 0, 1) & 0xFF, 0u);
  EXPECT_EQ(At(pixels, 15, 1) & 0xFF, 0xFFu);
  EXPECT_NEAR(static_cast<int>(At(pixels, 8, 1) & 0xFF), 143, 2);  // u = 8.5 / 16: 0.0625 past the middle
  texture->Release();
}

TEST_F(D3D8Frame, StagesSelectOrModulateColourAndAlpha) {
  IDirect3DTexture8* texture = MakeTexture(1, 1, {0x80FF8000});
  device->SetTexture(0, texture);
  auto draw = [&](DWORD op) {
    return DrawIntoTarget([&] {
      UseStage(op, op);
      DrawList(Quad(-1, -1, 40, 30, 0xFF4080FF), kFvfPCT);
    });
  };
  // The texture alone, alpha included (not the vertex alpha as GL's decal would).
  EXPECT_EQ(At(draw(D3DTOP_SELECTARG1), 5, 5), 0x80FF8000u);
  // The vertex colour alone.
  EXPECT_EQ(At(draw(D3DTOP_SELECTARG2), 5, 5), 0xFF4080FFu);
  // Channel by channel products.
  uint32_t product = At(draw(D3DTOP_MODULATE), 5, 5);
  EXPECT_NEAR(static_cast<int>(product >> 24), 0x80, 1);
  EXPECT_NEAR(static_cast<int>((product >> 16) & 0xFF), 0x40, 1);
  EXPECT_NEAR(static_cast<int>((product >> 8) & 0xFF), 0x40, 1);
  EXPECT_EQ(product & 0xFF, 0u);
  // A stage without a texture reads opaque white.
  device->SetTexture(0, nullptr);
  EXPECT_EQ(At(draw(D3DTOP_MODULATE), 5, 5), 0xFF4080FFu);
  // Stage 0 switched off passes the vertex colour.
  EXPECT_EQ(At(draw(D3DTOP_DISABLE), 5, 5), 0xFF4080FFu);
  texture->Release();
}

TEST_F(D3D8Frame, TheTextureTransformMovesCoordinatesByItsThirdRow) {
  IDirect3DTexture8* texture = Quadrants();
  device->SetTexture(0, texture);
  UseStage(D3DTOP_SELECTARG1, D3DTOP_SELECTARG1);
  D3DMATRIX shift = IdentityMatrix();
  shift.m[2][0] = 0.5f;  // u + 0.5
  device->SetTransform(D3DTS_TEXTURE0, &shift);
  device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  ClearTo(0xFF000000);
  DrawList(Quad(-0.5f, -0.5f, 7.5f, 7.5f, 0), kFvfPCT);
  auto pixels = ReadBackBuffer();
  EXPECT_EQ(Rgb(At(pixels, 1, 1)), 0x00FF00u);
  EXPECT_EQ(Rgb(At(pixels, 1, 5)), 0xFFFFFFu);
  device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
  ClearTo(0xFF000000);
  DrawList(Quad(-0.5f, -0.5f, 7.5f, 7.5f, 0), kFvfPCT);
  EXPECT_EQ(Rgb(At(ReadBackBuffer(), 1, 1)), 0xFF0000u);
  texture->Release();
}

TEST_F(D3D8Frame, UnlitVerticesWithoutAColourAreWhite) {
  struct VertexP {
    float x, y, z;
  };
  ClearTo(0xFF000000);
  std::vector<VertexP> triangle = {{0, 0, 0}, {20, 0, 0}, {0, 20, 0}};
  EXPECT_EQ(DrawList(triangle, D3DFVF_XYZ), D3D_OK);
  EXPECT_EQ(Rgb(At(ReadBackBuffer(), 3, 3)), 0xFFFFFFu);
}

class D3D8Lighting : public D3D8Frame {
 protected:
  void SetUp() override {
    D3D8Frame::SetUp();
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    D3DMATERIAL8 material;
    material.Diffuse = D3DCOLORVALUE{0.5f, 0.25f, 1, 1};
    material.Ambient = D3DCOLORVALUE{1, 1, 1, 1};
    material.Specular = D3DCOLORVALUE{1, 1, 1, 1};
    material.Power = 4;
    device->SetMaterial(&material);
    UseStage(D3DTOP_SELECTARG2, D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE);
  }
  // A light shining into the screen, onto faces that look at the viewer.
  void LightFromTheViewer(D3DCOLORVALUE ambient = {}) {
    D3DLIGHT8 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = D3DCOLORVALUE{1, 1, 1, 1};
    light.Specular = D3DCOLORVALUE{1, 1, 1, 1};
    light.Ambient = ambient;
    light.Direction = D3DVECTOR{0, 0, 1};
    device->SetLight(3, &light);
    device->LightEnable(3, TRUE);
  }
  uint32_t LitCentre(const std::vector<VertexPN>& triangle) {
    ClearTo(0xFF000000);
    EXPECT_EQ(DrawList(triangle, kFvfPN), D3D_OK);
    return At(ReadBackBuffer(), 4, 4);
  }
  const std::vector<VertexPN> facing = {{0, 0, 0, 0, 0, -1}, {30, 0, 0, 0, 0, -1}, {0, 30, 0, 0, 0, -1}};
};

TEST_F(D3D8Lighting, WithoutLightsOrAmbientAFaceIsBlack) {
  EXPECT_EQ(Rgb(LitCentre(facing)), 0u);  // no global ambient
  device->SetRenderState(D3DRS_AMBIENT, 0xFF404040);
  EXPECT_EQ(Rgb(LitCentre(facing)), 0x404040u);  // ambient x material ambient (1)
}

TEST_F(D3D8Lighting, ALightFacingTheFaceGivesTheMaterialsDiffuse) {
  LightFromTheViewer();
  uint32_t c = LitCentre(facing);
  EXPECT_NEAR(static_cast<int>((c >> 16) & 0xFF), 128, 1);
  EXPECT_NEAR(static_cast<int>((c >> 8) & 0xFF), 64, 1);
  EXPECT_EQ(c & 0xFF, 0xFFu);
  // The light's ambient adds ambient x material ambient; specular stays off.
  LightFromTheViewer(D3DCOLORVALUE{0.25f, 0.25f, 0.25f, 1});
  c = LitCentre(facing);
  EXPECT_NEAR(static_cast<int>((c >> 16) & 0xFF), 128 + 64, 1);
  EXPECT_NEAR(static_cast<int>((c >> 8) & 0xFF), 64 + 64, 1);
}

TEST_F(D3D8Lighting, AFaceTurnedAwayGetsNoDiffuseAndTiltedOnesLess) {
  LightFromTheViewer();
  std::vector<VertexPN> away = facing;
  for (VertexPN& v : away) v.nz = 1;
  EXPECT_EQ(Rgb(LitCentre(away)), 0u);
  std::vector<VertexPN> tilted = facing;
  for (VertexPN& v : tilted) {
    v.nx = 1;  // 45 degrees; normalised by the device
    v.nz = -1;
  }
  uint32_t c = LitCentre(tilted);
  EXPECT_NEAR(static_cast<int>(c & 0xFF), 180, 2);  // 255 x cos 45
}

TEST_F(D3D8Lighting, VertexColoursStandForTheMaterialWhenTheSourceSaysSo) {
  struct VertexPNC {
    float x, y, z, nx, ny, nz;
    D3DCOLOR color;
  };
  LightFromTheViewer();
  std::vector<VertexPNC> triangle = {
      {0, 0, 0, 0, 0, -1, 0xFF00FF00}, {30, 0, 0, 0, 0, -1, 0xFF00FF00}, {0, 30, 0, 0, 0, -1, 0xFF00FF00}};
  DWORD fvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE;
  ClearTo(0xFF000000);
  DrawList(triangle, fvf);
  EXPECT_EQ(Rgb(At(ReadBackBuffer(), 4, 4)), 0x00FF00u);  // the default: diffuse from colour 1
  device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
  ClearTo(0xFF000000);
  DrawList(triangle, fvf);
  EXPECT_EQ(At(ReadBackBuffer(), 4, 4) & 0xFF, 0xFFu);  // the material's blue
}

TEST_F(D3D8Frame, DepthRunsFromZeroToOneAndIsClippedThere) {
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  auto draw = [&](float clearDepth, float z) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, clearDepth, 0);
    DrawList(Quad(0, 0, 20, 20, 0xFFFFFFFF, z), kFvfPCT);
    return Rgb(At(ReadBackBuffer(), 5, 5));
  };
  EXPECT_EQ(draw(0.5f, 0.4f), 0xFFFFFFu);
  EXPECT_EQ(draw(0.5f, 0.6f), 0u);
  EXPECT_EQ(draw(0.5f, 0.5f), 0xFFFFFFu);  // less or equal
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  EXPECT_EQ(draw(1, 1.2f), 0u);   // beyond the far plane
  EXPECT_EQ(draw(1, -0.2f), 0u);  // before the near plane
  EXPECT_EQ(draw(1, 0.9f), 0xFFFFFFu);
  // The viewport's depth range: z 0 lands at 0.5.
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  D3DVIEWPORT8 viewport{0, 0, kWidth, kHeight, 0.5f, 1};
  device->SetViewport(&viewport);
  EXPECT_EQ(draw(0.45f, 0), 0u);
  EXPECT_EQ(draw(0.55f, 0), 0xFFFFFFu);
}

TEST_F(D3D8Frame, CullingGoesByTheWindingSeenOnScreen) {
  // Quad() goes top-left, top-right, bottom-right: clockwise on screen.
  auto draw = [&](DWORD cull) {
    device->SetRenderState(D3DRS_CULLMODE, cull);
    ClearTo(0xFF000000);
    DrawList(Quad(0, 0, 20, 20, 0xFFFFFFFF), kFvfPCT);
    return Rgb(At(ReadBackBuffer(), 5, 5));
  };
  EXPECT_EQ(draw(D3DCULL_CW), 0u);
  EXPECT_EQ(draw(D3DCULL_CCW), 0xFFFFFFu);
  EXPECT_EQ(draw(D3DCULL_NONE), 0xFFFFFFu);
}

TEST_F(D3D8Frame, WireframeDrawsTheEdgesOnly) {
  device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
  ClearTo(0xFF000000);
  DrawList(Quad(2, 2, 20, 14, 0xFFFFFFFF), kFvfPCT);
  auto pixels = ReadBackBuffer();
  EXPECT_EQ(Rgb(At(pixels, 10, 2)), 0xFFFFFFu);
  EXPECT_EQ(Rgb(At(pixels, 2, 8)), 0xFFFFFFu);
  EXPECT_EQ(Rgb(At(pixels, 10, 8)), 0u);
}

TEST_F(D3D8Frame, FlatShadingTakesTheFirstVertexColour) {
  device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
  ClearTo(0xFF000000);
  std::vector<VertexPCT> triangle = {{0, 0, 0, 0xFFFF0000, 0, 0}, {30, 0, 0, 0xFF00FF00, 0, 0}, {0, 20, 0, 0xFF0000FF, 0, 0}};
  DrawList(triangle, kFvfPCT);
  auto pixels = ReadBackBuffer();
  EXPECT_EQ(Rgb(At(pixels, 2, 2)), 0xFF0000u);
  EXPECT_EQ(Rgb(At(pixels, 14, 3)), 0xFF0000u);
  device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
  ClearTo(0xFF000000);
  DrawList(triangle, kFvfPCT);
  std::set<uint32_t> colours;
  for (int x = 0; x < 20; ++x) colours.insert(Rgb(At(ReadBackBuffer(), x, 2)));
  EXPECT_GT(colours.size(), 5u);
}

TEST_F(D3D8Frame, BlendingAndTheWriteMask) {
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  ClearTo(0xFFFFFFFF);
  DrawList(Quad(0, 0, 10, 10, 0x80FF0000), kFvfPCT);
  uint32_t c = At(ReadBackBuffer(), 5, 5);
  EXPECT_EQ((c >> 16) & 0xFF, 0xFFu);
  EXPECT_NEAR(static_cast<int>(c & 0xFF), 127, 1);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  device->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_RED);
  ClearTo(0xFF0000FF);
  DrawList(Quad(0, 0, 10, 10, 0xFFFFFFFF), kFvfPCT);
  EXPECT_EQ(Rgb(At(ReadBackBuffer(), 5, 5)), 0xFF00FFu);
}

TEST_F(D3D8Frame, ProjectionCorrectionsGiveTheSameFrameAsDirectOnes) {
  IDirect3DTexture8* texture = MakeTexture(2, 1, {0xFF000000, 0xFFFFFFFF});
  device->SetTexture(0, texture);
  device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
  device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  UseStage(D3DTOP_MODULATE, D3DTOP_MODULATE);
  device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  auto frame = [&](bool direct) {
    d3d8_test::UseDirectCorrections(direct);
    D3DVIEWPORT8 viewport{2, 3, 26, 19, 0, 1};
    device->SetViewport(&viewport);
    ClearTo(0xFF000000);
    DrawList(Quad(-4.5f, 1.5f, 20.5f, 14.5f, 0xFFFFC080, 0.5f), kFvfPCT);
    DrawList(Quad(10, 6, 40, 30, 0xFF00FF00, 0.7f), kFvfPCT);
    return ReadBackBuffer();
  };
  auto direct = frame(true), corrected = frame(false);
  EXPECT_EQ(direct, corrected);
  texture->Release();
}

TEST_F(D3D8Frame, TheWindowShowsTheSameWhetherFramesAreDrawnIntoItOrCopiedThere) {
  win32_test::CaptureFrames(window, true);
  // One frame: a red quad, a green patch written into the back buffer, the
  // whole frame shown, then its left half shown on the right.
  auto shown = [&](bool straight) {
    d3d8_test::UseStraightToWindow(straight);
    D3DPRESENT_PARAMETERS p = WindowedParameters();
    EXPECT_EQ(device->Reset(&p), D3D_OK);
    UseScreenSpace();
    ClearTo(0xFF000000);
    DrawList(Quad(1.5f, 1.5f, 9.5f, 11.5f, 0xFFFF0000), kFvfPCT);
    IDirect3DSurface8* patch = nullptr;
    EXPECT_EQ(device->CreateImageSurface(4, 4, p.BackBufferFormat, &patch), D3D_OK);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(patch->LockRect(&locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) static_cast<uint32_t*>(locked.pBits)[y * locked.Pitch / 4 + x] = 0xFF00FF00;
    }
    patch->UnlockRect();
    IDirect3DSurface8* back = nullptr;
    device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
    const POINT at{20, 14};
    EXPECT_EQ(device->CopyRects(patch, nullptr, 0, back, &at), D3D_OK);
    back->Release();
    patch->Release();
    std::vector<std::vector<uint32_t>> frames;
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    frames.push_back(win32_test::LastFrame(window).value_or(win32_test::Image{}).pixels);
    ClearTo(0xFF000000);
    DrawList(Quad(1.5f, 1.5f, 9.5f, 11.5f, 0xFFFF0000), kFvfPCT);
    const RECT left{0, 0, 16, 24}, right{16, 0, 32, 24};
    EXPECT_EQ(device->Present(&left, &right, nullptr, nullptr), D3D_OK);
    frames.push_back(win32_test::LastFrame(window).value_or(win32_test::Image{}).pixels);
    return frames;
  };
  const auto straight = shown(true), copied = shown(false);
  ASSERT_EQ(straight[0].size(), static_cast<size_t>(kWidth * kHeight));
  EXPECT_EQ(Rgb(At(straight[0], 5, 5)), 0xFF0000u);
  EXPECT_EQ(Rgb(At(straight[0], 21, 15)), 0x00FF00u);
  EXPECT_EQ(Rgb(At(straight[0], 15, 5)), 0u);
  EXPECT_EQ(straight[0], copied[0]);
  // Where the half was shown; what the rest of the window shows is not said.
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 16; x < kWidth; ++x) {
      EXPECT_EQ(At(straight[1], x, y), At(copied[1], x, y)) << x << "," << y;
      EXPECT_EQ(Rgb(At(straight[1], x, y)), x >= 18 && x < 26 && y >= 2 && y < 12 ? 0xFF0000u : 0u) << x << "," << y;
    }
  }
}

}  // namespace
