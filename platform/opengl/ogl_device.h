#pragma once
// The OpenGL device: the device operations over fixed-function OpenGL on the
// GL context of the window. Render states are display lists, meshes live in
// system memory and are drawn through client-side arrays, pixmaps are BGRA
// textures (with generated mipmaps where the driver offers them). A layered
// window is rendered off screen and read back into its bitmap.
#include <array>
#include <vector>

#include "compat/win32/win_types.h"
#include "platform/device.h"
#include "platform/opengl/gl_extensions.h"
#include "platform/opengl/gl_offscreen_buffer.h"

class TOGLDevice : public TDevice {
  Q_OBJECT(TOGLDevice, TDevice)

 public:
  void CreateOnWindow(TWindow* window) override;
  void Destroy() override;

  static WideString ClassDeviceName() { return W("ogl"); }
  WideString DeviceName() const override { return ClassDeviceName(); }

  void BuildRenderState(TRenderState state) override;
  void ApplyRenderState(TRenderState state) override;
  bool IsAccelerated() override;
  void FullScreen(bool on, int32_t modeIndex) override;
  bool RenderToARGB(uint32_t* destination) override;
  uint32_t DeviceColor(TColorARGB color) const override;
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
  void DestroyPixmap(TPixmap* pixmap) override;
  bool LockPixmapRectARGB(TPixmap* pixmap, const TPixmapRect& rect, bool read, uint32_t*& bits,
                          int32_t& pitch) override;
  void UnlockPixmap(TPixmap* pixmap) override;
  void CreatePBuffer() override;
  void FlushDrawing() override;
  void SetWorldMatrix(const TMatrix4F& matrix) override;

  // Whether the device has a GL context to draw with.
  bool ready() const { return context_ != nullptr; }
  const TGLExtensions& extensions() const { return gl_; }
  // The largest texture side the driver takes.
  int32_t maxTextureSize() const { return maxTextureSize_; }
  bool CanHoldPixmap(int32_t width, int32_t height) const override {
    return IsValidPixmapSize(width, height, maxTextureSize_);
  }
  // Layered windows are drawn in one pass where the driver blends alpha
  // separately, else in two; off, the two-pass way is taken whatever the
  // driver offers (for drivers whose separate blending is unreliable).
  void UseSeparateAlphaBlending(bool use) { gl_.blendFuncSeparate = use && gl_.blendFuncSeparateOffered; }

 private:
  bool ChoosePixelFormatFor(HDC dc);
  void LogHardware();
  void FillScreenModes();
  void MakeCurrent();
  void RecordState(TRenderState state);
  void ApplyWindowLights(bool screenSpace);
  void ApplyFrameDefaults();
  void ApplyLights();
  void RenderLayered();
  void RenderLayeredTwoPass();
  void ClearOffscreen();
  void ReadFrame(uint32_t* destination);
  void RebindStageZero();
  void UploadLocked(TPixmap* pixmap);
  bool isLayered() const;
  // Client arrays of a mesh's memory in a vertex layout, then the draw.
  void DrawClientArrays(TMesh* mesh, TVertexFormat format, const uint16_t* indices, int32_t indexCount,
                        int32_t vertexCount);
  bool DynamicVerticesFit(const TMesh* mesh, int64_t first, int64_t count) const;

  HDC dc_ = nullptr;
  HWND dcWindow_ = nullptr;  // the system window dc_ belongs to
  HGLRC context_ = nullptr;
  TGLExtensions gl_;
  TGLOffscreenBuffer offscreen_;
  bool accelerated_ = false;
  bool alphaPassActive_ = false;  // the alpha pass of a layered window: blend states stay as set
  int32_t maxTextureSize_ = 2048;
  std::array<GLuint, kRecordedStateCount> lists_{};
  std::vector<uint32_t> alphaPass_;
  std::vector<uint32_t> convert_;  // RGBA copy for drivers without BGRA transfers
  // Batches of the dynamic mesh drawn with the same states are held back and
  // drawn as one: what is held so far (indices of the dynamic mesh).
  struct TPendingDraw {
    bool active = false;
    TVertexFormat format = vfPCT;
    int32_t firstIndex = 0;
    int32_t indexCount = 0;
  };
  TPendingDraw pending_;
};

// The registered OpenGL device class. OpenGL is linked with the program, so
// this class only counts its live devices.
class TGenericGLDevice : public TOGLDevice {
  Q_OBJECT(TGenericGLDevice, TOGLDevice)

 public:
  void CreateOnWindow(TWindow* window) override;
  void Destroy() override;
  static int LiveCount();
};
