// The Direct3D 8 device's resources and its life: lost devices and Reset,
// managed and default-pool resources, state blocks, buffer locks, textures,
// surfaces and copies, the memory figure, and draws refused as invalid.
#include "tests/compat/d3d8_fixture.h"

namespace {

using D3D8Life = D3D8Fixture;

TEST_F(D3D8Life, ALostDeviceAnswersLostThenNotResetUntilReset) {
  d3d8_test::LoseDevices(2);
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  D3DPRESENT_PARAMETERS p = WindowedParameters();
  EXPECT_EQ(device->Reset(&p), D3DERR_DEVICELOST);  // not yet
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  // Draws are accepted and draw nothing.
  d3d8_test::TakeDrawCounts();
  EXPECT_EQ(DrawList(Quad(0, 0, 10, 10, 0xFFFFFFFF), kFvfPCT), D3D_OK);
  EXPECT_EQ(d3d8_test::TakeDrawCounts().drawn, 0);
  EXPECT_EQ(device->Reset(&p), D3D_OK);
  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(D3D8Life, DefaultPoolResourcesMustGoBeforeAReset) {
  IDirect3DVertexBuffer8* buffer = nullptr;
  ASSERT_EQ(device->CreateVertexBuffer(96, D3DUSAGE_WRITEONLY, kFvfPCT, D3DPOOL_DEFAULT, &buffer), D3D_OK);
  IDirect3DSurface8* depth = nullptr;
  ASSERT_EQ(device->CreateDepthStencilSurface(8, 8, D3DFMT_D24X8, D3DMULTISAMPLE_NONE, &depth), D3D_OK);
  EXPECT_EQ(d3d8_test::LiveDefaultPoolResources(), 2);
  D3DPRESENT_PARAMETERS p = WindowedParameters();
  EXPECT_EQ(device->Reset(&p), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);  // a failed reset leaves it lost
  buffer->Release();
  EXPECT_EQ(device->Reset(&p), D3DERR_INVALIDCALL);
  depth->Release();
  EXPECT_EQ(d3d8_test::LiveDefaultPoolResources(), 0);
  EXPECT_EQ(device->Reset(&p), D3D_OK);
  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
}

TEST_F(D3D8Life, BindingsHeldByTheDeviceDoNotBlockAReset) {
  IDirect3DVertexBuffer8* buffer = MakeBuffer(Quad(0, 0, 4, 4, 0), kFvfPCT);
  device->SetStreamSource(0, buffer, sizeof(VertexPCT));
  buffer->Release();  // the device still holds it
  EXPECT_EQ(d3d8_test::LiveDefaultPoolResources(), 1);
  D3DPRESENT_PARAMETERS p = WindowedParameters();
  EXPECT_EQ(device->Reset(&p), D3D_OK);
  EXPECT_EQ(d3d8_test::LiveDefaultPoolResources(), 0);
}

TEST_F(D3D8Life, AManagedTextureKeepsItsPixelsThroughAReset) {
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  const uint32_t pixels[2][2] = {{0xFF102030, 0xFF405060}, {0xFF708090, 0xFFA0B0C0}};
  for (int y = 0; y < 2; ++y) std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, pixels[y], 8);
  texture->UnlockRect(0);
  d3d8_test::LoseDevices(0);
  D3DPRESENT_PARAMETERS p = WindowedParameters();
  ASSERT_EQ(device->Reset(&p), D3D_OK);
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(static_cast<uint32_t*>(locked.pBits)[1], 0xFF405060u);
  EXPECT_EQ(reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + locked.Pitch)[0], 0xFF708090u);
  texture->UnlockRect(0);
  // And it still draws: the states are Direct3D's first ones after the reset.
  UseScreenSpace();
  device->SetTexture(0, texture);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  ClearTo(0xFF000000);
  DrawList(Quad(-0.5f, -0.5f, 3.5f, 3.5f, 0), kFvfPCT);
  EXPECT_EQ(Rgb(At(ReadBackBuffer(), 2, 2)), 0xA0B0C0u);
  device->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(D3D8Life, AResetPutsEveryStateBackAndForgetsStateBlocks) {
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device->BeginStateBlock();
  device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
  DWORD block = 0;
  device->EndStateBlock(&block);
  IDirect3DSurface8* oldBack = nullptr;
  device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &oldBack);
  D3DPRESENT_PARAMETERS p = WindowedParameters();
  p.BackBufferWidth = 20;
  p.BackBufferHeight = 10;
  ASSERT_EQ(device->Reset(&p), D3D_OK);
  DWORD cull = 0;
  device->GetRenderState(D3DRS_CULLMODE, &cull);
  EXPECT_EQ(cull, D3DCULL_CCW);
  DWORD lighting = 0;
  device->GetRenderState(D3DRS_LIGHTING, &lighting);
  EXPECT_EQ(lighting, 1u);
  EXPECT_EQ(device->ApplyStateBlock(block), D3DERR_INVALIDCALL);
  D3DVIEWPORT8 viewport;
  device->GetViewport(&viewport);
  EXPECT_EQ(viewport.Width, 20u);
  EXPECT_EQ(viewport.Height, 10u);
  // The old back buffer went with the reset.
  IDirect3DSurface8* image = nullptr;
  device->CreateImageSurface(kWidth, kHeight, D3DFMT_X8R8G8B8, &image);
  EXPECT_EQ(device->CopyRects(oldBack, nullptr, 0, image, nullptr), D3DERR_INVALIDCALL);
  image->Release();
  oldBack->Release();
}

