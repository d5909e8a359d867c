// The Direct3D 8 device on real GL frames: creation and its log, failures
// that stop creation, screen modes and full screen, render states, lost
// devices, frames read back, and the appending locks of the dynamic mesh.
#include <gtest/gtest.h>

#include "compat/d3d8/test_hooks.h"
#include "platform/d3d8_window_helpers.h"
#include "platform/device_registry.h"
#include "support/log_capture.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

class DX8Test : public ::testing::Test {
 protected:
  void SetUp() override { d3d8_test::Restore(); }
  void TearDown() override { d3d8_test::Restore(); }
};

// ---- creation -------------------------------------------------------------------------------

using DX8Creation = DX8Test;

TEST_F(DX8Creation, LogsTheVertexProcessingAndTheHardware) {
  d3d8_test::SetTextureMemory(50000000);
  LogCapture log;
  DeviceWindow w("dx8", kWidth, kHeight);
  TWin32DX8Device* d = w.dx8();
  ASSERT_TRUE(d && d->ready());
  EXPECT_EQ(d->DeviceName(), W("dx8"));
  EXPECT_TRUE(d->IsAccelerated());
  EXPECT_FLOAT_EQ(d->pixelOffset(), -0.5f);
  EXPECT_EQ(d->DeviceColor(0x80112233), 0x80112233u);
  EXPECT_TRUE(log.contains("(i) dx8 device manager stared"));
  EXPECT_TRUE(log.contains("(i) pure hard VP"));
  EXPECT_EQ(log.count("(i) Hardware info =================================================="), 2);
  // The back buffer (4 bytes a pixel) and its 16-bit depth buffer are made.
  EXPECT_TRUE(log.contains("(i) Available tex mem " + std::to_string(50000000 - kWidth * kHeight * 6)));
  EXPECT_TRUE(log.contains("(i) DevCaps 00198E50"));
  EXPECT_TRUE(log.contains("(i) Line caps 0000000F"));
  EXPECT_TRUE(log.contains("(i) MaxActiveLights 8"));
  EXPECT_TRUE(log.contains("(i) VertexShaderVersion 0.0"));
  EXPECT_EQ(d->presentParameters().BackBufferWidth, UINT(kWidth));
  EXPECT_EQ(d->presentParameters().BackBufferHeight, UINT(kHeight));
  EXPECT_TRUE(d->presentParameters().Windowed);
  EXPECT_EQ(d->presentParameters().AutoDepthStencilFormat, D3DFMT_D16);
  EXPECT_NE(d->dynamicMesh(), nullptr);
}

TEST_F(DX8Creation, ChoosesSoftwareOrPlainHardwareProcessingFromTheCaps) {
  d3d8_test::SetVertexProcessing(false, false);
  {
    LogCapture log;
    DeviceWindow w("dx8", kWidth, kHeight);
    EXPECT_TRUE(log.contains("(i) soft VP"));
    EXPECT_TRUE(log.contains("(i) DevCaps 00088E50"));
    EXPECT_TRUE(w.dx8()->ready());
  }
  d3d8_test::SetVertexProcessing(true, false);
  LogCapture log;
  DeviceWindow w("dx8", kWidth, kHeight);
  EXPECT_TRUE(log.contains("(i) hard VP"));
  EXPECT_FALSE(log.contains("(i) pure hard VP"));
}

TEST_F(DX8Creation, WithoutTheLibraryStopsAfterTheLogLine) {
  for (bool hideEntry : {false, true}) {
    d3d8_test::Restore();
    if (hideEntry) {
      d3d8_test::HideEntryPoint("Direct3DCreate8", true);
    } else {
      d3d8_test::SetLibraryMissing(true);
    }
    LogCapture log;
    {
      DeviceWindow w("dx8", kWidth, kHeight);
      TWin32DX8Device* d = w.dx8();
      ASSERT_NE(d, nullptr);
      EXPECT_TRUE(log.contains("(e) Can't load DX8"));
      EXPECT_FALSE(d->ready());
      EXPECT_FALSE(log.contains("(i) Hardware info =================================================="));
      EXPECT_EQ(d->dynamicMesh(), nullptr);
      EXPECT_EQ(TWin32DX8Device::LiveCount(), 0);
      // A device without Direct3D draws nothing and makes nothing, quietly.
      w.applet.scene = [](TDevice* device) { device->FillRect(0, 0, 10, 10, 0); };
      w.Frame();
      EXPECT_EQ(d->CreatePixmap(4, 4), nullptr);
      EXPECT_TRUE(log.contains("(e) Can't create texture"));
      EXPECT_FALSE(d->RenderToARGB(std::vector<uint32_t>(kWidth * kHeight).data()));
    }
    EXPECT_EQ(d3d8_test::LoadedLibraryCount(), 0);
  }
}

