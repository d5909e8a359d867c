#include "platform/device_fake_helpers.h"

#include <cstring>

#include "core/objects/class_builder.h"

const ClassInfo& TFakeDevice::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TFakeDevice>("TFakeDevice").build();
  return info;
}

std::vector<TVertexPCT> TRecordedDraw::pct() const {
  std::vector<TVertexPCT> out(vertices.size() / sizeof(TVertexPCT));
  if (!out.empty()) std::memcpy(out.data(), vertices.data(), out.size() * sizeof(TVertexPCT));
  return out;
}

std::vector<TVertexPNCT> TRecordedDraw::pnct() const {
  std::vector<TVertexPNCT> out(vertices.size() / sizeof(TVertexPNCT));
  if (!out.empty()) std::memcpy(out.data(), vertices.data(), out.size() * sizeof(TVertexPNCT));
  return out;
}

void TFakeDevice::CreateOnWindow(TWindow* window) {
  inherited::CreateOnWindow(window);
  screenModes() = {W("640x480x32"), W("800x600x16"), W("1024x768x32")};
  CreateDynamicMesh();
}

void TFakeDevice::Destroy() {
  if (journal) journal->push_back("destroy " + std::to_string(pixmaps().size()) + " pixmaps");
  DestroyResources();
  inherited::Destroy();
}

void TFakeDevice::Render() {
  if (framePending()) return;
  rendered += 1;
  RenderScene();
  setFramePending(true);
}

void TFakeDevice::Present() {
  presented += 1;
  setFramePending(false);
}

void TFakeDevice::SetPixmap(int32_t stage, TPixmap* pixmap) {
  if (stage < 0 || stage >= 4) return;
  boundPixmaps()[static_cast<size_t>(stage)] = pixmap;
}

TMesh* TFakeDevice::CreateMesh(TVertexFormat format, int32_t vertexCount, bool indexed, int32_t indexCount,
                               bool dynamic, bool animated, int32_t frameCount) {
  if (!IsValidMeshShape(format, vertexCount, indexed, indexCount, animated, frameCount)) return nullptr;
  auto* mesh = New<TMesh>(this);
  mesh->setShape(format, vertexCount, indexed, indexCount, dynamic, animated, frameCount);
  mesh->vertexData.assign(mesh->allFramesBytes(), 0);
  if (indexed) mesh->indexData.assign(static_cast<size_t>(indexCount), 0);
  RegisterMesh(mesh);
  return mesh;
}

void TFakeDevice::DestroyMesh(TMesh* mesh) {
  if (!mesh) return;
  UnregisterMesh(mesh);
  mesh->Free();
}

bool TFakeDevice::LockMeshVertex(TMesh* mesh, int32_t count, void*& data) {
  if (!mesh) return false;
  if (mesh->dynamic && !DynamicVertexLockFits(mesh, 0, count, mesh->vertexData.size())) return false;
  if (!mesh->dynamic && static_cast<size_t>(count) * mesh->vertexSize() > mesh->vertexData.size()) return false;
  mesh->batchVertices = count;
  mesh->batchFirstVertex = 0;
  mesh->vertexLocked = true;
  data = mesh->vertexData.data();
  return true;
}

bool TFakeDevice::LockMeshIndex(TMesh* mesh, int32_t count, uint16_t*& data) {
  if (!mesh || !mesh->indexed) return false;
  if (!DynamicIndexLockFits(mesh, 0, count, static_cast<int64_t>(mesh->indexData.size()))) return false;
  mesh->batchIndices = count;
  mesh->batchFirstIndex = 0;
  mesh->indexLocked = true;
  data = mesh->indexData.data();
  return true;
}

void TFakeDevice::DrawMesh(TMesh* mesh) {
  if (!mesh) return;
  TRecordedDraw draw;
  draw.mesh = mesh;
  draw.format = mesh->format;
  size_t bytes = static_cast<size_t>(mesh->batchVertices) * mesh->vertexSize();
  draw.vertices.assign(mesh->vertexData.begin(), mesh->vertexData.begin() + static_cast<ptrdiff_t>(bytes));
  draw.indices.assign(mesh->indexData.begin(), mesh->indexData.begin() + mesh->batchIndices);
  draw.firstVertex = mesh->batchFirstVertex;
  for (int s = 0; s < kRenderStateCount; ++s) draw.flags[s] = RenderStateOn(static_cast<TRenderState>(s));
  draw.world = worldMatrix();
  draw.material = material();
  draw.pixmap = boundPixmaps()[0];
  draw.textureMatrix = textureMatrix();
  draws.push_back(std::move(draw));
  addTriangles(mesh->batchIndices / 3);
}

void TFakeDevice::DrawLine(const TVector4F* points, int32_t count, float width) {
  lines.push_back({std::vector<TVector4F>(points, points + count), width, material().diffuse});
}

TPixmap* TFakeDevice::CreatePixmap(int32_t width, int32_t height) {
  if (!IsValidPixmapSize(width, height, 4096)) return nullptr;
  auto* pixmap = New<TPixmap>(this);
  pixmap->setSize(width, height);
  pixmap->deviceState().memory.assign(static_cast<size_t>(width) * height, 0);
  pixmap->deviceState().texture = 1;
  RegisterPixmap(pixmap);
  return pixmap;
}

void TFakeDevice::DestroyPixmap(TPixmap* pixmap) {
  if (!pixmap) return;
  UnregisterPixmap(pixmap);
  pixmap->Free();
}

bool TFakeDevice::LockPixmapRectARGB(TPixmap* pixmap, const TPixmapRect& rect, bool read, uint32_t*& bits,
                                     int32_t& pitch) {
  if (!pixmap || pixmap->isLocked() || !IsValidPixmapRect(*pixmap, rect)) return false;
  TPixmap::DeviceState& state = pixmap->deviceState();
  state.lockRect = rect;
  state.lockForRead = read;
  state.pitch = pixmap->width() * 4;
  state.lockedBits = state.memory.data() + static_cast<size_t>(rect.top) * pixmap->width() + rect.left;
  bits = state.lockedBits;
  pitch = state.pitch;
  return true;
}

void TFakeDevice::UnlockPixmap(TPixmap* pixmap) {
  if (pixmap) pixmap->deviceState().lockedBits = nullptr;
}

const TDeviceClass& FakeDeviceClass() {
  static const TDeviceClass cls{&TFakeDevice::staticClassInfo(), &TFakeDevice::ClassDeviceName,
                                []() -> TDevice* { return new TFakeDevice(); }};
  return cls;
}

FakeDevicePtr MakeFakeDevice(TTestHost* host) {
  return FakeDevicePtr(static_cast<TFakeDevice*>(CreateDeviceOfClass(FakeDeviceClass(), nullptr, host)));
}
