// Pixmaps, meshes, materials and drawing on the Direct3D 8 device.
#include <algorithm>
#include <cstring>

#include "core/system/log.h"
#include "platform/d3d8/dx8_device.h"
#include "platform/pixmap_source.h"

namespace {
IDirect3DTexture8* TextureOf(const TPixmap* pixmap) {
  return pixmap ? reinterpret_cast<IDirect3DTexture8*>(pixmap->deviceState().texture) : nullptr;
}
IDirect3DVertexBuffer8* VertexBufferOf(const TMesh* mesh) {
  return reinterpret_cast<IDirect3DVertexBuffer8*>(mesh->deviceVertexBuffer);
}
IDirect3DIndexBuffer8* IndexBufferOf(const TMesh* mesh) {
  return reinterpret_cast<IDirect3DIndexBuffer8*>(mesh->deviceIndexBuffer);
}

// The flexible vertex format of a layout; codes that name none draw positions only.
DWORD FVFOf(TVertexFormat format) {
  switch (format & ~vfFlag) {
    case vfPN:
      return 0x012;
    case vfPNT:
      return 0x112;
    case vfPT:
      return 0x102;
    case vfPC:
      return 0x042;
    case vfPNC:
      return 0x052;
    case vfPCT:
      return 0x142;
    case vfPNCT:
      return 0x152;
    default:
      return 0x002;
  }
}

bool HasTexCoords(TVertexFormat format) {
  TVertexFormat code = format & ~vfFlag;
  return code == vfPNT || code == vfPT || code == vfPCT || code == vfPNCT;
}

D3DMATRIX TextureTransform(const TTextureMatrix& m) {
  D3DMATRIX t;
  t.m[0][0] = m.m[0][0];
  t.m[0][1] = m.m[0][1];
  t.m[1][0] = m.m[1][0];
  t.m[1][1] = m.m[1][1];
  t.m[2][0] = m.m[2][0];
  t.m[2][1] = m.m[2][1];
  return t;
}

D3DCOLORVALUE ColourValue(TColorARGB c) {
  return D3DCOLORVALUE{static_cast<float>((c >> 16) & 0xFF) / 255, static_cast<float>((c >> 8) & 0xFF) / 255,
                       static_cast<float>(c & 0xFF) / 255, static_cast<float>(c >> 24) / 255};
}

// Lock flags of a batch: a batch at the start discards what the buffer held,
// a later one leaves the earlier batches alone.
DWORD BatchLockFlags(int64_t start) { return start == 0 ? D3DLOCK_DISCARD : D3DLOCK_NOOVERWRITE; }
}  // namespace

// ---- pixmaps --------------------------------------------------------------------------------------

TPixmap* TWin32DX8Device::CreatePixmap(int32_t width, int32_t height) {
  IDirect3DTexture8* texture = nullptr;
  if (!d3dDevice_ || !IsValidPixmapSize(width, height, static_cast<int32_t>(caps_.MaxTextureWidth)) ||
      FAILED(d3dDevice_->CreateTexture(static_cast<UINT>(width), static_cast<UINT>(height), 1, 0, D3DFMT_A8R8G8B8,
                                       D3DPOOL_MANAGED, &texture))) {
    LogCantCreateTexture();
    return nullptr;
  }
  auto* pixmap = New<TPixmap>(this);
  pixmap->setSize(width, height);
  pixmap->deviceState().texture = reinterpret_cast<uintptr_t>(texture);
  RegisterPixmap(pixmap);
  return pixmap;
}

void TWin32DX8Device::DestroyPixmap(TPixmap* pixmap) {
  if (!pixmap) return;
  UnregisterPixmap(pixmap);
  if (IDirect3DTexture8* texture = TextureOf(pixmap)) {
    if (pixmap->isLocked()) texture->UnlockRect(0);
    texture->Release();
  }
  pixmap->deviceState().texture = 0;
  pixmap->Free();
}

