// The published description of the device: what scripts may call. Operations
// whose arguments are records or raw memory (matrices, materials, point
// arrays) stay with native callers; the script forms of the locks keep the
// locked memory in the pixmap or mesh instead of handing out a pointer.
#include <algorithm>

#include "core/class_builder.h"
#include "platform/device.h"

const ClassInfo& TDevice::staticClassInfo() {
  using D = TDevice;
  static const ClassInfo info = ClassBuilder<D>("TDevice")
                                    .method("saveRenderState", &D::saveRenderState)
                                    .method("restoreRenderState", &D::restoreRenderState)
                                    .method("SetRenderState", &D::SetRenderState)
                                    .method("FillRect", &D::FillRect)
                                    .method("CreatePixmap", &D::scriptCreatePixmap)
                                    .method("DestroyPixmap", &D::scriptDestroyPixmap)
                                    .method("LockPixmapRectARGB", &D::scriptLockPixmap)
                                    .method("UnlockPixmap", &D::UnlockPixmap)
                                    .method("SetPixmap", &D::scriptSetPixmap)
                                    .method("CreateMesh", &D::scriptCreateMesh)
                                    .method("DestroyMesh", &D::scriptDestroyMesh)
                                    .method("LockMeshVertex", &D::scriptLockMeshVertex)
                                    .method("UnlockMeshVertex", &D::UnlockMeshVertex)
                                    .method("LockMeshIndex", &D::scriptLockMeshIndex)
                                    .method("UnlockMeshIndex", &D::UnlockMeshIndex)
                                    .method("DrawMesh", &D::DrawMesh)
                                    .method("FullScreen", &D::FullScreen)
                                    .build();
  return info;
}

bool TDevice::scriptLockPixmap(TPixmap* pixmap, int32_t left, int32_t top, int32_t width, int32_t height,
                               bool read) {
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  return pixmap && LockPixmapRectARGB(pixmap, {left, top, width, height}, read, bits, pitch);
}

void TDevice::scriptDestroyPixmap(TPixmap* pixmap) {
  if (pixmap && std::find(pixmaps_.begin(), pixmaps_.end(), pixmap) != pixmaps_.end()) DestroyPixmap(pixmap);
}

void TDevice::scriptDestroyMesh(TMesh* mesh) {
  if (!mesh || mesh == dynamicMesh_ || mesh == dynamicMesh2_) return;
  if (std::find(meshes_.begin(), meshes_.end(), mesh) != meshes_.end()) DestroyMesh(mesh);
}

bool TDevice::scriptLockMeshVertex(TMesh* mesh, int32_t count) {
  void* data = nullptr;
  return mesh && LockMeshVertex(mesh, count, data);
}

bool TDevice::scriptLockMeshIndex(TMesh* mesh, int32_t count) {
  uint16_t* data = nullptr;
  return mesh && LockMeshIndex(mesh, count, data);
}

TMesh* TDevice::scriptCreateMesh(int32_t format, int32_t vertexCount, bool indexed, int32_t indexCount,
                                 bool dynamic, bool animated, int32_t frameCount) {
  if (format < 0 || format > 0xFF) return nullptr;
  return CreateMesh(static_cast<TVertexFormat>(format), vertexCount, indexed, indexCount, dynamic, animated,
                    frameCount);
}
