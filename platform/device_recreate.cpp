// Moving a device's pixmaps and meshes onto a device of another class on the
// same window (a device switch, or a window made anew). Callers keep their
// pixmap and mesh objects: only the device storage inside them changes.
#include <algorithm>
#include <cstring>

#include "platform/device.h"
#include "platform/device_host.h"
#include "platform/device_registry.h"

namespace {
struct TSavedMesh {
  TMesh* held = nullptr;
  std::vector<uint8_t> vertices;
  std::vector<uint16_t> indices;
  int32_t batchVertices = 0;
  int32_t batchIndices = 0;
};

void CopyShape(const TMesh& from, TMesh& to) {
  to.dynamic = from.dynamic;
  to.indexed = from.indexed;
  to.vertexCount = from.vertexCount;
  to.format = from.format;
  to.indexCount = from.indexCount;
  to.boundBox = from.boundBox;
  to.animated = from.animated;
  to.frameCount = from.frameCount;
  to.animations = from.animations;
}

void SavePixels(TDevice* device, TPixmap* pixmap) {
  std::vector<uint32_t>& copy = pixmap->switchCopy();
  copy.assign(static_cast<size_t>(pixmap->width()) * static_cast<size_t>(pixmap->height()), 0);
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  if (!device->LockPixmapRectARGB(pixmap, {0, 0, pixmap->width(), pixmap->height()}, true, bits, pitch)) return;
  for (int32_t row = 0; row < pixmap->height(); ++row) {
    std::memcpy(copy.data() + static_cast<size_t>(row) * pixmap->width(),
                reinterpret_cast<const uint8_t*>(bits) + static_cast<size_t>(row) * pitch,
                static_cast<size_t>(pixmap->width()) * 4);
  }
  device->UnlockPixmap(pixmap);
}

void RestorePixels(TDevice* device, TPixmap* pixmap, const std::vector<uint32_t>& copy) {
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  if (!device->LockPixmapRectARGB(pixmap, {0, 0, pixmap->width(), pixmap->height()}, false, bits, pitch)) return;
  for (int32_t row = 0; row < pixmap->height(); ++row) {
    std::memcpy(reinterpret_cast<uint8_t*>(bits) + static_cast<size_t>(row) * pitch,
                copy.data() + static_cast<size_t>(row) * pixmap->width(), static_cast<size_t>(pixmap->width()) * 4);
  }
  device->UnlockPixmap(pixmap);
}

TSavedMesh SaveMesh(TDevice* device, TMesh* mesh) {
  TSavedMesh saved;
  saved.held = mesh;
  saved.batchVertices = mesh->batchVertices;
  saved.batchIndices = mesh->batchIndices;
  if (mesh->dynamic) return saved;
  void* vertices = nullptr;
  if (mesh->vertexCount > 0 && device->LockMeshVertex(mesh, mesh->vertexCount, vertices)) {
    auto* bytes = static_cast<const uint8_t*>(vertices);
    saved.vertices.assign(bytes, bytes + mesh->allFramesBytes());
    device->UnlockMeshVertex(mesh);
  }
  uint16_t* indices = nullptr;
  if (mesh->indexed && mesh->indexCount > 0 && device->LockMeshIndex(mesh, mesh->indexCount, indices)) {
    saved.indices.assign(indices, indices + mesh->indexCount);
    device->UnlockMeshIndex(mesh);
  }
  return saved;
}

void RestoreMesh(TDevice* device, TMesh* mesh, const TSavedMesh& saved) {
  void* vertices = nullptr;
  if (!saved.vertices.empty() && device->LockMeshVertex(mesh, mesh->vertexCount, vertices)) {
    std::memcpy(vertices, saved.vertices.data(), std::min(saved.vertices.size(), mesh->allFramesBytes()));
    device->UnlockMeshVertex(mesh);
  }
  uint16_t* indices = nullptr;
  if (!saved.indices.empty() && device->LockMeshIndex(mesh, mesh->indexCount, indices)) {
    std::copy(saved.indices.begin(), saved.indices.end(), indices);
    device->UnlockMeshIndex(mesh);
  }
  mesh->batchVertices = saved.batchVertices;
  mesh->batchIndices = saved.batchIndices;
}

template <typename T>
void ReplaceIn(std::vector<T*>& list, T* from, T* to) {
  std::replace(list.begin(), list.end(), from, to);
}
}  // namespace

TDevice* TDevice::RecreateDevice(TDevice* device, const TDeviceClass& newClass) {
  if (!device || !newClass.construct) return device;

  // 1-2. Pixels and vertex data into system memory.
  std::vector<TPixmap*> heldPixmaps = device->pixmaps_;
  std::vector<TMesh*> heldMeshes = device->meshes_;
  for (TPixmap* pixmap : heldPixmaps) SavePixels(device, pixmap);
  std::vector<TSavedMesh> savedMeshes;
  for (TMesh* mesh : heldMeshes) savedMeshes.push_back(SaveMesh(device, mesh));

  // 3. Stand-ins take the device storage, and the held objects' places in the
  // old device's lists, so that freeing the old device frees only them.
  for (TPixmap* pixmap : heldPixmaps) {
    auto* standIn = New<TPixmap>(device->owner());
    standIn->setSize(pixmap->width(), pixmap->height());
    std::swap(standIn->deviceState(), pixmap->deviceState());
    ReplaceIn(device->pixmaps_, pixmap, standIn);
  }
  for (TMesh* mesh : heldMeshes) {
    auto* standIn = New<TMesh>(device->owner());
    CopyShape(*mesh, *standIn);
    MoveMeshStorage(*mesh, *standIn);
    ReplaceIn(device->meshes_, mesh, standIn);
  }

  // 4. The new device on the same window, without meshes of its own.
  TWindow* window = device->window_;
  TDeviceHost* host = device->host_;
  TMesh* dynamicMesh = device->dynamicMesh_;
  TMesh* dynamicMesh2 = device->dynamicMesh2_;
  int32_t reservedWord = device->reservedWord_;
  device->Free();
  TDevice* fresh = CreateDeviceOfClass(newClass, window, host);
  while (!fresh->meshes_.empty()) fresh->DestroyMesh(fresh->meshes_.back());

  // 5. New device storage moves into the held objects.
  for (TPixmap* pixmap : heldPixmaps) {
    TPixmap* made = fresh->CreatePixmap(pixmap->width(), pixmap->height());
    if (made) {
      RestorePixels(fresh, made, pixmap->switchCopy());
      std::swap(made->deviceState(), pixmap->deviceState());
      ReplaceIn(fresh->pixmaps_, made, pixmap);
      made->Free();
    }
    pixmap->switchCopy().clear();
    pixmap->switchCopy().shrink_to_fit();
  }
  for (const TSavedMesh& saved : savedMeshes) {
    TMesh* mesh = saved.held;
    TMesh* made = fresh->CreateMesh(mesh->format, mesh->vertexCount, mesh->indexed, mesh->indexCount,
                                    mesh->dynamic, mesh->animated, mesh->frameCount);
    if (!made) continue;
    RestoreMesh(fresh, made, saved);
    MoveMeshStorage(*made, *mesh);
    ReplaceIn(fresh->meshes_, made, mesh);
    made->Free();
  }

  // 6. The old dynamic meshes and reserved word carry over.
  fresh->dynamicMesh_ = dynamicMesh;
  fresh->dynamicMesh2_ = dynamicMesh2;
  fresh->reservedWord_ = reservedWord;
  if (host) {
    host->deviceReplaced(fresh);
    host->reapplyWindowSize();
  }
  return fresh;
}