bool TWin32DX8Device::LockPixmapRectARGB(TPixmap* pixmap, const TPixmapRect& rect, bool read, uint32_t*& bits,
                                         int32_t& pitch) {
  IDirect3DTexture8* texture = TextureOf(pixmap);
  if (!texture) return false;
  if (pixmap->isLocked()) {
    LogError(W("Pixmap already locked"));
    return false;
  }
  if (!IsValidPixmapRect(*pixmap, rect)) return false;
  // A managed texture always holds its pixels: a lock for writing reads them too.
  RECT area{rect.left, rect.top, rect.left + rect.width, rect.top + rect.height};
  D3DLOCKED_RECT locked;
  if (FAILED(texture->LockRect(0, &locked, &area, 0))) {
    LogError(W("Can't lock texture"));
    return false;
  }
  TPixmap::DeviceState& state = pixmap->deviceState();
  state.lockedBits = static_cast<uint32_t*>(locked.pBits);
  state.pitch = locked.Pitch;
  state.lockRect = rect;
  state.lockForRead = read;
  bits = state.lockedBits;
  pitch = state.pitch;
  return true;
}

void TWin32DX8Device::UnlockPixmap(TPixmap* pixmap) {
  if (!pixmap || !pixmap->isLocked()) return;
  if (IDirect3DTexture8* texture = TextureOf(pixmap)) texture->UnlockRect(0);
  pixmap->deviceState().lockedBits = nullptr;
}

void TWin32DX8Device::SetPixmap(int32_t stage, TPixmap* pixmap) {
  if (stage < 0 || stage >= static_cast<int32_t>(boundPixmaps().size())) return;
  TPixmap*& bound = boundPixmaps()[static_cast<size_t>(stage)];
  if (bound == pixmap) return;
  bound = pixmap;
  IDirect3DTexture8* texture = TextureOf(pixmap);
  if (texture && d3dDevice_) d3dDevice_->SetTexture(static_cast<DWORD>(stage), texture);
}

void TWin32DX8Device::SetTextureMatrix(const TTextureMatrix& matrix) {
  storeTextureMatrix(matrix);
  if (!d3dDevice_) return;
  d3dDevice_->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
  D3DMATRIX transform = TextureTransform(matrix);
  d3dDevice_->SetTransform(D3DTS_TEXTURE0, &transform);
}

// Direct3D's material is set again only when its colours change; the
// comparison is with what Direct3D holds, which the per-frame reset of the
// current material does not touch.
void TWin32DX8Device::SetMaterial(const TMaterial& material) {
  SetRenderState(material.lighting ? rsLightOn : rsLightOff);
  bool sameColours = d3dMaterialKnown_ && d3dMaterial_.diffuse == material.diffuse &&
                     d3dMaterial_.ambient == material.ambient && d3dMaterial_.specular == material.specular;
  if (!sameColours && d3dDevice_) {
    D3DMATERIAL8 d3d;
    d3d.Diffuse = ColourValue(material.diffuse);
    d3d.Ambient = ColourValue(material.ambient);
    d3d.Specular = ColourValue(material.specular);
    d3d.Emissive = D3DCOLORVALUE{0, 0, 0, 0};
    d3d.Power = 0.5f;
    d3dDevice_->SetMaterial(&d3d);
    d3dMaterial_ = material;
    d3dMaterialKnown_ = true;
  }
  storeMaterial(material);
}

// ---- meshes -----------------------------------------------------------------------------------------

TMesh* TWin32DX8Device::CreateMesh(TVertexFormat format, int32_t vertexCount, bool indexed, int32_t indexCount,
                                   bool dynamic, bool animated, int32_t frameCount) {
  if (!IsValidMeshShape(format, vertexCount, indexed, indexCount, animated, frameCount) ||
      (!animated && !d3dDevice_)) {
    LogError(W("Can't create vertex array"));
    return nullptr;
  }
  auto* mesh = New<TMesh>(this);
  mesh->setShape(format, vertexCount, indexed, indexCount, dynamic, animated, frameCount);
  if (!animated && !CreateMeshBuffers(mesh)) {
    mesh->Free();
    return nullptr;
  }
  RegisterMesh(mesh);
  return mesh;
}

// Default-pool buffers: write-only, and dynamic for the mesh that is filled
// anew every frame.
bool TWin32DX8Device::CreateMeshBuffers(TMesh* mesh) {
  if (!d3dDevice_) return false;
  DWORD usage = mesh->dynamic ? D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC : D3DUSAGE_WRITEONLY;
  auto vertexBytes = static_cast<UINT>(std::max<size_t>(mesh->frameBytes(), static_cast<size_t>(mesh->vertexSize())));
  IDirect3DVertexBuffer8* vertices = nullptr;
  if (FAILED(d3dDevice_->CreateVertexBuffer(vertexBytes, usage, FVFOf(mesh->format), D3DPOOL_DEFAULT, &vertices))) {
    LogError(W("Can't create vertex array"));
    return false;
  }
  mesh->deviceVertexBuffer = reinterpret_cast<uintptr_t>(vertices);
  if (!mesh->indexed) return true;
  IDirect3DIndexBuffer8* indices = nullptr;
  auto indexBytes = static_cast<UINT>(std::max<int64_t>(int64_t{mesh->indexCount} * 2, 2));
  if (FAILED(d3dDevice_->CreateIndexBuffer(indexBytes, usage, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &indices))) {
    LogError(W("Can't create index array"));
    ReleaseMeshBuffers(mesh);
    return false;
  }
  mesh->deviceIndexBuffer = reinterpret_cast<uintptr_t>(indices);
  return true;
}