TEST_F(D3D8Life, StateBlocksRecordWithoutChangingAndApplyInOrder) {
  ASSERT_EQ(device->BeginStateBlock(), D3D_OK);
  EXPECT_EQ(device->BeginStateBlock(), D3DERR_INVALIDCALL);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTALPHA);
  D3DMATRIX moved = IdentityMatrix();
  moved.m[3][0] = 7;
  device->SetTransform(D3DTS_WORLD, &moved);
  device->LightEnable(5, TRUE);
  DWORD token = 0;
  ASSERT_EQ(device->EndStateBlock(&token), D3D_OK);
  EXPECT_EQ(device->EndStateBlock(&token), D3DERR_INVALIDCALL);
  DWORD blend = 0;
  device->GetRenderState(D3DRS_SRCBLEND, &blend);
  EXPECT_EQ(blend, D3DBLEND_ONE);  // recording changed nothing
  D3DMATRIX world;
  device->GetTransform(D3DTS_WORLD, &world);
  EXPECT_EQ(world.m[3][0], 0);
  BOOL enabled = TRUE;
  EXPECT_EQ(device->GetLightEnable(5, &enabled), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->ApplyStateBlock(token), D3D_OK);
  device->GetRenderState(D3DRS_SRCBLEND, &blend);
  EXPECT_EQ(blend, D3DBLEND_DESTALPHA);
  device->GetTransform(D3DTS_WORLD, &world);
  EXPECT_EQ(world.m[3][0], 7);
  EXPECT_EQ(device->GetLightEnable(5, &enabled), D3D_OK);  // a light enabled unset is a default light
  EXPECT_TRUE(enabled);
  D3DLIGHT8 light;
  device->GetLight(5, &light);
  EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
  EXPECT_EQ(light.Direction.z, 1);
  EXPECT_EQ(device->DeleteStateBlock(token), D3D_OK);
  EXPECT_EQ(device->ApplyStateBlock(token), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->DeleteStateBlock(token), D3DERR_INVALIDCALL);
}

