// The published description of the device: what scripts may call. Scripts
// hold no records or raw memory, so operations that take them have script
// forms: matrices by element, materials by their colours, a ray into two
// coordinate objects, a line by its two ends; the script forms of the locks
// keep the locked memory in the pixmap or mesh instead of handing out a
// pointer.
#include <algorithm>

#include "core/geometry/coordinates.h"
#include "core/objects/class_builder.h"
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
                                    .method("ModelViewProj", &D::scriptModelViewProj)
                                    .method("Pick", &D::scriptPick)
                                    .method("SetMaterial", &D::scriptSetMaterial)
                                    .method("SetTextureMatrix", &D::scriptSetTextureMatrix)
                                    .method("DrawLine", &D::scriptDrawLine)
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

float TDevice::scriptModelViewProj(int32_t index) {
  if (index < 0 || index > 15) return 0;
  return ModelViewProj()(index / 4, index % 4);
}

void TDevice::scriptPick(float x, float y, TSpaceCoord* origin, TSpaceCoord* direction) {
  TVector4F from{}, along{};
  Pick(x, y, from, along);
  if (origin) origin->setVector(from);
  if (direction) direction->setVector(along);
}

namespace {
// A colour argument: a number is the ARGB word, a text "#AARRGGBB" or a
// number in text as stored colours are written.
TColorARGB ScriptColor(const Variant& value) {
  if (value.isText()) return TextToColor(std::get<WideString>(value.value()));
  bool ok = true;
  int64_t word = value.toInt64(&ok);
  return ok ? static_cast<TColorARGB>(static_cast<uint64_t>(word)) : 0;
}
}  // namespace

void TDevice::scriptSetMaterial(bool lighting, Variant diffuse, Variant ambient, Variant specular) {
  SetMaterial(TMaterial{lighting, ScriptColor(diffuse), ScriptColor(ambient), ScriptColor(specular)});
}

void TDevice::scriptSetTextureMatrix(float uu, float uv, float vu, float vv, float du, float dv) {
  TTextureMatrix matrix;
  matrix.m[0][0] = uu;
  matrix.m[0][1] = uv;
  matrix.m[1][0] = vu;
  matrix.m[1][1] = vv;
  matrix.m[2][0] = du;
  matrix.m[2][1] = dv;
  SetTextureMatrix(matrix);
}

void TDevice::scriptDrawLine(float x1, float y1, float z1, float x2, float y2, float z2, float width) {
  const TVector4F ends[2] = {MakeVector4F(x1, y1, z1, 1), MakeVector4F(x2, y2, z2, 1)};
  DrawLine(ends, 2, width);
}
