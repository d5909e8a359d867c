#pragma once
// The rendering device of one applet window. `TDevice` owns the render-state
// machine, the world and texture matrices, the current material, the registry
// of every pixmap and mesh made on it, the shared dynamic mesh of 2D drawing,
// the frame statistics and the list of screen modes. Device classes (OpenGL,
// Direct3D 8) supply the abstract operations; the shared 2D drawing services
// are implemented here once on top of them.
#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "core/geometry/geometry.h"
#include "core/objects/component.h"
#include "platform/device_render_states.h"
#include "platform/device_window.h"
#include "platform/material.h"
#include "platform/mesh.h"
#include "platform/pixmap.h"

class TCaret;
class TDeviceHost;
class TSpaceCoord;
class Variant;
class TFont;
class TWindow;
struct TDeviceClass;

// The texture-coordinate transform: [0][0] and [1][1] scale u and v, the
// third row moves them.
struct TTextureMatrix {
  float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  bool operator==(const TTextureMatrix&) const = default;
};

// The dynamic mesh's capacities, shared by every device of the program: they
// start small and grow in steps up to a limit when drawing needs more.
struct TDynamicMeshCapacity {
  int32_t vertices = 6000;
  int32_t indices = 12000;
};
inline constexpr int32_t kDynamicVertexStep = 9000;
inline constexpr int32_t kDynamicVertexLimit = 100000;
inline constexpr int32_t kDynamicIndexStep = 18000;
inline constexpr int32_t kDynamicIndexLimit = 200000;
TDynamicMeshCapacity& DynamicMeshCapacity();

// Frame-rate bookkeeping: frames and seconds are counted until more than a
// second has passed, then the rates are updated and counting starts again.
struct TFrameStatistics {
  float now = 0;
  float lastTime = 0;
  int32_t framesInWindow = 0;
  float timeInWindow = 0;
  float fps = 0;
  float maxFps = 0;
  float avgFps = 0;
  void AddFrame(float time);
};

// What saveRenderState keeps.
struct TRenderStateSave {
  TRenderStateFlags flags{};
  TMatrix4F worldMatrix = IdentityMatrix4F;
  TMaterial material;
};

class TDevice : public TSomePersistent {
  Q_OBJECT(TDevice, TSomePersistent)

 public:
  // ---- construction ------------------------------------------------------------
  // The construction body on a window: logs the start, takes the window's
  // applet as owner and host. Every device class overrides it, calls its
  // parent's first, then makes the real device, fills the screen modes and
  // calls CreateDynamicMesh.
  virtual void CreateOnWindow(TWindow* window);
  void Destroy() override;

