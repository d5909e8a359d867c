#pragma once
// Direct3D 8 on OpenGL: the Direct3D object (adapter caps, display modes,
// device creation), the device (reset and the cooperative levels, present,
// scenes, clears, viewport, transforms, material, lights, render and
// texture-stage states, state blocks, drawing from vertex and index buffers,
// render targets and surface copies) and its resources (textures, surfaces,
// vertex and index buffers).
//
// What callers can rely on, as on the system:
// - Pixel centres lie on whole screen coordinates: a vertex at (x - 0.5,
//   y - 0.5) lies on the top-left corner of pixel (x, y), and texel centres
//   are at (i + 0.5) / size, so a quad moved by half a pixel maps texels to
//   pixels one to one.
// - Projected depth runs from 0 (near) to 1 (far) and is clipped there.
// - Locked rectangles of textures and surfaces are rows top-down; row 0 of a
//   texture is sampled at v = 0.
// - Vertex colours are D3DCOLOR words (bytes blue, green, red, alpha).
// - Texture stages combine by their operations (select, modulate ...): a stage
//   that selects the texture passes the texture's colour and alpha.
// - Lighting adds no global ambient unless D3DRS_AMBIENT asks for it, and no
//   specular light unless D3DRS_SPECULARENABLE is on; with lighting off a
//   vertex without a colour is opaque white.
// - Default-pool buffers, render targets and depth surfaces must all be
//   released before Reset succeeds, and are made anew after it; managed
//   textures keep their contents through it.
// - A device can be lost (see TestCooperativeLevel): it then draws nothing
//   and Present fails until a Reset succeeds.
//
// Objects are reference counted: Release the last reference to free one. A
// resource stays usable when its device is released first, but draws nowhere.
#include "compat/d3d8/d3d8_types.h"

class IDirect3DDevice8;

class IDirect3DUnknown8 {
 public:
  virtual uint32_t AddRef() = 0;
  // Answers the references left; the object is gone at 0.
  virtual uint32_t Release() = 0;

 protected:
  virtual ~IDirect3DUnknown8() = default;
};

// A 2D picture: the back buffer, a render target, a depth buffer or a
// system-memory image.
class IDirect3DSurface8 : public IDirect3DUnknown8 {
 public:
  virtual HRESULT GetDesc(D3DSURFACE_DESC* description) = 0;
  // Null rectangle: the whole surface. Render targets lock only when made
  // lockable, depth buffers never.
  virtual HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect() = 0;
};

class IDirect3DTexture8 : public IDirect3DUnknown8 {
 public:
  virtual DWORD GetLevelCount() = 0;
  virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* description) = 0;
  // Null rectangle: the whole level. What is written reaches the texture at
  // UnlockRect.
  virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
  virtual HRESULT UnlockRect(UINT level) = 0;
};

// Vertex and index buffers: bytes locked by range (size 0: to the end).
class IDirect3DVertexBuffer8 : public IDirect3DUnknown8 {
 public:
  virtual HRESULT GetDesc(D3DVERTEXBUFFER_DESC* description) = 0;
  virtual HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) = 0;
  virtual HRESULT Unlock() = 0;
};

class IDirect3DIndexBuffer8 : public IDirect3DUnknown8 {
 public:
  virtual HRESULT GetDesc(D3DINDEXBUFFER_DESC* description) = 0;
  virtual HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) = 0;
  virtual HRESULT Unlock() = 0;
};

class IDirect3D8 : public IDirect3DUnknown8 {
 public:
  virtual UINT GetAdapterCount() = 0;
  virtual UINT GetAdapterModeCount(UINT adapter) = 0;
  virtual HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) = 0;
  // The mode the adapter shows now: the desktop's, or a full-screen device's.
  virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) = 0;
  virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) = 0;
  virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviourFlags,
                               D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) = 0;
};

