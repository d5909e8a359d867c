#pragma once
// A device that keeps everything in system memory and records what it is
// asked to draw, for testing the device-independent code without a display;
// and a host that plays the applet's part with values a test sets.
#include <memory>
#include <string>
#include <vector>

#include "platform/device.h"
#include "platform/device_host.h"
#include "platform/device_registry.h"

// One DrawMesh as the device saw it.
struct TRecordedDraw {
  TMesh* mesh = nullptr;
  TVertexFormat format = vfP;
  std::vector<uint8_t> vertices;  // the batch's vertices
  std::vector<uint16_t> indices;  // the batch's indices
  int32_t firstVertex = 0;
  TRenderStateFlags flags{};
  TMatrix4F world;
  TMaterial material;
  TPixmap* pixmap = nullptr;
  TTextureMatrix textureMatrix;

  std::vector<TVertexPCT> pct() const;
  std::vector<TVertexPNCT> pnct() const;
};

struct TRecordedLine {
  std::vector<TVector4F> points;
  float width = 0;
  TColorARGB color = 0;
};

class TFakeDevice : public TDevice {
  Q_OBJECT(TFakeDevice, TDevice)

 public:
  void CreateOnWindow(TWindow* window) override;
  void Destroy() override;

  static WideString ClassDeviceName() { return W("fake"); }
  WideString DeviceName() const override { return ClassDeviceName(); }
  void BuildRenderState(TRenderState state) override { built.push_back(state); }
  void ApplyRenderState(TRenderState state) override { applied.push_back(state); }
  bool IsAccelerated() override { return false; }
  void FullScreen(bool, int32_t) override {}
  bool RenderToARGB(uint32_t*) override { return false; }
  void Render() override;
  void Present() override;
  void Resize() override { resized += 1; }
  void SetMaterial(const TMaterial& material) override { storeMaterial(material); }
  void SetPixmap(int32_t stage, TPixmap* pixmap) override;
  void SetTextureMatrix(const TTextureMatrix& matrix) override { storeTextureMatrix(matrix); }
  TMesh* CreateMesh(TVertexFormat format, int32_t vertexCount, bool indexed, int32_t indexCount, bool dynamic,
                    bool animated, int32_t frameCount) override;
  void DestroyMesh(TMesh* mesh) override;
  bool LockMeshVertex(TMesh* mesh, int32_t count, void*& data) override;
  void UnlockMeshVertex(TMesh* mesh) override { mesh->vertexLocked = false; }
  bool LockMeshIndex(TMesh* mesh, int32_t count, uint16_t*& data) override;
  void UnlockMeshIndex(TMesh* mesh) override { mesh->indexLocked = false; }
  void DrawMesh(TMesh* mesh) override;
  void DrawLine(const TVector4F* points, int32_t count, float width) override;
  TPixmap* CreatePixmap(int32_t width, int32_t height) override;
  bool CanHoldPixmap(int32_t width, int32_t height) const override { return IsValidPixmapSize(width, height, 4096); }
  void DestroyPixmap(TPixmap* pixmap) override;
  bool LockPixmapRectARGB(TPixmap* pixmap, const TPixmapRect& rect, bool read, uint32_t*& bits,
                          int32_t& pitch) override;
  void UnlockPixmap(TPixmap* pixmap) override;

  void usePixelOffset(float offset) { setPixelOffset(offset); }
  void setDesktop(int32_t width, int32_t height) { setDesktopSize(width, height); }
  TPixmap* boundPixmap() { return boundPixmaps()[0]; }

  std::vector<TRenderState> built;
  std::vector<TRenderState> applied;
  std::vector<TRecordedDraw> draws;
  std::vector<TRecordedLine> lines;
  std::vector<std::string>* journal = nullptr;  // device lifecycle, shared across devices
  int rendered = 0;
  int presented = 0;
  int resized = 0;
};

class TTestHost : public TDeviceHost {
 public:
  bool lighting = true;
  TColorARGB background = 0;
  float scale = 1;
  TPixmap* skin = nullptr;
  bool active = true;
  int updates = 0;
  bool debugVisible = false;
  std::vector<std::pair<std::string, std::string>> debugLines;
  double time = 0;
  TDevice* replacedBy = nullptr;
  int reapplied = 0;
  TResourceMan* fonts = nullptr;
  std::function<void(TDevice*)> scene;

  bool deviceLighting() override { return lighting; }
  TColorARGB deviceBackground() override { return background; }
  float deviceScale() override { return scale; }
  TPixmap* defaultSkinPixmap(TDevice*) override { return skin; }
  void drawScene(TDevice* device) override {
    if (scene) scene(device);
  }
  bool isActive() override { return active; }
  void requestUpdate() override { updates += 1; }
  bool debugInfoVisible() override { return debugVisible; }
  void setDebugInfo(const WideString& label, const WideString& value) override {
    debugLines.emplace_back(WideToUtf8(label), WideToUtf8(value));
  }
  double currentTime() override { return time; }
  void deviceReplaced(TDevice* device) override { replacedBy = device; }
  void reapplyWindowSize() override { reapplied += 1; }
  TResourceMan* fontResourceManager() override { return fonts; }
};

// The fake device class as the registry holds it.
const TDeviceClass& FakeDeviceClass();

// A fake device made on no window with the host, freed at scope end.
struct FakeDeviceDeleter {
  void operator()(TDevice* device) const {
    if (device) device->Free();
  }
};
using FakeDevicePtr = std::unique_ptr<TFakeDevice, FakeDeviceDeleter>;
FakeDevicePtr MakeFakeDevice(TTestHost* host);