  // ---- virtual operations --------------------------------------------------------
  // Records the device commands of one state 0-16 into stateHandles.
  virtual void BuildRenderState(TRenderState state) = 0;
  // Applies a recorded state plus the directly handled ones.
  virtual void ApplyRenderState(TRenderState state) = 0;
  // "dx8", "ogl".
  virtual WideString DeviceName() const = 0;
  virtual bool IsAccelerated() = 0;
  virtual void FullScreen(bool on, int32_t modeIndex) = 0;
  // Reads the finished frame back as ARGB words, rows top-down, window width
  // words a row; false where a device cannot.
  virtual bool RenderToARGB(uint32_t* destination) = 0;
  // The ray from the eye through a window point: origin (w = 1) and unit
  // direction, in world space.
  virtual void Pick(float x, float y, TVector4F& origin, TVector4F& direction);
  // The window's view matrix x the 3D projection (no world matrix).
  virtual TMatrix4F ModelViewProj();
  // The word a colour is stored as in vertices and clears.
  virtual uint32_t DeviceColor(TColorARGB color) const { return color; }
  // Grows the dynamic mesh when asked to, then blinks the caret.
  virtual void Tick(float deltaTime);
  virtual void Render() = 0;
  virtual void Present() = 0;
  virtual void Resize() = 0;
  virtual void SetMaterial(const TMaterial& material) = 0;
  virtual void SetPixmap(int32_t stage, TPixmap* pixmap) = 0;
  virtual void SetTextureMatrix(const TTextureMatrix& matrix) = 0;
  // The window's caret (see device_caret.cpp).
  virtual TCaret* CreateCaret(int32_t width, int32_t height, TColorARGB color);
  virtual void DestroyCaret();
  virtual void ShowCaret();
  virtual void HideCaret();
  virtual void PlaceCaret(TCaret* caret, const TMatrix4F& matrix, int32_t x, int32_t y);
  virtual void BlinkCaret(TCaret* caret, float deltaTime);
  // Copies the matrix; under rs2D the pixel offset moves its translation.
  virtual void SetWorldMatrix(const TMatrix4F& matrix);
  virtual void DrawPixmap(TPixmap* pixmap, const TRectF& rect);
  virtual void DrawText(TFont* font, const WideString& text, TColorARGB color, uint8_t flags, const TRectF& rect);
  virtual void MeasureText(TFont* font, const WideString& text, float widthLimit, int32_t& fitCount, uint8_t flags,
                           TRectF& rect);
  // A mesh on this device, registered; nil when the device cannot make it.
  virtual TMesh* CreateMesh(TVertexFormat format, int32_t vertexCount, bool indexed, int32_t indexCount,
                            bool dynamic, bool animated, int32_t frameCount) = 0;
  virtual void DestroyMesh(TMesh* mesh) = 0;
  // A pointer for writing `count` vertices, which the next DrawMesh draws; the
  // batch's first vertex is in mesh->batchFirstVertex.
  virtual bool LockMeshVertex(TMesh* mesh, int32_t count, void*& data) = 0;
  virtual void UnlockMeshVertex(TMesh* mesh) = 0;
  virtual bool LockMeshIndex(TMesh* mesh, int32_t count, uint16_t*& data) = 0;
  virtual void UnlockMeshIndex(TMesh* mesh) = 0;
  virtual void DrawMesh(TMesh* mesh) = 0;
  // Line segments (pairs of points) in the material's diffuse colour.
  virtual void DrawLine(const TVector4F* points, int32_t count, float width) = 0;
  // A pixmap on this device, registered; nil when the size is not one the
  // device can hold.
  virtual TPixmap* CreatePixmap(int32_t width, int32_t height) = 0;
  // Whether CreatePixmap can make a pixmap of the size, asked first by a
  // loader, which then names the file it cannot show.
  virtual bool CanHoldPixmap(int32_t width, int32_t height) const {
    return IsValidPixmapSize(width, height, INT32_MAX);
  }
  virtual void DestroyPixmap(TPixmap* pixmap) = 0;
  // Pixels of the rectangle: `bits` is its first pixel, `pitch` the bytes
  // from one row to the next. False for a rectangle outside the pixmap.
  virtual bool LockPixmapRectARGB(TPixmap* pixmap, const TPixmapRect& rect, bool read, uint32_t*& bits,
                                  int32_t& pitch) = 0;
  virtual void UnlockPixmap(TPixmap* pixmap) = 0;
  virtual TFont* CreateFont(const std::string& family, float size, int32_t style);
  virtual void DestroyFont(TFont* font);
  // OpenGL devices: the off-screen buffer of a layered window.
  virtual void CreatePBuffer() {}
  // Draws whatever a device has held back to draw together; called before
  // anything the held-back drawing depends on changes behind the device's
  // operations (a restored world matrix, a new frame).
  virtual void FlushDrawing() {}

  // ---- render states -----------------------------------------------------------
  void SetRenderState(TRenderState state);
  bool RenderStateOn(TRenderState state) const { return stateFlags_[state]; }
  void saveRenderState();
  void restoreRenderState();
  void BuildRenderStates();
  int32_t stateChanges() const { return stateChanges_; }

  // ---- frames ------------------------------------------------------------------
  // The device-independent body of every frame.
  void RenderScene();
  void Redraw();
  bool framePending() const { return framePending_; }
  void ShowDebugInfo();
  void LogStatistics();
  const TFrameStatistics& statistics() const { return statistics_; }
  int32_t triangleCount() const { return triangleCount_; }
  int32_t particleCount() const { return particleCount_; }
  void AddParticles(int32_t count) { particleCount_ += count; }

  // ---- resources -----------------------------------------------------------------
  void CreateDynamicMesh();
  void GrowDynamicMesh();
  void DestroyResources();
  TMesh* dynamicMesh() const { return dynamicMesh_; }
  const std::vector<TMesh*>& meshes() const { return meshes_; }
  const std::vector<TPixmap*>& pixmaps() const { return pixmaps_; }
  bool growRequested() const { return growRequested_; }

  // ---- matrices, material, colour ---------------------------------------------------
  const TMatrix4F& worldMatrix() const { return worldMatrix_; }
  const TTextureMatrix& textureMatrix() const { return textureMatrix_; }
  const TMaterial& material() const { return material_; }
  float pixelOffset() const { return pixelOffset_; }
  void SetColor(TColorARGB color);