class IDirect3DDevice8 : public IDirect3DUnknown8 {
 public:
  // ---- the device itself ----------------------------------------------------------------
  // D3D_OK, or while lost D3DERR_DEVICELOST (nothing to do yet) and then
  // D3DERR_DEVICENOTRESET (Reset now).
  virtual HRESULT TestCooperativeLevel() = 0;
  virtual UINT GetAvailableTextureMem() = 0;
  virtual HRESULT GetDeviceCaps(D3DCAPS8* caps) = 0;
  virtual HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) = 0;
  // Null rectangles and window: the whole back buffer onto the whole window.
  virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow, const void* dirtyRegion) = 0;
  virtual HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface) = 0;

  // ---- resources -------------------------------------------------------------------------
  // Levels 0: the whole chain down to 1 x 1.
  virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                IDirect3DTexture8** texture) = 0;
  virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     IDirect3DVertexBuffer8** buffer) = 0;
  virtual HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DIndexBuffer8** buffer) = 0;
  virtual HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                     BOOL lockable, IDirect3DSurface8** surface) = 0;
  virtual HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                            D3DMULTISAMPLE_TYPE multiSample, IDirect3DSurface8** surface) = 0;
  // A lockable surface in system memory, the target of CopyRects.
  virtual HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) = 0;
  // Copies rectangles (null: the whole source) between surfaces of one
  // format; points (null: the rectangles' own places) say where they land.
  virtual HRESULT CopyRects(IDirect3DSurface8* source, const RECT* sourceRects, UINT count,
                            IDirect3DSurface8* destination, const POINT* destPoints) = 0;
  // Null target: the current one stays; null depth: no depth buffer. The
  // viewport becomes the whole target.
  virtual HRESULT SetRenderTarget(IDirect3DSurface8* target, IDirect3DSurface8* depth) = 0;
  virtual HRESULT GetRenderTarget(IDirect3DSurface8** target) = 0;
  virtual HRESULT GetDepthStencilSurface(IDirect3DSurface8** depth) = 0;

  // ---- frames -----------------------------------------------------------------------------
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  // Within the viewport (and the rectangles when given), whatever the render
  // states say.
  virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) = 0;

  // ---- state ------------------------------------------------------------------------------
  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
  virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
  virtual HRESULT SetViewport(const D3DVIEWPORT8* viewport) = 0;
  virtual HRESULT GetViewport(D3DVIEWPORT8* viewport) = 0;
  virtual HRESULT SetMaterial(const D3DMATERIAL8* material) = 0;
  virtual HRESULT GetMaterial(D3DMATERIAL8* material) = 0;
  virtual HRESULT SetLight(DWORD index, const D3DLIGHT8* light) = 0;
  virtual HRESULT GetLight(DWORD index, D3DLIGHT8* light) = 0;
  virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
  virtual HRESULT GetLightEnable(DWORD index, BOOL* enable) = 0;
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
  virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
  virtual HRESULT SetTexture(DWORD stage, IDirect3DTexture8* texture) = 0;
  virtual HRESULT GetTexture(DWORD stage, IDirect3DTexture8** texture) = 0;
  virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
  virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) = 0;

  // ---- state blocks: the state calls between Begin and End are recorded,
  // not carried out, and ApplyStateBlock carries them out in order -----------------------
  virtual HRESULT BeginStateBlock() = 0;
  virtual HRESULT EndStateBlock(DWORD* token) = 0;
  virtual HRESULT ApplyStateBlock(DWORD token) = 0;
  virtual HRESULT DeleteStateBlock(DWORD token) = 0;

  // ---- drawing ------------------------------------------------------------------------------
  // A flexible vertex format (D3DFVF_ bits); programmable shaders are not offered.
  virtual HRESULT SetVertexShader(DWORD fvf) = 0;
  virtual HRESULT SetPixelShader(DWORD handle) = 0;
  virtual HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) = 0;
  // Indices are read relative to baseVertexIndex.
  virtual HRESULT SetIndices(IDirect3DIndexBuffer8* buffer, UINT baseVertexIndex) = 0;
  virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) = 0;
  // Every index read must lie in minIndex .. minIndex + vertexCount - 1.
  virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT startIndex,
                                       UINT primitiveCount) = 0;
};

// The entry point of the Direct3D 8 library: the Direct3D object, or null when
// the version is not D3D_SDK_VERSION.
IDirect3D8* Direct3DCreate8(UINT sdkVersion);
using Direct3DCreate8Proc = IDirect3D8* (*)(UINT sdkVersion);