TEST_F(DX8Creation, AFailedDeviceStopsCreationAfterItsLogLine) {
  d3d8_test::SetCreateDeviceFails(true);
  LogCapture log;
  DeviceWindow w("dx8", kWidth, kHeight);
  TWin32DX8Device* d = w.dx8();
  EXPECT_TRUE(log.contains("(e) Can't create DX Device"));
  EXPECT_FALSE(d->ready());
  EXPECT_FALSE(log.contains("(i) Hardware info =================================================="));
  EXPECT_EQ(d->dynamicMesh(), nullptr);
  EXPECT_EQ(d->CreateMesh(vfPCT, 4, true, 6, false, false, 1), nullptr);
  w.Frame();
  d->Resize();
  d->FullScreen(true, -1);
}

TEST_F(DX8Creation, WithoutTheDirect3DObjectTheProgramEnds) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        d3d8_test::SetCreateFails(true);
        DeviceWindow w("dx8", kWidth, kHeight);
      },
      ::testing::ExitedWithCode(1), "");
}

TEST_F(DX8Creation, TheLibraryIsLoadedOnceAndFreedWithTheLastDevice) {
  {
    DeviceWindow first("dx8", kWidth, kHeight);
    DeviceWindow second("dx8", 32, 32);
    EXPECT_EQ(d3d8_test::LoadedLibraryCount(), 1);
    EXPECT_EQ(TWin32DX8Device::LiveCount(), 2);
  }
  EXPECT_EQ(TWin32DX8Device::LiveCount(), 0);
  EXPECT_EQ(d3d8_test::LoadedLibraryCount(), 0);
  EXPECT_EQ(d3d8_test::LiveDeviceCount(), 0);
  EXPECT_EQ(d3d8_test::LiveDefaultPoolResources(), 0);
}

TEST_F(DX8Creation, IsTheFirstAndDefaultDeviceClass) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        RegisterDX8Device();
        RegisterDX8Device();
        bool first = DeviceClasses().size() == 2 && DeviceClasses()[0].deviceName() == W("dx8");
        bool ogl = FindDeviceClass(W("OGL")) == 1 && FindDeviceClass(W("Dx8")) == 0;
        std::exit(first && ogl && DefaultDeviceIndex() == 0 ? 0 : 3);
      },
      ::testing::ExitedWithCode(0), "");
}

// ---- screen modes and full screen -------------------------------------------------------------------

class DX8Modes : public DX8Test {
 protected:
  void SetUp() override {
    DX8Test::SetUp();
    D3DDISPLAYMODE desktop{1024, 768, 60, D3DFMT_X8R8G8B8};
    d3d8_test::SetDesktopMode(desktop);
    d3d8_test::SetDisplayModes(std::vector<D3DDISPLAYMODE>{
        {640, 480, 60, D3DFMT_X8R8G8B8},
        desktop,
        {1024, 768, 60, D3DFMT_R5G6B5},
        {320, 200, 60, D3DFMT_X8R8G8B8},
        {800, 600, 60, D3DFMT_X1R5G5B5},
        {1024, 768, 75, D3DFMT_X8R8G8B8},
        {800, 600, 60, D3DFMT_R5G6B5},
    });
    window = std::make_unique<DeviceWindow>("dx8", kWidth, kHeight);
    d = window->dx8();
  }

  D3DDISPLAYMODE AdapterMode() const {
    IDirect3D8* direct3d = Direct3DCreate8(D3D_SDK_VERSION);
    D3DDISPLAYMODE mode;
    direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode);
    direct3d->Release();
    return mode;
  }

  std::unique_ptr<DeviceWindow> window;
  TWin32DX8Device* d = nullptr;
};

TEST_F(DX8Modes, ListsEachModeOnceWithTheDesktopsLast) {
  const std::vector<WideString> expected = {W("640x480x32"), W("1024x768x16"), W("800x600x16"), W("1024x768x32")};
  EXPECT_EQ(d->screenModes(), expected);
  EXPECT_EQ(d->desktopModeIndex(), 3);
  EXPECT_EQ(d->desktopWidth(), 1024);
  EXPECT_EQ(d->desktopHeight(), 768);
  EXPECT_EQ(d->desktopFormat(), D3DFMT_X8R8G8B8);
  EXPECT_EQ(d->ScreenModeWidth(2), 800);
  EXPECT_EQ(d->ScreenModeHeight(1), 768);
}

