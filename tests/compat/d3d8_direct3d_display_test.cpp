// The Direct3D 8 library and object: loading by name, the entry point, the
// adapter's modes and caps, and which devices can be made.
#include "compat/d3d8/library.h"
#include "tests/compat/d3d8_fixture.h"

namespace {

class D3D8Object : public ::testing::Test {
 protected:
  void SetUp() override { d3d8_test::Restore(); }
  void TearDown() override { d3d8_test::Restore(); }
};

TEST_F(D3D8Object, TheLibraryLoadsByNameAndGivesItsEntryPoint) {
  EXPECT_EQ(LoadDirect3DLibrary("d3d9.dll"), nullptr);
  HMODULE module = LoadDirect3DLibrary("D3D8.DLL");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(d3d8_test::LoadedLibraryCount(), 1);
  auto create = reinterpret_cast<Direct3DCreate8Proc>(GetDirect3DProcAddress(module, "Direct3DCreate8"));
  ASSERT_NE(create, nullptr);
  EXPECT_EQ(GetDirect3DProcAddress(module, "Direct3DCreate9"), nullptr);
  IDirect3D8* direct3d = create(D3D_SDK_VERSION);
  ASSERT_NE(direct3d, nullptr);
  EXPECT_EQ(direct3d->GetAdapterCount(), 1u);
  direct3d->Release();
  EXPECT_EQ(create(D3D_SDK_VERSION - 1), nullptr);
  d3d8_test::HideEntryPoint("Direct3DCreate8", true);
  EXPECT_EQ(GetDirect3DProcAddress(module, "Direct3DCreate8"), nullptr);
  EXPECT_TRUE(FreeDirect3DLibrary(module));
  EXPECT_FALSE(FreeDirect3DLibrary(module));
  EXPECT_EQ(d3d8_test::LoadedLibraryCount(), 0);
  d3d8_test::SetLibraryMissing(true);
  EXPECT_EQ(LoadDirect3DLibrary("d3d8.dll"), nullptr);
  d3d8_test::SetLibraryMissing(false);
  d3d8_test::SetCreateFails(true);
  EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION), nullptr);
}

TEST_F(D3D8Object, ListsTheAdaptersModesAndItsCurrentOne) {
  D3DDISPLAYMODE desktop{1280, 1024, 60, D3DFMT_X8R8G8B8};
  d3d8_test::SetDesktopMode(desktop);
  d3d8_test::SetDisplayModes(std::vector<D3DDISPLAYMODE>{{640, 480, 60, D3DFMT_R5G6B5}, desktop});
  IDirect3D8* direct3d = Direct3DCreate8(D3D_SDK_VERSION);
  EXPECT_EQ(direct3d->GetAdapterModeCount(D3DADAPTER_DEFAULT), 2u);
  EXPECT_EQ(direct3d->GetAdapterModeCount(1), 0u);
  D3DDISPLAYMODE mode;
  ASSERT_EQ(direct3d->EnumAdapterModes(D3DADAPTER_DEFAULT, 0, &mode), D3D_OK);
  EXPECT_EQ(mode.Width, 640u);
  EXPECT_EQ(mode.Format, D3DFMT_R5G6B5);
  EXPECT_EQ(direct3d->EnumAdapterModes(D3DADAPTER_DEFAULT, 2, &mode), D3DERR_INVALIDCALL);
  ASSERT_EQ(direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
  EXPECT_EQ(mode.Width, 1280u);
  EXPECT_EQ(mode.RefreshRate, 60u);
  direct3d->Release();
}

TEST_F(D3D8Object, TheDisplaySystemsDesktopIsAlwaysAMode) {
  IDirect3D8* direct3d = Direct3DCreate8(D3D_SDK_VERSION);
  D3DDISPLAYMODE desktop;
  ASSERT_EQ(direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop), D3D_OK);
  EXPECT_GT(desktop.Width, 0u);
  bool listed = false;
  for (UINT i = 0; i < direct3d->GetAdapterModeCount(D3DADAPTER_DEFAULT); ++i) {
    D3DDISPLAYMODE mode;
    direct3d->EnumAdapterModes(D3DADAPTER_DEFAULT, i, &mode);
    listed = listed || (mode.Width == desktop.Width && mode.Height == desktop.Height && mode.Format == desktop.Format);
  }
  EXPECT_TRUE(listed);
  direct3d->Release();
}

TEST_F(D3D8Object, CapsSayHowVerticesAreProcessed) {
  IDirect3D8* direct3d = Direct3DCreate8(D3D_SDK_VERSION);
  D3DCAPS8 caps;
  ASSERT_EQ(direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
  EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
  EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_PUREDEVICE);
  EXPECT_EQ(caps.MaxActiveLights, 8u);
  EXPECT_EQ(caps.MaxStreams, 1u);
  d3d8_test::SetVertexProcessing(true, false);
  direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
  EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
  EXPECT_FALSE(caps.DevCaps & D3DDEVCAPS_PUREDEVICE);
  d3d8_test::SetVertexProcessing(false, true);
  direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
  EXPECT_FALSE(caps.DevCaps & (D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_PUREDEVICE));
  EXPECT_EQ(direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_REF, &caps), D3DERR_NOTAVAILABLE);
  direct3d->Release();
}