TEST_F(D3D8Life, APureDeviceAnswersNoStateQueries) {
  device->Release();
  device = nullptr;
  D3DPRESENT_PARAMETERS p = WindowedParameters();
  ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                              D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE, &p, &device),
            D3D_OK);
  DWORD value = 0;
  EXPECT_EQ(device->GetRenderState(D3DRS_CULLMODE, &value), D3DERR_INVALIDCALL);
  D3DMATRIX m;
  EXPECT_EQ(device->GetTransform(D3DTS_WORLD, &m), D3DERR_INVALIDCALL);
  IDirect3DSurface8* target = nullptr;
  EXPECT_EQ(device->GetRenderTarget(&target), D3D_OK);
  target->Release();
}

// ---- buffers -------------------------------------------------------------------------------------

using D3D8Buffers = D3D8Fixture;

TEST_F(D3D8Buffers, LocksStayWithinTheBuffer) {
  IDirect3DVertexBuffer8* buffer = nullptr;
  ASSERT_EQ(device->CreateVertexBuffer(100, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0, D3DPOOL_DEFAULT, &buffer),
            D3D_OK);
  D3DVERTEXBUFFER_DESC description;
  buffer->GetDesc(&description);
  EXPECT_EQ(description.Size, 100u);
  BYTE* data = nullptr;
  EXPECT_EQ(buffer->Lock(90, 11, &data, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(buffer->Lock(101, 0, &data, 0), D3DERR_INVALIDCALL);
  ASSERT_EQ(buffer->Lock(90, 10, &data, 0), D3D_OK);
  EXPECT_EQ(buffer->Lock(0, 4, &data, 0), D3DERR_INVALIDCALL);  // already locked
  buffer->Unlock();
  EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL);
  ASSERT_EQ(buffer->Lock(40, 0, &data, 0), D3D_OK);  // size 0: to the end
  std::memset(data, 0x22, 60);
  buffer->Unlock();
  buffer->Release();
}

TEST_F(D3D8Buffers, NoOverwriteKeepsEarlierBatchesAndDiscardDropsThem) {
  IDirect3DIndexBuffer8* buffer = nullptr;
  ASSERT_EQ(device->CreateIndexBuffer(16, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, D3DFMT_INDEX16, D3DPOOL_DEFAULT,
                                      &buffer),
            D3D_OK);
  BYTE* data = nullptr;
  buffer->Lock(0, 8, &data, D3DLOCK_DISCARD);
  std::memset(data, 0x01, 8);
  buffer->Unlock();
  buffer->Lock(8, 8, &data, D3DLOCK_NOOVERWRITE);
  std::memset(data, 0x02, 8);
  buffer->Unlock();
  buffer->Lock(0, 0, &data, D3DLOCK_NOOVERWRITE);
  EXPECT_EQ(data[0], 0x01);
  EXPECT_EQ(data[15], 0x02);
  buffer->Unlock();
  buffer->Lock(0, 4, &data, D3DLOCK_DISCARD);
  EXPECT_NE(data[0], 0x01);
  buffer->Unlock();
  buffer->Lock(8, 8, &data, D3DLOCK_NOOVERWRITE);
  EXPECT_NE(data[0], 0x02);  // what the buffer held before the discard is gone
  buffer->Unlock();
  buffer->Release();
}

TEST_F(D3D8Buffers, DrawsReadingPastTheirDataAreRefused) {
  d3d8_test::TakeDrawCounts();
  IDirect3DVertexBuffer8* buffer = MakeBuffer(Quad(0, 0, 10, 10, 0xFFFFFFFF), kFvfPCT);  // six vertices
  IDirect3DIndexBuffer8* indices = nullptr;
  device->CreateIndexBuffer(12, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &indices);
  BYTE* data = nullptr;
  indices->Lock(0, 0, &data, 0);
  const uint16_t values[6] = {0, 1, 2, 3, 4, 7};
  std::memcpy(data, values, sizeof values);
  indices->Unlock();
  device->SetVertexShader(kFvfPCT);
  device->SetStreamSource(0, buffer, sizeof(VertexPCT));
  device->SetIndices(indices, 0);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3DERR_INVALIDCALL);  // outside a scene
  device->BeginScene();
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3D_OK);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 1, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 6, 0, 1), D3D_OK);
  // Index 7 lies outside the named range and the buffer.
  EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 6, 0, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 5, 0, 1), D3DERR_INVALIDCALL);  // index 0 below 1
  EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 6, 4, 1), D3DERR_INVALIDCALL);  // past the indices
  device->SetIndices(indices, 1);  // base 1: vertex 1 + 5 is the last
  EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 5, 0, 1), D3D_OK);
  EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 6, 0, 1), D3DERR_INVALIDCALL);
  buffer->Lock(0, 4, &data, 0);
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);  // locked
  buffer->Unlock();
  EXPECT_EQ(device->SetVertexShader(0x004), D3DERR_INVALIDCALL);  // transformed vertices are not offered
  device->SetVertexShader(kFvfPCT);
  device->SetStreamSource(0, buffer, 16);  // shorter than the format's vertex
  EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
  device->EndScene();
  auto counts = d3d8_test::TakeDrawCounts();
  EXPECT_EQ(counts.drawn, 3);
  EXPECT_EQ(counts.refused, 8);
  device->SetStreamSource(0, nullptr, 0);
  device->SetIndices(nullptr, 0);
  buffer->Release();
  indices->Release();
}