void TWin32DX8Device::ReleaseMeshBuffers(TMesh* mesh) {
  if (IDirect3DVertexBuffer8* vertices = VertexBufferOf(mesh)) {
    if (mesh->vertexLocked && mesh->dynamic) vertices->Unlock();
    vertices->Release();
  }
  if (IDirect3DIndexBuffer8* indices = IndexBufferOf(mesh)) {
    if (mesh->indexLocked && mesh->dynamic) indices->Unlock();
    indices->Release();
  }
  mesh->deviceVertexBuffer = 0;
  mesh->deviceIndexBuffer = 0;
  if (mesh->dynamic) {
    mesh->vertexLocked = false;
    mesh->indexLocked = false;
  }
  if (lastMesh() == mesh) lastMesh() = nullptr;
}

// A static mesh's buffers get what its memory copies hold.
void TWin32DX8Device::FillMeshBuffers(TMesh* mesh) {
  IDirect3DVertexBuffer8* vertices = VertexBufferOf(mesh);
  BYTE* data = nullptr;
  size_t bytes = std::min(mesh->vertexData.size(), mesh->frameBytes());
  if (vertices && bytes > 0 && SUCCEEDED(vertices->Lock(0, static_cast<UINT>(bytes), &data, D3DLOCK_DISCARD))) {
    std::memcpy(data, mesh->vertexData.data(), bytes);
    vertices->Unlock();
  }
  IDirect3DIndexBuffer8* indices = IndexBufferOf(mesh);
  size_t count = std::min(mesh->indexData.size(), static_cast<size_t>(std::max(mesh->indexCount, 0)));
  if (indices && count > 0 && SUCCEEDED(indices->Lock(0, static_cast<UINT>(count * 2), &data, D3DLOCK_DISCARD))) {
    std::memcpy(data, mesh->indexData.data(), count * 2);
    indices->Unlock();
  }
}

void TWin32DX8Device::DestroyMesh(TMesh* mesh) {
  if (!mesh) return;
  ReleaseMeshBuffers(mesh);
  UnregisterMesh(mesh);
  mesh->Free();
}

// Static and animated meshes are written in their memory copies; the
// dynamic mesh appends each batch after the previous one in its buffer.
bool TWin32DX8Device::LockMeshVertex(TMesh* mesh, int32_t count, void*& data) {
  if (!mesh || count < 0 || deviceLost_) return false;
  if (!mesh->dynamic || mesh->animated) {
    if (count > mesh->vertexCount) {
      LogError(W("Locked size is bigger than buffer have"));
      return false;
    }
    if (mesh->vertexData.size() < mesh->allFramesBytes()) mesh->vertexData.resize(mesh->allFramesBytes(), 0);
    mesh->batchVertices = count;
    mesh->batchFirstVertex = 0;
    mesh->vertexLocked = true;
    data = mesh->vertexData.data();
    return true;
  }
  IDirect3DVertexBuffer8* buffer = VertexBufferOf(mesh);
  D3DVERTEXBUFFER_DESC description;
  if (!buffer || FAILED(buffer->GetDesc(&description))) return false;
  int64_t size = mesh->vertexSize(), capacity = description.Size;
  // The batch starts at the first whole vertex of the current format after
  // the previous batch, when it fits there whole, in bytes and within the
  // reach of 16-bit indices; else at the start of a discarded buffer.
  int64_t start = size > 0 ? (int64_t{mesh->batchVertexEnd} + size - 1) / size : 0;
  bool fits = (start + count) * size <= capacity && (!mesh->indexed || start + count <= kMaxIndexedVertices);
  if (!fits) start = 0;
  if (!DynamicVertexLockFits(mesh, start, count, static_cast<size_t>(capacity))) return false;
  BYTE* bytes = nullptr;
  if (count > 0 && FAILED(buffer->Lock(static_cast<UINT>(start * size), static_cast<UINT>(count * size), &bytes,
                                       BatchLockFlags(start)))) {
    LogError(W("Can't lock vertex buffer"));
    return false;
  }
  mesh->batchFirstVertex = static_cast<int32_t>(start);
  mesh->batchVertices = count;
  mesh->batchVertexEnd = static_cast<int32_t>((start + count) * size);
  mesh->vertexLocked = count > 0;
  data = bytes;
  return true;
}

