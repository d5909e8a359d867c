#pragma once
// The Direct3D 8 device, the program's default rendering device: render
// states are state blocks, meshes live in default-pool vertex and index
// buffers (the dynamic mesh is filled by appending batches), pixmaps are
// managed textures. A layered window is rendered into off-screen surfaces in
// two passes (alpha, then colour) and copied into the window's bitmap. A lost
// device draws nothing until Direct3D lets it reset, then rebuilds its
// buffers.
#include <vector>

#include "compat/d3d8/d3d8.h"
#include "platform/device.h"

class TWin32DX8Device : public TDevice {
  Q_OBJECT(TWin32DX8Device, TDevice)

 public:
  void CreateOnWindow(TWindow* window) override;
  void Destroy() override;

  static WideString ClassDeviceName() { return W("dx8"); }
  WideString DeviceName() const override { return ClassDeviceName(); }

  void BuildRenderState(TRenderState state) override;
  void ApplyRenderState(TRenderState state) override;
  bool IsAccelerated() override { return true; }
  void FullScreen(bool on, int32_t modeIndex) override;
  // The window's size of words, as the caller's buffer has.
  bool RenderToARGB(uint32_t* destination) override;
  // Into a buffer of width x height words: no more is written, whatever the
  // window's size; a smaller frame leaves the rest of the buffer as it was.
  bool RenderToARGB(uint32_t* destination, int32_t width, int32_t height);
  // The script form (scripts hold no pixel memory): the ARGB word at window
  // pixel (x, y) of a frame rendered for the call; 0 outside the window or
  // when no frame could be read.
  uint32_t scriptRenderToARGB(int32_t x, int32_t y);
  void Render() override;
  void Present() override;
  void Resize() override;
  void SetMaterial(const TMaterial& material) override;
  void SetPixmap(int32_t stage, TPixmap* pixmap) override;
  void SetTextureMatrix(const TTextureMatrix& matrix) override;
  TMesh* CreateMesh(TVertexFormat format, int32_t vertexCount, bool indexed, int32_t indexCount, bool dynamic,
                    bool animated, int32_t frameCount) override;
  void DestroyMesh(TMesh* mesh) override;
  bool LockMeshVertex(TMesh* mesh, int32_t count, void*& data) override;
  void UnlockMeshVertex(TMesh* mesh) override;
  bool LockMeshIndex(TMesh* mesh, int32_t count, uint16_t*& data) override;
  void UnlockMeshIndex(TMesh* mesh) override;
  void DrawMesh(TMesh* mesh) override;
  void DrawLine(const TVector4F* points, int32_t count, float width) override;
  TPixmap* CreatePixmap(int32_t width, int32_t height) override;
  bool CanHoldPixmap(int32_t width, int32_t height) const override {
    return IsValidPixmapSize(width, height, static_cast<int32_t>(caps_.MaxTextureWidth));
  }
  void DestroyPixmap(TPixmap* pixmap) override;
  bool LockPixmapRectARGB(TPixmap* pixmap, const TPixmapRect& rect, bool read, uint32_t*& bits,
                          int32_t& pitch) override;
  void UnlockPixmap(TPixmap* pixmap) override;

  // Whether the device has a Direct3D device to draw with.
  bool ready() const { return d3dDevice_ != nullptr; }
  IDirect3DDevice8* d3dDevice() const { return d3dDevice_; }
  // Direct3D reported the device lost; nothing is drawn until it is reset.
  bool deviceLost() const { return deviceLost_; }
  const D3DPRESENT_PARAMETERS& presentParameters() const { return presentParameters_; }
  const D3DCAPS8& caps() const { return caps_; }
  D3DFORMAT desktopFormat() const { return desktopFormat_; }
  // The index in the screen modes of the desktop's own mode, or -1.
  int32_t desktopModeIndex() const { return desktopModeIndex_; }
  bool fullScreenRequested() const { return fullScreen_.requested; }
  // Devices holding the Direct3D library.
  static int LiveCount();

 private:
  struct TFullScreenChoice {
    bool requested = false;
    int32_t width = 0;
    int32_t height = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
  };

  // ---- creation (dx8_device.cpp) -----------------------------------------------------
  bool LoadD3DLibrary();
  DWORD ChooseBehaviour();
  void ReadDesktopMode();
  void FillScreenModes();
  void BuildPresentParameters();
  void LogHardware();
  void StartUnlit();

  // ---- frames (dx8_frame.cpp) ----------------------------------------------------------
  void ApplyFrameDefaults();
  void ApplyLights();
  void RenderLayered();
  bool CopyTargetRows(uint32_t* destination, int32_t width, int32_t height, bool bottomUp);
  bool CreateLayeredSurfaces();
  void ReleaseLayeredSurfaces();
  void ReleaseBuffers();
  void RecreateBuffers();
  // Reset with the present parameters; the buffers and surfaces are made
  // anew on success.
  bool ResetDevice();
  void ResetLostDevice();
  void EnableWindowLights(bool screenSpace);
  bool RenderToTarget(uint32_t* destination, int32_t width, int32_t height);
  bool RenderLayeredToBuffer(uint32_t* destination, int32_t width, int32_t height);
  bool isLayered() const;

  // ---- resources (dx8_resources.cpp) -----------------------------------------------------
  bool CreateMeshBuffers(TMesh* mesh);
  void ReleaseMeshBuffers(TMesh* mesh);
  void FillMeshBuffers(TMesh* mesh);
  void SetUpStream(TMesh* mesh);
  void RecordState(TRenderState state);

  D3DPRESENT_PARAMETERS presentParameters_;
  IDirect3D8* direct3d_ = nullptr;
  IDirect3DDevice8* d3dDevice_ = nullptr;
  bool holdsLibrary_ = false;
  TFullScreenChoice fullScreen_;
  D3DFORMAT desktopFormat_ = D3DFMT_UNKNOWN;
  D3DCAPS8 caps_;
  int32_t desktopModeIndex_ = -1;
  IDirect3DSurface8* imageSurface_ = nullptr;
  IDirect3DSurface8* colourTarget_ = nullptr;
  IDirect3DSurface8* depthTarget_ = nullptr;
  bool alphaPassActive_ = false;
  bool deviceLost_ = false;
  // The material Direct3D holds (compared with before it is set again).
  bool d3dMaterialKnown_ = false;
  TMaterial d3dMaterial_;
  std::vector<uint32_t> alphaPass_;
};

// Registers the Direct3D 8 device as the first device class (index 0, the
// default device), then the program's other devices after it.
void RegisterDX8Device();