// ---- textures and surfaces --------------------------------------------------------------------------

using D3D8Pictures = D3D8Fixture;

TEST_F(D3D8Pictures, TexturesHaveTheirLevelsAndLockByRectangle) {
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(8, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  EXPECT_EQ(texture->GetLevelCount(), 4u);
  D3DSURFACE_DESC level;
  texture->GetLevelDesc(2, &level);
  EXPECT_EQ(level.Width, 2u);
  EXPECT_EQ(level.Height, 1u);
  EXPECT_EQ(texture->GetLevelDesc(4, &level), D3DERR_INVALIDCALL);
  D3DLOCKED_RECT locked;
  RECT outside{6, 0, 9, 2};
  EXPECT_EQ(texture->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
  RECT inside{2, 1, 5, 3};
  ASSERT_EQ(texture->LockRect(0, &locked, &inside, 0), D3D_OK);
  EXPECT_EQ(texture->LockRect(0, &locked, &inside, 0), D3DERR_INVALIDCALL);
  texture->UnlockRect(0);
  EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);
  texture->Release();
  EXPECT_EQ(device->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_D16, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
}

// A picture loaded once lives in GL alone; a later lock reads it back, a
// first lock of part of a level leaves zeros around it, and a texture drawn
// before any fill shows zeros. The pitch padding makes the read-back follow
// the lock's rows.
TEST_F(D3D8Pictures, ATextureFilledOnceKeepsNoRowsAndLaterLocksReadItBack) {
  d3d8_test::SetPitchPadding(8);
  auto rowOf = [](const D3DLOCKED_RECT& locked, int y) {
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
  };
  IDirect3DTexture8 *whole = nullptr, *part = nullptr, *unfilled = nullptr;
  ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &whole), D3D_OK);
  ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &part), D3D_OK);
  ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &unfilled), D3D_OK);
  EXPECT_EQ(d3d8_test::TextureRowBytes(), 0u);
  D3DLOCKED_RECT locked;
  ASSERT_EQ(whole->LockRect(0, &locked, nullptr, 0), D3D_OK);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) rowOf(locked, y)[x] = 0xFF000000u | static_cast<uint32_t>(y * 4 + x) * 0x10101u;
  EXPECT_GT(d3d8_test::TextureRowBytes(), 0u);
  whole->UnlockRect(0);
  RECT middle{1, 1, 3, 3};
  ASSERT_EQ(part->LockRect(0, &locked, &middle, 0), D3D_OK);
  rowOf(locked, 0)[0] = 0xFFFFFFFFu;
  part->UnlockRect(0);
  EXPECT_EQ(d3d8_test::TextureRowBytes(), 0u);

  ASSERT_EQ(whole->LockRect(0, &locked, nullptr, 0), D3D_OK);
  EXPECT_EQ(rowOf(locked, 2)[3], 0xFF000000u | 11u * 0x10101u);
  rowOf(locked, 0)[0] = 0xFF123456u;
  whole->UnlockRect(0);
  ASSERT_EQ(part->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(rowOf(locked, 1)[1], 0xFFFFFFFFu);
  EXPECT_EQ(rowOf(locked, 0)[0], 0u);
  EXPECT_EQ(rowOf(locked, 3)[3], 0u);
  part->UnlockRect(0);

  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  const struct {
    IDirect3DTexture8* texture;
    uint32_t expected;
  } draws[] = {{whole, 0x123456u}, {unfilled, 0u}};
  for (const auto& draw : draws) {
    device->SetTexture(0, draw.texture);
    ClearTo(0xFF808080);
    DrawList(Quad(-0.5f, -0.5f, 3.5f, 3.5f, 0), kFvfPCT);
    EXPECT_EQ(Rgb(At(ReadBackBuffer(), 0, 0)), draw.expected);
  }
  device->SetTexture(0, nullptr);
  EXPECT_GT(d3d8_test::TextureRowBytes(), 0u);  // locked twice: the rows stay
  whole->Release();
  part->Release();
  unfilled->Release();
  EXPECT_EQ(d3d8_test::TextureRowBytes(), 0u);
}