  // ---- shared drawing services -------------------------------------------------------
  void DrawPixmapAt(TPixmap* pixmap, float x, float y);
  void DrawPixmapNineSlice(TPixmap* pixmap, const TRectF& rect, const TRectF& margins);
  void DrawPixmapNineSliceTiled(TPixmap* pixmap, const TRectF& rect, const TRectF& margins);
  void DrawPixmapTiled(TPixmap* pixmap, const TRectF& rect);
  void FillRect(float left, float top, float right, float bottom, float depth);
  void FillRectF(const TRectF& rect, float depth);
  void FrameRectF(const TRectF& rect, float depth, float lineWidth);
  void DrawBox(const TVector3F& corner1, const TVector3F& corner2);
  void DrawWireBox(const TVector3F& corner1, const TVector3F& corner2, float width);
  void DrawBoundBox(const TBoundBoxF& box, float width);
  void DrawSegment(const TVector4F& from, const TVector4F& to, float width);
  void DrawTextFit(TFont* font, const WideString& text, TColorARGB color, uint8_t flags, TRectF& rect);
  // The lowest free light-table entry (1 to 7), or -1 when all are in use.
  int32_t AllocLight();
  // Gives an entry back: it goes dark and AllocLight hands it out again.
  void FreeLight(int32_t index);
  void SetLight(int32_t index, const TVector4F& vector1, const TVector4F& vector2, TColorARGB diffuse,
                TColorARGB specular, TColorARGB ambient, bool enabled, bool screenSpace);
  void SetCamera(const TVector4F& eye, const TVector4F& direction, const TVector4F& up);
  void DrawMeshFrame(TMesh* mesh, int32_t startFrame, bool loop, int32_t endFrame, float frameTime, float time);

  // ---- projections (the same on every device) ------------------------------------------
  TMatrix4F Projection3D() const;
  TMatrix4F Projection2D() const;

  // ---- screen modes ----------------------------------------------------------------
  // Display modes as text: width "x" height "x" bits ("800x600x32").
  std::vector<WideString>& screenModes() { return screenModes_; }
  const std::vector<WideString>& screenModes() const { return screenModes_; }
  int32_t ScreenModeWidth(int32_t index) const;
  int32_t ScreenModeHeight(int32_t index) const;
  int32_t desktopWidth() const { return desktopWidth_; }
  int32_t desktopHeight() const { return desktopHeight_; }

  // ---- window and host ---------------------------------------------------------------
  TWindow* window() const { return window_; }
  // The applet's side of the device; nil when the window has no applet that
  // serves devices.
  TDeviceHost* host() const { return host_; }
  // Serves a device whose window has no applet (tools and tests).
  void setHost(TDeviceHost* host) { host_ = host; }
  // The camera record, light table and caret of the window.
  TDevicePartsRef windowParts();
  int32_t windowWidth() const;
  int32_t windowHeight() const;

  // Moves a device with all its pixmaps and meshes onto a new device of another
  // class on the same window; the caller's pixmap and mesh objects stay valid.
  static TDevice* RecreateDevice(TDevice* device, const TDeviceClass& newClass);

  // Script forms of the published operations.
  TPixmap* scriptCreatePixmap(int32_t width, int32_t height) { return CreatePixmap(width, height); }
  bool scriptLockPixmap(TPixmap* pixmap, int32_t left, int32_t top, int32_t width, int32_t height, bool read);
  bool scriptLockMeshVertex(TMesh* mesh, int32_t count);
  bool scriptLockMeshIndex(TMesh* mesh, int32_t count);
  TMesh* scriptCreateMesh(int32_t format, int32_t vertexCount, bool indexed, int32_t indexCount, bool dynamic,
                          bool animated, int32_t frameCount);
  void scriptSetPixmap(int32_t stage, TPixmap* pixmap) { SetPixmap(stage, pixmap); }
  // Scripts destroy only pixmaps and meshes this device made (never its
  // dynamic meshes): anything else belongs to someone who would free it again.
  void scriptDestroyPixmap(TPixmap* pixmap);
  void scriptDestroyMesh(TMesh* mesh);
  // Element `index` (row index div 4, column index mod 4) of ModelViewProj;
  // 0 outside 0-15.
  float scriptModelViewProj(int32_t index);
  // The ray through a window point into two coordinates (either may be nil).
  void scriptPick(float x, float y, TSpaceCoord* origin, TSpaceCoord* direction);
  // Colours as ARGB numbers or as colour texts ("#FF102030").
  void scriptSetMaterial(bool lighting, Variant diffuse, Variant ambient, Variant specular);
  // The first two columns of the 3x3 matrix, row by row: u and v scale and
  // shear, then the move.
  void scriptSetTextureMatrix(float uu, float uv, float vu, float vv, float du, float dv);
  // One segment from (x1, y1, z1) to (x2, y2, z2).
  void scriptDrawLine(float x1, float y1, float z1, float x2, float y2, float z2, float width);