void TWin32DX8Device::UnlockMeshVertex(TMesh* mesh) {
  if (!mesh || !mesh->vertexLocked) return;
  mesh->vertexLocked = false;
  IDirect3DVertexBuffer8* buffer = VertexBufferOf(mesh);
  if (mesh->animated || !buffer) return;
  if (mesh->dynamic) {
    buffer->Unlock();
    return;
  }
  size_t bytes = std::min(static_cast<size_t>(mesh->batchVertices) * static_cast<size_t>(mesh->vertexSize()),
                          mesh->vertexData.size());
  BYTE* data = nullptr;
  if (bytes > 0 && SUCCEEDED(buffer->Lock(0, static_cast<UINT>(bytes), &data, D3DLOCK_DISCARD))) {
    std::memcpy(data, mesh->vertexData.data(), bytes);
    buffer->Unlock();
  }
}

bool TWin32DX8Device::LockMeshIndex(TMesh* mesh, int32_t count, uint16_t*& data) {
  if (!mesh || !mesh->indexed || count < 0 || deviceLost_) return false;
  if (!mesh->dynamic || mesh->animated) {
    if (count > mesh->indexCount) {
      LogError(W("Locked size is bigger than index buffer have"));
      return false;
    }
    if (mesh->indexData.size() < static_cast<size_t>(mesh->indexCount)) {
      mesh->indexData.resize(static_cast<size_t>(mesh->indexCount), 0);
    }
    mesh->batchIndices = count;
    mesh->batchFirstIndex = 0;
    mesh->indexLocked = true;
    data = mesh->indexData.data();
    return true;
  }
  IDirect3DIndexBuffer8* buffer = IndexBufferOf(mesh);
  if (!buffer) return false;
  int64_t start = int64_t{mesh->batchFirstIndex} + mesh->batchIndices;
  if (start + count >= int64_t{mesh->indexCount} - 1) start = 0;
  if (!DynamicIndexLockFits(mesh, start, count, mesh->indexCount)) return false;
  BYTE* bytes = nullptr;
  if (count > 0 &&
      FAILED(buffer->Lock(static_cast<UINT>(start * 2), static_cast<UINT>(count * 2), &bytes, BatchLockFlags(start)))) {
    LogError(W("Can't lock vertex buffer"));
    return false;
  }
  mesh->batchFirstIndex = static_cast<int32_t>(start);
  mesh->batchIndices = count;
  mesh->indexLocked = count > 0;
  data = reinterpret_cast<uint16_t*>(bytes);
  return true;
}

// Indices written by hand or read from files are kept within the vertices,
// so a draw never reads past the mesh.
void TWin32DX8Device::UnlockMeshIndex(TMesh* mesh) {
  if (!mesh || !mesh->indexLocked) return;
  mesh->indexLocked = false;
  IDirect3DIndexBuffer8* buffer = IndexBufferOf(mesh);
  if (mesh->animated || !buffer) return;
  if (mesh->dynamic) {
    buffer->Unlock();
    return;
  }
  for (uint16_t& index : mesh->indexData) {
    if (index >= mesh->vertexCount) index = 0;
  }
  BYTE* data = nullptr;
  size_t bytes = mesh->indexData.size() * 2;
  if (bytes > 0 && SUCCEEDED(buffer->Lock(0, static_cast<UINT>(bytes), &data, D3DLOCK_DISCARD))) {
    std::memcpy(data, mesh->indexData.data(), bytes);
    buffer->Unlock();
  }
}

// ---- drawing ---------------------------------------------------------------------------------------

void TWin32DX8Device::SetUpStream(TMesh* mesh) {
  if (mesh == lastMesh() && mesh->format == lastFormat()) return;
  d3dDevice_->SetPixelShader(0);
  d3dDevice_->SetVertexShader(FVFOf(mesh->format));
  d3dDevice_->SetStreamSource(0, VertexBufferOf(mesh), static_cast<UINT>(mesh->vertexSize()));
  if (mesh->indexed) d3dDevice_->SetIndices(IndexBufferOf(mesh), 0);
  lastMesh() = mesh;
  lastFormat() = mesh->format;
}