TEST_F(D3D8Pictures, PaddedRowsAreFollowedByTheirPitch) {
  d3d8_test::SetPitchPadding(12);
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(3, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  D3DLOCKED_RECT locked;
  texture->LockRect(0, &locked, nullptr, 0);
  EXPECT_EQ(locked.Pitch, 24);
  for (int y = 0; y < 2; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
    for (int x = 0; x < 3; ++x) row[x] = y == 0 ? 0xFFFF0000 : 0xFF00FF00;
  }
  texture->UnlockRect(0);
  device->SetTexture(0, texture);
  device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  ClearTo(0xFF000000);
  DrawList(Quad(-0.5f, -0.5f, 2.5f, 1.5f, 0), kFvfPCT);
  auto pixels = ReadBackBuffer();
  EXPECT_EQ(Rgb(At(pixels, 2, 0)), 0xFF0000u);
  EXPECT_EQ(Rgb(At(pixels, 0, 1)), 0x00FF00u);
  device->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(D3D8Pictures, CopiesGoBetweenSurfacesOfOneFormatWithinTheirBounds) {
  IDirect3DSurface8* first = nullptr;
  IDirect3DSurface8* second = nullptr;
  IDirect3DSurface8* other = nullptr;
  device->CreateImageSurface(4, 4, D3DFMT_A8R8G8B8, &first);
  device->CreateImageSurface(4, 4, D3DFMT_A8R8G8B8, &second);
  device->CreateImageSurface(4, 4, D3DFMT_R5G6B5, &other);
  D3DLOCKED_RECT locked;
  first->LockRect(&locked, nullptr, 0);
  for (int i = 0; i < 4; ++i) reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + i * locked.Pitch)[i] = 0xFF000000u + i;
  first->UnlockRect();
  RECT corner{1, 1, 3, 3};
  POINT to{0, 2};
  ASSERT_EQ(device->CopyRects(first, &corner, 1, second, &to), D3D_OK);
  second->LockRect(&locked, nullptr, D3DLOCK_READONLY);
  EXPECT_EQ(reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + 2 * locked.Pitch)[0], 0xFF000001u);
  EXPECT_EQ(reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + 3 * locked.Pitch)[1], 0xFF000002u);
  second->UnlockRect();
  POINT past{3, 3};
  EXPECT_EQ(device->CopyRects(first, &corner, 1, second, &past), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CopyRects(first, nullptr, 0, other, nullptr), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->CopyRects(first, nullptr, 0, first, nullptr), D3DERR_INVALIDCALL);
  first->Release();
  second->Release();
  other->Release();
}

