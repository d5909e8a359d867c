#pragma once
// A window with a Direct3D 8 device on it (SDL's offscreen driver, Mesa's
// software GL), with helpers that draw screen-space geometry and read back
// what the device drew, for the tests of the Direct3D 8 layer.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "compat/d3d8/d3d8.h"
#include "compat/d3d8/test_hooks.h"
#include "tests/compat/message_recorder.h"

// Position, colour, texture coordinate.
struct VertexPCT {
  float x, y, z;
  D3DCOLOR color;
  float u, v;
};
constexpr DWORD kFvfPCT = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// Position, normal.
struct VertexPN {
  float x, y, z;
  float nx, ny, nz;
};
constexpr DWORD kFvfPN = D3DFVF_XYZ | D3DFVF_NORMAL;

inline D3DMATRIX IdentityMatrix() {
  D3DMATRIX m;
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1;
  return m;
}

// Screen pixels to clip space: x right, y down, z from 0 to 1 as given.
inline D3DMATRIX ScreenProjection(float width, float height) {
  D3DMATRIX m;
  m.m[0][0] = 2 / width;
  m.m[1][1] = -2 / height;
  m.m[2][2] = 1;
  m.m[3][0] = -1;
  m.m[3][1] = 1;
  m.m[3][3] = 1;
  return m;
}

class D3D8Fixture : public ::testing::Test {
 protected:
  static constexpr int kWidth = 32;
  static constexpr int kHeight = 24;

  void SetUp() override {
    d3d8_test::Restore();
    window = windows.make(WS_POPUP, 0, 0, 0, kWidth, kHeight);
    d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    parameters = WindowedParameters();
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                &parameters, &device),
              D3D_OK);
    UseScreenSpace();
  }

  void TearDown() override {
    if (device) device->Release();
    if (d3d) d3d->Release();
    d3d8_test::Restore();
  }

  D3DPRESENT_PARAMETERS WindowedParameters() const {
    D3DPRESENT_PARAMETERS p;
    p.hDeviceWindow = window;
    p.Windowed = TRUE;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D16;
    return p;
  }

  // Identity world and view, the screen projection, no lighting, no culling,
  // texture stage 0 passing the vertex colour.
  void UseScreenSpace() {
    D3DMATRIX identity = IdentityMatrix(), screen = ScreenProjection(kWidth, kHeight);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetTransform(D3DTS_VIEW, &identity);
    device->SetTransform(D3DTS_PROJECTION, &screen);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  }

  // A vertex buffer holding the vertices (default pool, write-only).
  template <typename Vertex>
  IDirect3DVertexBuffer8* MakeBuffer(const std::vector<Vertex>& vertices, DWORD fvf) {
    IDirect3DVertexBuffer8* buffer = nullptr;
    auto length = static_cast<UINT>(vertices.size() * sizeof(Vertex));
    EXPECT_EQ(device->CreateVertexBuffer(length, D3DUSAGE_WRITEONLY, fvf, D3DPOOL_DEFAULT, &buffer), D3D_OK);
    BYTE* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, vertices.data(), length);
    buffer->Unlock();
    return buffer;
  }

  // Draws a triangle list of the vertices in one scene.
  template <typename Vertex>
  HRESULT DrawList(const std::vector<Vertex>& vertices, DWORD fvf) {
    IDirect3DVertexBuffer8* buffer = MakeBuffer(vertices, fvf);
    device->SetVertexShader(fvf);
    device->SetStreamSource(0, buffer, sizeof(Vertex));
    device->BeginScene();
    HRESULT result = device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(vertices.size() / 3));
    device->EndScene();
    device->SetStreamSource(0, nullptr, 0);
    buffer->Release();
    return result;
  }

  // Two triangles covering left..right x top..bottom (screen coordinates as
  // given) in one colour, texture coordinates 0..1.
  static std::vector<VertexPCT> Quad(float left, float top, float right, float bottom, D3DCOLOR color,
                                     float z = 0) {
    VertexPCT a{left, top, z, color, 0, 0}, b{right, top, z, color, 1, 0};
    VertexPCT c{right, bottom, z, color, 1, 1}, d{left, bottom, z, color, 0, 1};
    return {a, b, c, a, c, d};
  }

  // Clears the whole target.
  void ClearTo(D3DCOLOR color) { device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, color, 1.0f, 0); }

  // The pixels of a colour surface (rows top-down, ARGB words) through an
  // image surface.
  std::vector<uint32_t> ReadSurface(IDirect3DSurface8* surface) {
    D3DSURFACE_DESC description;
    surface->GetDesc(&description);
    IDirect3DSurface8* image = nullptr;
    std::vector<uint32_t> pixels;
    if (device->CreateImageSurface(description.Width, description.Height, description.Format, &image) != D3D_OK) {
      return pixels;
    }
    if (device->CopyRects(surface, nullptr, 0, image, nullptr) == D3D_OK) {
      D3DLOCKED_RECT locked;
      if (image->LockRect(&locked, nullptr, D3DLOCK_READONLY) == D3D_OK) {
        pixels.resize(static_cast<size_t>(description.Width) * description.Height);
        for (UINT y = 0; y < description.Height; ++y) {
          std::memcpy(pixels.data() + static_cast<size_t>(y) * description.Width,
                      static_cast<const uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch,
                      description.Width * 4);
        }
        image->UnlockRect();
      }
    }
    image->Release();
    return pixels;
  }

  std::vector<uint32_t> ReadBackBuffer() {
    IDirect3DSurface8* back = nullptr;
    EXPECT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    std::vector<uint32_t> pixels = ReadSurface(back);
    back->Release();
    return pixels;
  }

  static uint32_t At(const std::vector<uint32_t>& pixels, int x, int y, int width = kWidth) {
    return pixels.at(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x));
  }
  static uint32_t Rgb(uint32_t c) { return c & 0xFFFFFF; }

  MessageRecorder windows;
  HWND window = nullptr;
  IDirect3D8* d3d = nullptr;
  IDirect3DDevice8* device = nullptr;
  D3DPRESENT_PARAMETERS parameters;
};