namespace {
D3DMATRIX ToD3D(const TMatrix4F& m) {
  D3DMATRIX out;
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) out.m[row][col] = m(row, col);
  }
  return out;
}
}  // namespace

void TWin32DX8Device::DrawMesh(TMesh* mesh) {
  if (!mesh) return;
  if (mesh->animated) {
    DrawMeshFrame(mesh, 0, false, mesh->frameCount, 0, 0);
    return;
  }
  if (!d3dDevice_ || deviceLost_ || !VertexBufferOf(mesh)) return;
  SetUpStream(mesh);
  // Coordinates without a pixmap read the default skin's top-left texel.
  bool skinForCall = false;
  if (!boundPixmaps()[0] && HasTexCoords(mesh->format)) {
    TPixmap* skin = defaultSkin();
    if (IDirect3DTexture8* texture = TextureOf(skin)) {
      d3dDevice_->SetTexture(0, texture);
      TTextureMatrix scale;
      scale.m[0][0] = 1.0f / static_cast<float>(std::max(skin->width(), 1));
      scale.m[1][1] = 1.0f / static_cast<float>(std::max(skin->height(), 1));
      SetTextureMatrix(scale);
      skinForCall = true;
    }
  }
  D3DMATRIX world = ToD3D(worldMatrix());
  d3dDevice_->SetTransform(D3DTS_WORLD, &world);
  if (mesh->indexed) {
    if (mesh->batchIndices >= 3) {
      UINT first = mesh->dynamic ? static_cast<UINT>(mesh->batchFirstVertex) : 0;
      UINT vertices = static_cast<UINT>(mesh->dynamic ? mesh->batchVertices : mesh->vertexCount);
      UINT startIndex = mesh->dynamic ? static_cast<UINT>(mesh->batchFirstIndex) : 0;
      d3dDevice_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, first, vertices, startIndex,
                                       static_cast<UINT>(mesh->batchIndices / 3));
    }
    addTriangles(mesh->batchIndices / 3);
  } else {
    if (mesh->batchVertices >= 3) {
      d3dDevice_->DrawPrimitive(D3DPT_TRIANGLELIST, static_cast<UINT>(mesh->batchFirstVertex),
                                static_cast<UINT>(mesh->batchVertices / 3));
    }
    addTriangles(mesh->batchVertices / 3);
  }
  if (skinForCall) SetTextureMatrix(TTextureMatrix{});
}

void TWin32DX8Device::DrawLine(const TVector4F* points, int32_t count, float width) {
  TMesh* mesh = dynamicMesh();
  if (!d3dDevice_ || !mesh || !points || count <= 0) return;
  SetPixmap(0, defaultSkin());
  SetRenderState(rsFilterNearest);
  SetRenderState(rsTextureModulate);
  if ((material().diffuse >> 24) == 0 && width > 0) return;
  TVertexFormat previous = mesh->format;
  mesh->format = vfPC;
  void* memory = nullptr;
  uint16_t* indices = nullptr;
  if (LockMeshVertex(mesh, count, memory)) {
    uint32_t colour = DeviceColor(material().diffuse);
    auto* vertex = static_cast<TVertexPC*>(memory);
    for (int32_t i = 0; i < count; ++i) vertex[i] = MakeVertexPC(points[i].x, points[i].y, points[i].z, colour);
    int32_t first = mesh->batchFirstVertex;
    bool haveIndices = LockMeshIndex(mesh, count, indices);
    if (haveIndices) {
      for (int32_t i = 0; i < count; ++i) indices[i] = static_cast<uint16_t>(first + i);
      UnlockMeshIndex(mesh);
    }
    UnlockMeshVertex(mesh);
    if (haveIndices && count >= 2) {
      SetUpStream(mesh);
      D3DMATRIX world = ToD3D(worldMatrix());
      d3dDevice_->SetTransform(D3DTS_WORLD, &world);
      d3dDevice_->DrawIndexedPrimitive(D3DPT_LINELIST, static_cast<UINT>(first), static_cast<UINT>(count),
                                       static_cast<UINT>(mesh->batchFirstIndex), static_cast<UINT>(count / 2));
    }
    addTriangles(count / 3);
  }
  mesh->format = previous;
}
