#pragma once
// The Direct3D 8 device on an OpenGL context of its window. The device keeps
// Direct3D's state (render and texture-stage states, transforms, viewport,
// material, lights, bindings) and turns it into GL state when it draws; the
// back buffer, render targets and depth buffers are GL textures and
// renderbuffers drawn through a framebuffer object, and Present copies the
// back buffer onto the window.
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "compat/d3d8/internal/resources.h"

namespace d3d8_internal {

class Direct3D;

struct LightSlot {
  D3DLIGHT8 light;
  bool enabled = false;
};

// Everything a state block can record and Reset puts back to its default.
struct DeviceState {
  std::array<DWORD, D3DRS_COUNT> renderStates{};
  std::array<std::array<DWORD, D3DTSS_COUNT>, D3D8_TEXTURE_STAGES> stageStates{};
  D3DMATRIX world;
  D3DMATRIX view;
  D3DMATRIX projection;
  std::array<D3DMATRIX, D3D8_TEXTURE_STAGES> textureTransforms;
  D3DVIEWPORT8 viewport;
  D3DMATERIAL8 material;
  std::map<DWORD, LightSlot> lights;
};

// One recorded state call.
struct RenderStateCall {
  D3DRENDERSTATETYPE state;
  DWORD value;
};
struct StageStateCall {
  DWORD stage;
  D3DTEXTURESTAGESTATETYPE type;
  DWORD value;
};
struct TransformCall {
  D3DTRANSFORMSTATETYPE state;
  D3DMATRIX matrix;
};
struct ViewportCall {
  D3DVIEWPORT8 viewport;
};
struct MaterialCall {
  D3DMATERIAL8 material;
};
struct LightCall {
  DWORD index;
  D3DLIGHT8 light;
};
struct LightEnableCall {
  DWORD index;
  BOOL enable;
};
struct TextureCall {
  DWORD stage;
  Ref<Texture> texture;
};
using StateCall = std::variant<RenderStateCall, StageStateCall, TransformCall, ViewportCall, MaterialCall,
                               LightCall, LightEnableCall, TextureCall>;
struct StateBlock {
  std::vector<StateCall> calls;
};

// Where each component of a flexible vertex format sits.
struct FVFLayout {
  int size = 0;
  int normal = -1;
  int diffuse = -1;
  int specular = -1;
  int texCoord = -1;
};
// False for bits the layer does not know (or without a position).
bool LayoutOf(DWORD fvf, FVFLayout& layout);

class Device final : public IDirect3DDevice8 {
 public:
  Device(Direct3D* direct3d, std::shared_ptr<DeviceCore> core, HWND focusWindow, DWORD behaviour);
  ~Device() override;
  // Makes the back buffer and the first state; false when GL cannot.
  HRESULT Start(D3DPRESENT_PARAMETERS& parameters);

  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override;