class D3D8Creation : public D3D8Object {
 protected:
  void SetUp() override {
    D3D8Object::SetUp();
    window = windows.make(WS_POPUP, 0, 0, 0, 24, 16);
    direct3d = Direct3DCreate8(D3D_SDK_VERSION);
  }
  void TearDown() override {
    if (device) device->Release();
    direct3d->Release();
    D3D8Object::TearDown();
  }
  HRESULT Create(DWORD behaviour, D3DPRESENT_PARAMETERS p, D3DDEVTYPE type = D3DDEVTYPE_HAL) {
    if (device) device->Release();
    device = nullptr;
    return direct3d->CreateDevice(D3DADAPTER_DEFAULT, type, window, behaviour, &p, &device);
  }
  D3DPRESENT_PARAMETERS Windowed() const {
    D3DPRESENT_PARAMETERS p;
    p.Windowed = TRUE;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    return p;
  }
  MessageRecorder windows;
  HWND window = nullptr;
  IDirect3D8* direct3d = nullptr;
  IDirect3DDevice8* device = nullptr;
};

TEST_F(D3D8Creation, AWindowedDeviceTakesTheWindowsSizeAndTheDesktopsFormat) {
  D3DPRESENT_PARAMETERS p = Windowed();
  ASSERT_EQ(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                   &p, &device),
            D3D_OK);
  EXPECT_EQ(p.BackBufferWidth, 24u);
  EXPECT_EQ(p.BackBufferHeight, 16u);
  EXPECT_EQ(p.hDeviceWindow, window);
  D3DDISPLAYMODE desktop;
  direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop);
  EXPECT_EQ(p.BackBufferFormat, desktop.Format);
  EXPECT_EQ(d3d8_test::LiveDeviceCount(), 1);
  IDirect3DSurface8* back = nullptr;
  device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
  D3DSURFACE_DESC description;
  back->GetDesc(&description);
  EXPECT_EQ(description.Width, 24u);
  back->Release();
  IDirect3DSurface8* depth = nullptr;
  EXPECT_EQ(device->GetDepthStencilSurface(&depth), D3DERR_NOTFOUND);  // none was asked for
}

TEST_F(D3D8Creation, RefusesWhatTheAdapterCannotDo) {
  EXPECT_EQ(Create(0, Windowed()), D3DERR_INVALIDCALL);
  EXPECT_EQ(Create(D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING, Windowed()),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(Create(D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE, Windowed()), D3DERR_INVALIDCALL);
  EXPECT_EQ(Create(D3DCREATE_SOFTWARE_VERTEXPROCESSING, Windowed(), D3DDEVTYPE_REF), D3DERR_NOTAVAILABLE);
  d3d8_test::SetVertexProcessing(false, false);
  EXPECT_EQ(Create(D3DCREATE_HARDWARE_VERTEXPROCESSING, Windowed()), D3DERR_INVALIDCALL);
  EXPECT_EQ(Create(D3DCREATE_SOFTWARE_VERTEXPROCESSING, Windowed()), D3D_OK);
  D3DPRESENT_PARAMETERS wrongFormat = Windowed();
  wrongFormat.BackBufferFormat = D3DFMT_A8R8G8B8;
  EXPECT_EQ(Create(D3DCREATE_SOFTWARE_VERTEXPROCESSING, wrongFormat), D3DERR_INVALIDCALL);
  D3DPRESENT_PARAMETERS badDepth = Windowed();
  badDepth.EnableAutoDepthStencil = TRUE;
  badDepth.AutoDepthStencilFormat = D3DFMT_X8R8G8B8;
  EXPECT_EQ(Create(D3DCREATE_SOFTWARE_VERTEXPROCESSING, badDepth), D3DERR_INVALIDCALL);
  d3d8_test::SetCreateDeviceFails(true);
  EXPECT_EQ(Create(D3DCREATE_SOFTWARE_VERTEXPROCESSING, Windowed()), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(d3d8_test::LiveDeviceCount(), 0);
}

TEST_F(D3D8Creation, FullScreenTakesOnlyTheAdaptersModesAndShowsThemWhileItLasts) {
  D3DDISPLAYMODE desktop{1024, 768, 60, D3DFMT_X8R8G8B8};
  d3d8_test::SetDesktopMode(desktop);
  d3d8_test::SetDisplayModes(std::vector<D3DDISPLAYMODE>{{640, 480, 60, D3DFMT_R5G6B5}, desktop});
  D3DPRESENT_PARAMETERS full;
  full.Windowed = FALSE;
  full.SwapEffect = D3DSWAPEFFECT_DISCARD;
  full.BackBufferWidth = 800;
  full.BackBufferHeight = 600;
  full.BackBufferFormat = D3DFMT_X8R8G8B8;
  EXPECT_EQ(Create(D3DCREATE_SOFTWARE_VERTEXPROCESSING, full), D3DERR_INVALIDCALL);
  full.BackBufferWidth = 640;
  full.BackBufferHeight = 480;
  full.BackBufferFormat = D3DFMT_R5G6B5;
  ASSERT_EQ(Create(D3DCREATE_SOFTWARE_VERTEXPROCESSING, full), D3D_OK);
  D3DDISPLAYMODE shown;
  direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &shown);
  EXPECT_EQ(shown.Width, 640u);
  EXPECT_EQ(shown.Format, D3DFMT_R5G6B5);
  // A 16-bit back buffer clears and shows.
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1, 0);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  D3DPRESENT_PARAMETERS windowed = Windowed();
  ASSERT_EQ(device->Reset(&windowed), D3D_OK);
  direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &shown);
  EXPECT_EQ(shown.Width, 1024u);
  ASSERT_EQ(device->Reset(&full), D3D_OK);
  device->Release();
  device = nullptr;
  direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &shown);
  EXPECT_EQ(shown.Width, 1024u);
}

}  // namespace