TEST_F(D3D8Pictures, ALockableTargetLocksForWritingAndReading) {
  IDirect3DSurface8* target = nullptr;
  ASSERT_EQ(device->CreateRenderTarget(8, 8, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, TRUE, &target), D3D_OK);
  D3DLOCKED_RECT locked;
  RECT rect{2, 3, 4, 5};
  ASSERT_EQ(target->LockRect(&locked, &rect, 0), D3D_OK);
  static_cast<uint32_t*>(locked.pBits)[1] = 0x80123456;  // pixel (3, 3)
  target->UnlockRect();
  auto pixels = ReadSurface(target);
  EXPECT_EQ(At(pixels, 3, 3, 8), 0x80123456u);
  EXPECT_EQ(At(pixels, 2, 3, 8), 0u);
  IDirect3DSurface8* fixed = nullptr;
  device->CreateRenderTarget(8, 8, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, FALSE, &fixed);
  EXPECT_EQ(fixed->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
  IDirect3DSurface8* depth = nullptr;
  device->CreateDepthStencilSurface(4, 4, D3DFMT_D16, D3DMULTISAMPLE_NONE, &depth);
  EXPECT_EQ(depth->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->SetRenderTarget(target, depth), D3DERR_INVALIDCALL);  // depth smaller than the target
  EXPECT_EQ(device->SetRenderTarget(depth, nullptr), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->SetRenderTarget(target, nullptr), D3D_OK);
  IDirect3DSurface8* none = nullptr;
  EXPECT_EQ(device->GetDepthStencilSurface(&none), D3DERR_NOTFOUND);
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1, 0), D3DERR_INVALIDCALL);
  D3DVIEWPORT8 viewport;
  device->GetViewport(&viewport);
  EXPECT_EQ(viewport.Width, 8u);
  IDirect3DSurface8* back = nullptr;
  device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
  device->SetRenderTarget(back, nullptr);
  back->Release();
  target->Release();
  fixed->Release();
  depth->Release();
}

TEST_F(D3D8Pictures, TextureMemoryIsWhatTheAdapterHasLessWhatIsMade) {
  d3d8_test::SetTextureMemory(1000000);
  UINT before = device->GetAvailableTextureMem();
  IDirect3DTexture8* texture = nullptr;
  ASSERT_EQ(device->CreateTexture(16, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
  EXPECT_EQ(device->GetAvailableTextureMem(), before - 16 * 8 * 4);
  IDirect3DTexture8* huge = nullptr;
  EXPECT_EQ(device->CreateTexture(1024, 1024, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &huge),
            D3DERR_OUTOFVIDEOMEMORY);
  texture->Release();
  EXPECT_EQ(device->GetAvailableTextureMem(), before);
}

TEST_F(D3D8Pictures, ATextureOfAnotherDeviceIsRefused) {
  IDirect3DDevice8* second = nullptr;
  HWND other = windows.make(WS_POPUP, 0, 40, 40, 16, 16);
  D3DPRESENT_PARAMETERS p = WindowedParameters();
  p.hDeviceWindow = other;
  ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, other, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p,
                              &second),
            D3D_OK);
  IDirect3DTexture8* texture = nullptr;
  second->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
  EXPECT_EQ(device->SetTexture(0, texture), D3DERR_INVALIDCALL);
  EXPECT_EQ(second->SetTexture(0, texture), D3D_OK);
  second->Release();  // the texture outlives its device
  D3DLOCKED_RECT locked;
  EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  texture->UnlockRect(0);
  texture->Release();
  EXPECT_EQ(d3d8_test::LiveDeviceCount(), 1);
}

}  // namespace