  HRESULT TestCooperativeLevel() override;
  UINT GetAvailableTextureMem() override;
  HRESULT GetDeviceCaps(D3DCAPS8* caps) override;
  HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
  HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow, const void* dirtyRegion) override;
  HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface) override;

  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        IDirect3DTexture8** texture) override;
  HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             IDirect3DVertexBuffer8** buffer) override;
  HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DIndexBuffer8** buffer) override;
  HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                             BOOL lockable, IDirect3DSurface8** surface) override;
  HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                    IDirect3DSurface8** surface) override;
  HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) override;
  HRESULT CopyRects(IDirect3DSurface8* source, const RECT* sourceRects, UINT count, IDirect3DSurface8* destination,
                    const POINT* destPoints) override;
  HRESULT SetRenderTarget(IDirect3DSurface8* target, IDirect3DSurface8* depth) override;
  HRESULT GetRenderTarget(IDirect3DSurface8** target) override;
  HRESULT GetDepthStencilSurface(IDirect3DSurface8** depth) override;

  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;

  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
  HRESULT SetViewport(const D3DVIEWPORT8* viewport) override;
  HRESULT GetViewport(D3DVIEWPORT8* viewport) override;
  HRESULT SetMaterial(const D3DMATERIAL8* material) override;
  HRESULT GetMaterial(D3DMATERIAL8* material) override;
  HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override;
  HRESULT GetLight(DWORD index, D3DLIGHT8* light) override;
  HRESULT LightEnable(DWORD index, BOOL enable) override;
  HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
  HRESULT SetTexture(DWORD stage, IDirect3DTexture8* texture) override;
  HRESULT GetTexture(DWORD stage, IDirect3DTexture8** texture) override;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;

  HRESULT BeginStateBlock() override;
  HRESULT EndStateBlock(DWORD* token) override;
  HRESULT ApplyStateBlock(DWORD token) override;
  HRESULT DeleteStateBlock(DWORD token) override;

  HRESULT SetVertexShader(DWORD fvf) override;
  HRESULT SetPixelShader(DWORD handle) override;
  HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) override;
  HRESULT SetIndices(IDirect3DIndexBuffer8* buffer, UINT baseVertexIndex) override;
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
  HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT startIndex,
                               UINT primitiveCount) override;

  // The device is lost from now on (see d3d8_test::LoseDevices).
  void Lose(int stillLostAnswers);

 private:
  enum class Level { Operational, Lost, NotReset };
  // Which parts of the GL state must be made again before the next draw.
  enum Dirty : uint32_t {
    kDirtyViewport = 1,
    kDirtyTransforms = 2,
    kDirtyLights = 4,
    kDirtyMaterial = 8,
    kDirtyStages = 16,
    kDirtyRaster = 32,
    kDirtyTarget = 64,
    kDirtyAll = 127,
  };

  // ---- set-up (device.cpp) -----------------------------------------------------------
  HRESULT CheckParameters(D3DPRESENT_PARAMETERS& parameters) const;
  bool BackBufferOnWindow(const D3DPRESENT_PARAMETERS& parameters) const;
  HRESULT MakeBackBuffer(const D3DPRESENT_PARAMETERS& parameters);
  void ApplyDisplayMode(const D3DPRESENT_PARAMETERS& parameters);
  void DefaultState();
  void DropBindings();
  void DropStateBlocks();
  bool lost() const { return level_ != Level::Operational; }

  // ---- state (device_state.cpp) ---------------------------------------------------------
  // The state calls, carried out (the recorded ones go through these too).
  void DoRenderState(D3DRENDERSTATETYPE state, DWORD value);
  void DoStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
  void DoTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix);
  void DoViewport(const D3DVIEWPORT8& viewport);
  void DoMaterial(const D3DMATERIAL8& material);
  void DoLight(DWORD index, const D3DLIGHT8& light);
  void DoLightEnable(DWORD index, BOOL enable);
  void DoTexture(DWORD stage, Texture* texture);
  void Carry(const StateCall& call);
  // Get* is refused on a pure device, as on the system.
  bool pure() const { return (behaviour_ & D3DCREATE_PUREDEVICE) != 0; }

  // ---- GL (device_pipeline.cpp) ------------------------------------------------------------
  bool BindTarget();
  void ApplyViewport();
  void ApplyTransforms();
  void ApplyLights();
  void ApplyMaterial(const FVFLayout& layout);
  void ApplyStages(const FVFLayout& layout, const uint8_t* vertices, UINT stride);
  void ApplyRaster();
  void ApplyArrays(const FVFLayout& layout, const uint8_t* vertices, UINT stride, UINT vertexCount);
  bool PrepareDraw(const FVFLayout& layout, const uint8_t* vertices, UINT stride, UINT vertexCount);
  void FinishDraw(const FVFLayout& layout);
  // Margins of the GL viewport around Direct3D's, in pixels.
  struct GuardBand {
    float marginX = 0;
    float marginY = 0;
  };
  GuardBand Guard() const;
  // What follows the projection: the guard band, and for drivers without
  // float viewports and clip control the pixel centres and depth range.
  D3DMATRIX Correction() const;
  UINT targetHeight() const;

  uint32_t refs_ = 1;
  Direct3D* direct3d_;
  std::shared_ptr<DeviceCore> core_;
  HWND focusWindow_;
  DWORD behaviour_;
  D3DPRESENT_PARAMETERS parameters_;
  Level level_ = Level::Operational;
  int stillLostAnswers_ = 0;
  bool inScene_ = false;
  bool fullScreen_ = false;

  DeviceState state_;
  std::array<Ref<Texture>, D3D8_TEXTURE_STAGES> textures_;
  DWORD fvf_ = 0;
  Ref<VertexBuffer> stream_;
  UINT stride_ = 0;
  Ref<IndexBuffer> indices_;
  UINT baseVertex_ = 0;

  Ref<Surface> backBuffer_;
  Ref<Surface> autoDepth_;
  Ref<Surface> renderTarget_;
  Ref<Surface> depthSurface_;
  GLuint whiteTexture_ = 0;  // what a stage without a texture reads: opaque white

  std::unique_ptr<StateBlock> recording_;
  std::map<DWORD, StateBlock> stateBlocks_;
  DWORD nextStateBlock_ = 1;

  uint32_t dirty_ = kDirtyAll;
  GuardBand guard_;
  std::vector<uint8_t> colourScratch_;  // vertex colours for drivers without BGRA arrays
};

// Devices made and not yet released.
std::vector<Device*>& LiveDevices();

}  // namespace d3d8_internal