TEST_F(DX8Modes, FullScreenResetsIntoTheModeAndBack) {
  d->FullScreen(true, 2);
  EXPECT_TRUE(d->ready());
  EXPECT_FALSE(d->deviceLost());
  const D3DPRESENT_PARAMETERS& p = d->presentParameters();
  EXPECT_FALSE(p.Windowed);
  EXPECT_EQ(p.BackBufferWidth, 800u);
  EXPECT_EQ(p.BackBufferHeight, 600u);
  EXPECT_EQ(p.BackBufferFormat, D3DFMT_R5G6B5);
  EXPECT_EQ(p.FullScreen_PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
  EXPECT_TRUE(d->fullScreenRequested());
  D3DDISPLAYMODE shown = AdapterMode();
  EXPECT_EQ(shown.Width, 800u);
  EXPECT_EQ(shown.Format, D3DFMT_R5G6B5);
  // Frames go on in the new mode.
  window->applet.background = 0xFF00FF00;
  EXPECT_EQ(window->At(window->Frame(), 10, 10) & 0xFFFFFF, 0x00FF00u);

  d->FullScreen(false, -1);
  EXPECT_TRUE(d->presentParameters().Windowed);
  EXPECT_EQ(d->presentParameters().BackBufferWidth, UINT(kWidth));
  EXPECT_EQ(AdapterMode().Width, 1024u);
  EXPECT_FALSE(d->fullScreenRequested());
}

TEST_F(DX8Modes, TheDesktopModeIsModeMinusOne) {
  d->FullScreen(true, -1);
  EXPECT_EQ(d->presentParameters().BackBufferWidth, 1024u);
  EXPECT_EQ(d->presentParameters().BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_FALSE(d->presentParameters().Windowed);
}

TEST_F(DX8Modes, BadModesChangeNothing) {
  d->FullScreen(true, 4);   // beyond the list
  d->FullScreen(true, -2);  // before it
  EXPECT_TRUE(d->presentParameters().Windowed);
  d->screenModes()[0] = W("wide");
  d->FullScreen(true, 0);
  EXPECT_TRUE(d->presentParameters().Windowed);
  d->screenModes()[0] = W("640x480x24");
  d->FullScreen(true, 0);
  EXPECT_TRUE(d->presentParameters().Windowed);
}

TEST_F(DX8Modes, AModeTheAdapterRefusesLeavesTheFormerOne) {
  d->screenModes()[0] = W("2000x1000x32");
  d->FullScreen(true, 0);
  EXPECT_TRUE(d->presentParameters().Windowed);
  EXPECT_FALSE(d->fullScreenRequested());
  EXPECT_FALSE(d->deviceLost());
  window->applet.background = 0xFF0000FF;
  EXPECT_EQ(window->At(window->Frame(), 3, 3) & 0xFFFFFF, 0x0000FFu);
}

// ---- render states --------------------------------------------------------------------------------------

class DX8States : public DX8Test {
 protected:
  void SetUp() override {
    DX8Test::SetUp();
    // A device that answers Get* calls (not a pure one).
    d3d8_test::SetVertexProcessing(true, false);
    window = std::make_unique<DeviceWindow>("dx8", kWidth, kHeight);
    d = window->dx8();
    d3d = d->d3dDevice();
  }
  DWORD State(D3DRENDERSTATETYPE state) {
    DWORD value = 0;
    EXPECT_EQ(d3d->GetRenderState(state, &value), D3D_OK);
    return value;
  }
  DWORD StageState(D3DTEXTURESTAGESTATETYPE type) {
    DWORD value = 0;
    EXPECT_EQ(d3d->GetTextureStageState(0, type, &value), D3D_OK);
    return value;
  }
  std::unique_ptr<DeviceWindow> window;
  TWin32DX8Device* d = nullptr;
  IDirect3DDevice8* d3d = nullptr;
};

TEST_F(DX8States, EachStateSetsItsDirect3DStates) {
  d->SetRenderState(rsBlendAdd);
  EXPECT_EQ(State(D3DRS_SRCBLEND), D3DBLEND_SRCALPHA);
  EXPECT_EQ(State(D3DRS_DESTBLEND), D3DBLEND_ONE);
  d->SetRenderState(rsBlendAlpha);
  EXPECT_EQ(State(D3DRS_DESTBLEND), D3DBLEND_INVSRCALPHA);
  d->SetRenderState(rsDepthTestOn);
  EXPECT_EQ(State(D3DRS_ZENABLE), D3DZB_TRUE);
  EXPECT_EQ(State(D3DRS_ZFUNC), D3DCMP_LESSEQUAL);
  d->SetRenderState(rsDepthWriteOff);
  EXPECT_EQ(State(D3DRS_ZWRITEENABLE), 0u);
  d->SetRenderState(rsCullFront);
  EXPECT_EQ(State(D3DRS_CULLMODE), D3DCULL_CCW);
  d->SetRenderState(rsFilterLinear);
  EXPECT_EQ(StageState(D3DTSS_MINFILTER), D3DTEXF_LINEAR);
  EXPECT_EQ(StageState(D3DTSS_MAGFILTER), D3DTEXF_LINEAR);
  EXPECT_EQ(StageState(D3DTSS_MIPFILTER), D3DTEXF_NONE);
  d->SetRenderState(rsTextureOff);
  EXPECT_EQ(StageState(D3DTSS_COLOROP), D3DTOP_SELECTARG2);
  EXPECT_EQ(StageState(D3DTSS_ALPHAARG2), D3DTA_DIFFUSE);
  d->SetRenderState(rsTextureDecal);
  EXPECT_EQ(StageState(D3DTSS_COLOROP), D3DTOP_SELECTARG1);
  EXPECT_EQ(StageState(D3DTSS_COLORARG1), D3DTA_TEXTURE);
  d->SetRenderState(rsLightOn);
  EXPECT_EQ(State(D3DRS_LIGHTING), 1u);
  d->SetRenderState(rsLightOff);
  EXPECT_EQ(State(D3DRS_LIGHTING), 0u);
}

TEST_F(DX8States, WireframeKeepsTheTextureStateAsItIs) {
  d->SetRenderState(rsTextureOff);
  d->SetRenderState(rsWireframe);
  EXPECT_EQ(State(D3DRS_FILLMODE), D3DFILL_WIREFRAME);
  d->SetRenderState(rsTextureModulate);
  d->SetRenderState(rsTextureDecal);
  EXPECT_EQ(StageState(D3DTSS_COLOROP), D3DTOP_SELECTARG2);
  d->SetRenderState(rsSolid);
  EXPECT_EQ(State(D3DRS_FILLMODE), D3DFILL_SOLID);
}

TEST_F(DX8States, LightingStaysOffWhileTheApplicationHasItOff) {
  window->applet.lighting = false;
  d->BuildRenderStates();
  d->SetRenderState(rsLightOn);
  EXPECT_EQ(State(D3DRS_LIGHTING), 0u);
}

TEST_F(DX8States, ProjectionsComeFromTheDeviceAndTheViewFromTheCamera) {
  d->SetCamera(MakeVector4F(0, -150, 0, 1), MakeVector4F(0, -1, 0, 1), MakeVector4F(0, 0, -1, 1));
  d->SetRenderState(rs3D);
  D3DMATRIX projection, view;
  d3d->GetTransform(D3DTS_PROJECTION, &projection);
  d3d->GetTransform(D3DTS_VIEW, &view);
  TMatrix4F expected = d->Projection3D();
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(projection.m[i / 4][i % 4], expected.m[i]);
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(view.m[i / 4][i % 4], window->window()->camera.view.m[i]);
  d->SetRenderState(rs2D);
  d3d->GetTransform(D3DTS_PROJECTION, &projection);
  expected = d->Projection2D();
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(projection.m[i / 4][i % 4], expected.m[i]);
  EXPECT_EQ(window->window()->screenFrustum, FrustumFromMatrix(expected));
  // Under the screen projection the world moves by half a pixel.
  TMatrix4F world = IdentityMatrix4F;
  world(3, 0) = 10;
  d->SetWorldMatrix(world);
  EXPECT_FLOAT_EQ(d->worldMatrix()(3, 0), 9.5f);
  EXPECT_FLOAT_EQ(d->worldMatrix()(3, 1), -0.5f);
}

TEST_F(DX8States, ALightSetAfterTheStatesWereRecordedShinesAtOnce) {
  int light = d->AllocLight();
  d->SetLight(light, MakeVector4F(0, 0, 0, 1), MakeVector4F(0, 0, -1, 1), 0xFFFFFFFF, 0, 0, true, true);
  d->SetRenderState(rs2D);
  BOOL on = FALSE;
  EXPECT_EQ(d3d->GetLightEnable(static_cast<DWORD>(light), &on), D3D_OK);
  EXPECT_TRUE(on);
  d->SetRenderState(rs3D);
  d3d->GetLightEnable(static_cast<DWORD>(light), &on);
  EXPECT_FALSE(on);
}

TEST_F(DX8States, TheMaterialReachesDirect3DOnlyWhenItsColoursChange) {
  d->SetMaterial(TMaterial{true, 0xFF804020, 0x80000000, 0xFFFFFFFF});
  D3DMATERIAL8 m;
  d3d->GetMaterial(&m);
  EXPECT_FLOAT_EQ(m.Diffuse.r, 128.0f / 255);
  EXPECT_FLOAT_EQ(m.Diffuse.b, 32.0f / 255);
  EXPECT_FLOAT_EQ(m.Ambient.a, 128.0f / 255);
  EXPECT_FLOAT_EQ(m.Power, 0.5f);
  EXPECT_FLOAT_EQ(m.Emissive.r, 0);
  EXPECT_EQ(State(D3DRS_LIGHTING), 1u);
  // The same colours unlit: only the lighting switch changes.
  D3DMATERIAL8 other;
  other.Diffuse = D3DCOLORVALUE{0, 1, 0, 1};
  d3d->SetMaterial(&other);
  d->SetMaterial(TMaterial{false, 0xFF804020, 0x80000000, 0xFFFFFFFF});
  d3d->GetMaterial(&m);
  EXPECT_FLOAT_EQ(m.Diffuse.g, 1);
  EXPECT_EQ(State(D3DRS_LIGHTING), 0u);
}

// ---- frames: background, lost devices, read-back -----------------------------------------------------

using DX8Frames = DX8Test;

TEST_F(DX8Frames, ABackgroundOfZeroClearsOnlyTheDepth) {
  DeviceWindow w("dx8", kWidth, kHeight);
  w.applet.background = 0xFFFF0000;
  w.Frame();
  w.applet.background = 0;
  w.applet.scene = [](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetWorldMatrix(IdentityMatrix4F);
    d->SetColor(0xFF0000FF);
    d->FillRect(0, 0, 8, 8, 0);
  };
  auto frame = w.Frame();
  EXPECT_EQ(w.At(frame, 4, 4) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(w.At(frame, 20, 20) & 0xFFFFFF, 0xFF0000u);  // what the earlier frame left
}

// A scene of a fill, a pixmap (a managed texture) and a static mesh.
struct LostScene {
  TPixmap* pixmap = nullptr;
  TMesh* mesh = nullptr;

  void MakeOn(DeviceWindow& w) {
    w.applet.background = 0xFF102030;
    w.applet.skin = w.MakePixmap(1, 1, {0xFFFFFFFF});
    pixmap = w.MakePixmap(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00});
    uint32_t c = 0xFFC080FF;
    mesh = MakeStaticMesh<TVertexPCT>(w.device(), vfPCT,
                                      {MakeVertexPCT(40, 30, 0, c, 0, 0), MakeVertexPCT(60, 30, 0, c, 1, 0),
                                       MakeVertexPCT(60, 46, 0, c, 1, 1), MakeVertexPCT(40, 46, 0, c, 0, 1)},
                                      {1, 0, 3, 3, 2, 1});
    TPixmap* p = pixmap;
    TMesh* m = mesh;
    w.applet.scene = [p, m](TDevice* d) {
      d->SetRenderState(rs2D);
      d->SetWorldMatrix(IdentityMatrix4F);
      d->SetColor(0xFF808080);
      d->FillRect(2, 2, 30, 20, 0);
      d->SetColor(0xFFFFFFFF);
      d->SetPixmap(0, p);
      d->SetRenderState(rsFilterNearest);
      d->SetRenderState(rsTextureModulate);
      d->DrawPixmap(p, MakeRectF(34, 2, 62, 26));
      d->SetRenderState(rsTextureOff);
      d->DrawMesh(m);
    };
  }
};

TEST_F(DX8Frames, ALostDeviceLogsDrawsNothingAndComesBackAsAFreshOne) {
  DeviceWindow fresh("dx8", kWidth, kHeight);
  LostScene freshScene;
  freshScene.MakeOn(fresh);
  auto expected = RgbOf(fresh.Frame());

  DeviceWindow w("dx8", kWidth, kHeight);
  LostScene scene;
  scene.MakeOn(w);
  TWin32DX8Device* d = w.dx8();
  auto before = RgbOf(w.Frame());
  EXPECT_EQ(before, expected);

  LogCapture log;
  d3d8_test::LoseDevices(2);
  w.Frame();
  EXPECT_TRUE(d->deviceLost());
  EXPECT_FALSE(d->framePending());
  void* memory = nullptr;
  EXPECT_FALSE(d->LockMeshVertex(d->dynamicMesh(), 4, memory));
  w.Frame();
  EXPECT_EQ(log.count("(e) Device was lost"), 2);
  // Direct3D now lets the device reset: it does, and rebuilds its buffers.
  w.Frame();
  EXPECT_EQ(log.count("(e) Device was lost"), 3);
  EXPECT_FALSE(d->deviceLost());
  EXPECT_NE(scene.mesh->deviceVertexBuffer, 0u);
  auto after = RgbOf(w.Frame());
  EXPECT_EQ(after, expected);
  EXPECT_EQ(log.count("(e) Device was lost"), 3);
}

TEST_F(DX8Frames, AResetThatFailsIsTriedAgainAtTheNextFrame) {
  DeviceWindow w("dx8", kWidth, kHeight);
  LostScene scene;
  scene.MakeOn(w);
  auto expected = RgbOf(w.Frame());
  d3d8_test::SetResetFails(true);
  d3d8_test::LoseDevices(0);
  w.Frame();
  w.Frame();
  EXPECT_TRUE(w.dx8()->deviceLost());
  d3d8_test::SetResetFails(false);
  w.Frame();
  EXPECT_EQ(RgbOf(w.Frame()), expected);
}

TEST_F(DX8Frames, AResizeResetsIntoTheNewSize) {
  DeviceWindow w("dx8", kWidth, kHeight);
  LostScene scene;
  scene.MakeOn(w);
  w.Frame();
  w.window()->appliedWidth = 40;
  w.window()->appliedHeight = 30;
  w.dx8()->Resize();
  EXPECT_EQ(w.dx8()->presentParameters().BackBufferWidth, 40u);
  EXPECT_EQ(w.dx8()->presentParameters().BackBufferHeight, 30u);
  EXPECT_FALSE(w.dx8()->deviceLost());
  std::vector<uint32_t> pixels(40 * 30);
  ASSERT_TRUE(w.dx8()->RenderToARGB(pixels.data()));
  EXPECT_EQ(pixels[5 * 40 + 5] & 0xFFFFFF, 0x808080u);
}

TEST_F(DX8Frames, RenderToARGBGivesTheFrameTheWindowShows) {
  DeviceWindow w("dx8", kWidth, kHeight);
  LostScene scene;
  scene.MakeOn(w);
  auto shown = RgbOf(w.Frame());
  std::vector<uint32_t> pixels(kWidth * kHeight);
  LogCapture log;
  ASSERT_TRUE(w.dx8()->RenderToARGB(pixels.data()));
  EXPECT_EQ(RgbOf(pixels), shown);
  EXPECT_TRUE(log.messages().empty());
  // The device's own target is back: the next frame is the same.
  EXPECT_EQ(RgbOf(w.Frame()), shown);
}

TEST_F(DX8Frames, RenderToARGBWritesNoMoreThanTheBufferItWasGiven) {
  DeviceWindow w("dx8", kWidth, kHeight);
  LostScene scene;
  scene.MakeOn(w);
  auto shown = RgbOf(w.Frame());
  const int width = kWidth - 8, height = kHeight - 4;
  constexpr uint32_t kGuard = 0xDEADBEEF;
  std::vector<uint32_t> buffer(static_cast<size_t>(width * height) + 64, kGuard);
  ASSERT_TRUE(w.dx8()->RenderToARGB(buffer.data(), width, height));
  for (size_t i = static_cast<size_t>(width * height); i < buffer.size(); ++i) EXPECT_EQ(buffer[i], kGuard);
  for (int y = 0; y < height; y += 5) {
    for (int x = 0; x < width; x += 3) {
      EXPECT_EQ(buffer[static_cast<size_t>(y * width + x)] & 0xFFFFFF, w.At(shown, x, y)) << x << "," << y;
    }
  }
}

TEST_F(DX8Frames, ALayeredWindowsFrameIsReadBackBeforeItIsCleared) {
  DeviceWindow w("dx8", kWidth, kHeight, TWindowKind::Layered);
  ASSERT_TRUE(w.dx8()->ready());
  w.applet.background = 0;
  w.applet.scene = [](TDevice* d) {
    d->SetRenderState(rs2D);
    d->SetWorldMatrix(IdentityMatrix4F);
    d->SetRenderState(rsBlendAlpha);
    d->SetColor(0x80FF0000);
    d->FillRect(4, 4, 20, 20, 0);
  };
  auto shown = w.Frame();
  uint32_t c = w.At(shown, 10, 10);
  EXPECT_EQ(c >> 24, 0x80u);
  EXPECT_EQ((c >> 16) & 0xFF, 0x80u);  // red 255 x 128/255 over black
  EXPECT_EQ(w.At(shown, 30, 30), 0u);
  std::vector<uint32_t> pixels(kWidth * kHeight);
  ASSERT_TRUE(w.dx8()->RenderToARGB(pixels.data()));
  EXPECT_EQ(pixels, shown);
}

// ---- the dynamic mesh's appending locks -------------------------------------------------------------

class DX8Locks : public DX8Test {
 protected:
  void SetUp() override {
    DX8Test::SetUp();
    window = std::make_unique<DeviceWindow>("dx8", kWidth, kHeight);
    d = window->dx8();
  }
  // Locks and unlocks `count` vertices of the format; answers the first vertex.
  int32_t Batch(TMesh* mesh, TVertexFormat format, int32_t count) {
    mesh->format = format;
    void* memory = nullptr;
    if (!d->LockMeshVertex(mesh, count, memory)) return -1;
    std::memset(memory, 0x11, static_cast<size_t>(count) * static_cast<size_t>(VertexSize(format)));
    d->UnlockMeshVertex(mesh);
    return mesh->batchFirstVertex;
  }
  std::unique_ptr<DeviceWindow> window;
  TWin32DX8Device* d = nullptr;
};

TEST_F(DX8Locks, BatchesStartAtTheFirstWholeVertexOfTheirFormat) {
  TMesh* mesh = d->CreateMesh(vfPCT, 6000, true, 12000, true, false, 1);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(Batch(mesh, vfPCT, 10), 0);   // 240 bytes
  EXPECT_EQ(Batch(mesh, vfPC, 5), 15);    // 240 / 16; ends at 320
  EXPECT_EQ(Batch(mesh, vfPNCT, 2), 9);   // 320 / 36 = 8.9
  EXPECT_EQ(mesh->batchVertexEnd, 11 * 36);
  uint16_t* indices = nullptr;
  ASSERT_TRUE(d->LockMeshIndex(mesh, 6, indices));
  d->UnlockMeshIndex(mesh);
  ASSERT_TRUE(d->LockMeshIndex(mesh, 12, indices));
  EXPECT_EQ(mesh->batchFirstIndex, 6);
  d->UnlockMeshIndex(mesh);
  d->DestroyMesh(mesh);
}

TEST_F(DX8Locks, ABatchThatWouldRunPastTheBufferStartsAgainAtZero) {
  LogCapture log;
  TMesh* mesh = d->CreateMesh(vfPCT, 6000, true, 12000, true, false, 1);  // 144000 bytes
  EXPECT_EQ(Batch(mesh, vfPC, 8997), 0);  // ends at byte 143952
  // 143952 + 28 fits, but the whole vertex after it (5142 x 28 = 143976) does not.
  EXPECT_EQ(Batch(mesh, vfPNC, 1), 0);
  EXPECT_FALSE(log.contains("(e) Can't lock vertex buffer"));
  EXPECT_TRUE(log.messages().empty());
  d->DestroyMesh(mesh);
}

TEST_F(DX8Locks, IndexedBatchesStayWithinTheReachOf16BitIndices) {
  TMesh* indexed = d->CreateMesh(vfPC, 70000, true, 1000, true, false, 1);
  EXPECT_EQ(Batch(indexed, vfPC, 60000), 0);
  EXPECT_EQ(Batch(indexed, vfPC, 5536), 60000);  // the last index is 65535
  EXPECT_EQ(Batch(indexed, vfPC, 1), 0);
  TMesh* plain = d->CreateMesh(vfPC, 70000, false, 0, true, false, 1);
  EXPECT_EQ(Batch(plain, vfPC, 60000), 0);
  EXPECT_EQ(Batch(plain, vfPC, 9000), 60000);
  d->DestroyMesh(indexed);
  d->DestroyMesh(plain);
}

TEST_F(DX8Locks, IndexBatchesWrapBeforeTheirEnd) {
  TMesh* mesh = d->CreateMesh(vfPCT, 100, true, 30, true, false, 1);
  auto indexBatch = [&](int32_t count) {
    uint16_t* indices = nullptr;
    if (!d->LockMeshIndex(mesh, count, indices)) return -1;
    d->UnlockMeshIndex(mesh);
    return mesh->batchFirstIndex;
  };
  EXPECT_EQ(indexBatch(20), 0);
  EXPECT_EQ(indexBatch(8), 20);   // ends at 28
  EXPECT_EQ(indexBatch(1), 0);    // 28 + 1 reaches the capacity less one: starts again
  EXPECT_EQ(indexBatch(27), 1);   // ends at 28
  EXPECT_EQ(indexBatch(30), 0);
  EXPECT_EQ(indexBatch(31), -1);
  d->DestroyMesh(mesh);
}

TEST_F(DX8Locks, TooLargeALockFailsAndAsksForAGrownMesh) {
  LogCapture log;
  TMesh* mesh = d->dynamicMesh();
  void* memory = nullptr;
  EXPECT_FALSE(d->LockMeshVertex(mesh, mesh->vertexCount + 1, memory));
  EXPECT_TRUE(log.contains("(e) Locked size is bigger than buffer have"));
  EXPECT_TRUE(d->growRequested());
  uint16_t* indices = nullptr;
  EXPECT_FALSE(d->LockMeshIndex(mesh, mesh->indexCount + 1, indices));
  EXPECT_TRUE(log.contains("(e) Locked size is bigger than index buffer have"));
  TMesh* fixed = MakeStaticMesh<TVertexPC>(d, vfPC, {MakeVertexPC(0, 0, 0, 0)}, {0});
  EXPECT_FALSE(d->LockMeshVertex(fixed, 2, memory));
}

TEST_F(DX8Locks, AFrameOfManyMixedBatchesDrawsEveryOne) {
  window->applet.skin = window->MakePixmap(1, 1, {0xFFFFFFFF});
  window->applet.background = 0xFF000000;
  window->applet.scene = [](TDevice* dev) {
    dev->SetRenderState(rs2D);
    dev->SetWorldMatrix(IdentityMatrix4F);
    for (int i = 0; i < 900; ++i) {
      dev->SetColor(0xFF000000 | static_cast<uint32_t>(i * 0x10101));
      dev->FillRect(static_cast<float>(i % 60), static_cast<float>(i % 40), static_cast<float>(i % 60 + 3),
                    static_cast<float>(i % 40 + 3), 0);
      dev->DrawSegment(MakeVector4F(0, 0.5f, 0, 1), MakeVector4F(5, 0.5f, 0, 1), 1);
      dev->DrawBox(MakeVector3F(50, 40, 0), MakeVector3F(52, 42, 0.5f));
    }
    dev->SetColor(0xFF00FF00);
    dev->FillRect(60, 44, 64, 48, 0);
  };
  LogCapture log;
  d3d8_test::TakeDrawCounts();
  auto frame = window->Frame();
  auto counts = d3d8_test::TakeDrawCounts();
  EXPECT_EQ(counts.refused, 0);
  EXPECT_EQ(counts.drawn, 900 * 3 + 1);
  EXPECT_TRUE(log.messages().empty());
  EXPECT_EQ(window->At(frame, 62, 46) & 0xFFFFFF, 0x00FF00u);
}

// ---- moving resources between devices ----------------------------------------------------------------

TEST_F(DX8Frames, PixmapsAndMeshesMoveToAndFromTheOpenGLDevice) {
  DeviceWindow w("dx8", kWidth, kHeight);
  LostScene scene;
  scene.MakeOn(w);
  auto before = RgbOf(w.Frame());
  TDevice* gl = TDevice::RecreateDevice(w.applet.device, DeviceClasses().at(static_cast<size_t>(FindDeviceClass(W("ogl")))));
  w.applet.device = gl;
  EXPECT_EQ(gl->DeviceName(), W("ogl"));
  TDevice* back = TDevice::RecreateDevice(gl, DeviceClasses().at(static_cast<size_t>(FindDeviceClass(W("dx8")))));
  w.applet.device = back;
  ASSERT_NE(w.dx8(), nullptr);
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  ASSERT_TRUE(back->LockPixmapRectARGB(scene.pixmap, {0, 0, 2, 2}, true, bits, pitch));
  EXPECT_EQ(bits[0], 0xFFFF0000u);
  EXPECT_EQ(bits[pitch / 4 + 1], 0xFFFFFF00u);
  back->UnlockPixmap(scene.pixmap);
  EXPECT_EQ(RgbOf(w.Frame()), before);
}

}  // namespace