 protected:
  // ---- for device classes -------------------------------------------------------------
  void RegisterPixmap(TPixmap* pixmap) { pixmaps_.push_back(pixmap); }
  void UnregisterPixmap(TPixmap* pixmap);
  void RegisterMesh(TMesh* mesh) { meshes_.push_back(mesh); }
  void UnregisterMesh(TMesh* mesh);
  // For a lock of the dynamic mesh: whether `count` vertices of its current
  // format fit its memory and a 16-bit index range from the batch's first
  // vertex; when not, logs "Locked size is bigger than buffer have" and asks
  // the next Tick to grow the mesh. The index form likewise, with "Locked size
  // is bigger than index buffer have".
  bool DynamicVertexLockFits(TMesh* mesh, int64_t firstVertex, int64_t count, size_t byteCapacity);
  bool DynamicIndexLockFits(TMesh* mesh, int64_t firstIndex, int64_t count, int64_t capacity);
  // Projection inputs from the window and the applet.
  float hostScale() const;
  bool hostLighting() const;
  TColorARGB hostBackground() const;
  TPixmap* defaultSkin();
  void addTriangles(int32_t count) { triangleCount_ += count; }
  void clearStateFlag(TRenderState state) { stateFlags_[state] = false; }
  TMesh*& lastMesh() { return lastMesh_; }
  uint8_t& lastFormat() { return lastFormat_; }
  std::array<TPixmap*, 4>& boundPixmaps() { return boundPixmaps_; }
  void storeMaterial(const TMaterial& material) { material_ = material; }
  void storeTextureMatrix(const TTextureMatrix& matrix) { textureMatrix_ = matrix; }
  void setPixelOffset(float offset) { pixelOffset_ = offset; }
  void setFramePending(bool pending) { framePending_ = pending; }
  void setDesktopSize(int32_t width, int32_t height) {
    desktopWidth_ = width;
    desktopHeight_ = height;
  }
  std::array<uintptr_t, kRecordedStateCount>& stateHandles() { return stateHandles_; }

 private:
  friend class TDeviceTestAccess;
  // Writes quads (4 vfPCT vertices, 6 indices each) into the dynamic mesh and
  // draws them once.
  struct TQuad {
    float x0, y0, x1, y1;
    float u0, v0, u1, v1;
  };
  void DrawQuads(const TQuad* quads, size_t count, float depth);
  void DrawQuads(const std::vector<TQuad>& quads, float depth) { DrawQuads(quads.data(), quads.size(), depth); }
  void AddNineSliceTiles(std::vector<TQuad>& quads, const TRectF& region, const TRectF& texRegion, float tileW,
                         float tileH, float texW, float texH);
  void ResetFrameState();
  void DrawCaretQuad();
  TDeviceHost* hostOrNull() const { return host_; }

  bool framePending_ = false;
  TWindow* window_ = nullptr;
  TDeviceHost* host_ = nullptr;
  TDeviceParts ownParts_;  // used when there is no window
  TMesh* dynamicMesh_ = nullptr;
  TMesh* dynamicMesh2_ = nullptr;
  int32_t reservedWord_ = 0;
  std::vector<TMesh*> meshes_;
  std::vector<TPixmap*> pixmaps_;
  bool growRequested_ = false;
  int32_t stateChanges_ = 0;
  TRenderStateFlags stateFlags_{};
  std::array<TPixmap*, 4> boundPixmaps_{};
  TMesh* lastMesh_ = nullptr;
  uint8_t lastFormat_ = 8;
  TMaterial material_;
  TMatrix4F worldMatrix_ = IdentityMatrix4F;
  TTextureMatrix textureMatrix_;
  TRenderStateSave saveArea_;
  float pixelOffset_ = 0;
  std::array<uintptr_t, kRecordedStateCount> stateHandles_{};
  TFrameStatistics statistics_;
  int32_t triangleCount_ = 0;
  int32_t particleCount_ = 0;
  std::vector<WideString> screenModes_;
  int32_t desktopWidth_ = 0;
  int32_t desktopHeight_ = 0;
};
