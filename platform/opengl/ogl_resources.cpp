// Pixmaps, meshes, materials and drawing on the OpenGL device.
#include <algorithm>
#include <cstring>

#include "core/system/log.h"
#include "platform/opengl/ogl_device.h"
#include "platform/pixmap_source.h"

namespace {
constexpr uintptr_t kNoTexture = 0;

GLuint TextureOf(const TPixmap* pixmap) {
  return pixmap ? static_cast<GLuint>(pixmap->deviceState().texture) : 0;
}

void ColorToFloats(TColorARGB c, float out[4]) {
  out[0] = static_cast<float>((c >> 16) & 0xFF) / 255;
  out[1] = static_cast<float>((c >> 8) & 0xFF) / 255;
  out[2] = static_cast<float>(c & 0xFF) / 255;
  out[3] = static_cast<float>(c >> 24) / 255;
}
}  // namespace

// ---- pixmaps ------------------------------------------------------------------------

// Binding a texture for work outside drawing must not disturb the cache of
// what is bound for drawing.
void TOGLDevice::RebindStageZero() { glBindTexture(GL_TEXTURE_2D, TextureOf(boundPixmaps()[0])); }

TPixmap* TOGLDevice::CreatePixmap(int32_t width, int32_t height) {
  if (!IsValidPixmapSize(width, height, maxTextureSize_)) {
    LogCantCreateTexture();
    return nullptr;
  }
  auto* pixmap = New<TPixmap>(this);
  pixmap->setSize(width, height);
  if (ready()) {
    MakeCurrent();
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    RebindStageZero();
    pixmap->deviceState().texture = texture;
  }
  RegisterPixmap(pixmap);
  return pixmap;
}

void TOGLDevice::DestroyPixmap(TPixmap* pixmap) {
  if (!pixmap) return;
  FlushDrawing();
  UnregisterPixmap(pixmap);
  GLuint texture = TextureOf(pixmap);
  if (texture && ready()) {
    MakeCurrent();
    glDeleteTextures(1, &texture);
  }
  pixmap->Free();
}

// The lock holds the whole pixmap in memory; the pointer is the first pixel
// of the rectangle asked for, and the unlock sends back only that rectangle.
bool TOGLDevice::LockPixmapRectARGB(TPixmap* pixmap, const TPixmapRect& rect, bool read, uint32_t*& bits,
                                    int32_t& pitch) {
  if (!pixmap || pixmap->deviceState().texture == kNoTexture) return false;
  TPixmap::DeviceState& state = pixmap->deviceState();
  if (pixmap->isLocked()) {
    LogError(W("Pixmap already locked"));
    return false;
  }
  if (!IsValidPixmapRect(*pixmap, rect)) return false;
  state.memory.assign(static_cast<size_t>(pixmap->width()) * static_cast<size_t>(pixmap->height()), 0);
  if (read && state.hasImage && ready()) {
    FlushDrawing();
    MakeCurrent();
    glBindTexture(GL_TEXTURE_2D, TextureOf(pixmap));
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    if (gl_.bgra) {
      glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, state.memory.data());
    } else {
      glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, state.memory.data());
      for (uint32_t& word : state.memory) word = DeviceColor(word);
    }
    RebindStageZero();
  }
  state.lockRect = rect;
  state.lockForRead = read;
  state.pitch = pixmap->width() * 4;
  state.lockedBits = state.memory.data() + static_cast<size_t>(rect.top) * pixmap->width() + rect.left;
  bits = state.lockedBits;
  pitch = state.pitch;
  return true;
}

void TOGLDevice::UploadLocked(TPixmap* pixmap) {
  TPixmap::DeviceState& state = pixmap->deviceState();
  const TPixmapRect& r = state.lockRect;
  glBindTexture(GL_TEXTURE_2D, TextureOf(pixmap));
  if (gl_.generateMipmap) glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP_SGIS, GL_TRUE);
  const uint32_t* source = state.memory.data();
  GLenum format = GL_BGRA;
  if (!gl_.bgra) {
    convert_.resize(state.memory.size());
    std::transform(state.memory.begin(), state.memory.end(), convert_.begin(),
                   [this](uint32_t word) { return DeviceColor(word); });
    source = convert_.data();
    format = GL_RGBA;
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  if (!state.hasImage) {
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, pixmap->width(), pixmap->height(), 0, format, GL_UNSIGNED_BYTE,
                 source);
    state.hasImage = true;
  } else {
    glPixelStorei(GL_UNPACK_ROW_LENGTH, pixmap->width());
    glTexSubImage2D(GL_TEXTURE_2D, 0, r.left, r.top, r.width, r.height, format, GL_UNSIGNED_BYTE,
                    source + static_cast<size_t>(r.top) * pixmap->width() + r.left);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  }
  RebindStageZero();
}

void TOGLDevice::UnlockPixmap(TPixmap* pixmap) {
  if (!pixmap || !pixmap->isLocked()) return;
  FlushDrawing();
  if (ready()) {
    MakeCurrent();
    UploadLocked(pixmap);
  }
  TPixmap::DeviceState& state = pixmap->deviceState();
  state.lockedBits = nullptr;
  state.memory.clear();
  state.memory.shrink_to_fit();
}

void TOGLDevice::SetPixmap(int32_t stage, TPixmap* pixmap) {
  if (stage < 0 || stage >= static_cast<int32_t>(boundPixmaps().size())) return;
  TPixmap*& bound = boundPixmaps()[static_cast<size_t>(stage)];
  if (bound == pixmap) return;
  if (stage == 0) FlushDrawing();
  bound = pixmap;
  if (stage != 0 || !ready()) return;
  glBindTexture(GL_TEXTURE_2D, TextureOf(pixmap));
  // Filters live in the texture object: they must be applied again.
  clearStateFlag(rsFilterNearest);
  clearStateFlag(rsFilterLinear);
  clearStateFlag(rsTextureDecal);
  clearStateFlag(rsTextureModulate);
}

void TOGLDevice::SetTextureMatrix(const TTextureMatrix& matrix) {
  FlushDrawing();
  storeTextureMatrix(matrix);
  if (!ready()) return;
  TMatrix4F m = IdentityMatrix4F;
  m.m[0] = matrix.m[0][0];
  m.m[1] = matrix.m[0][1];
  m.m[4] = matrix.m[1][0];
  m.m[5] = matrix.m[1][1];
  m.m[12] = matrix.m[2][0];
  m.m[13] = matrix.m[2][1];
  glMatrixMode(GL_TEXTURE);
  glLoadMatrixf(m.m);
  glMatrixMode(GL_MODELVIEW);
}

void TOGLDevice::SetMaterial(const TMaterial& material) {
  TRenderState lighting = material.lighting ? rsLightOn : rsLightOff;
  // The same material again (every SetColor of the same colour) changes nothing.
  if (material == this->material() && RenderStateOn(lighting)) return;
  FlushDrawing();
  SetRenderState(lighting);
  storeMaterial(material);
  if (!ready()) return;
  float colour[4];
  ColorToFloats(material.ambient, colour);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, colour);
  ColorToFloats(material.specular, colour);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, colour);
  ColorToFloats(material.diffuse, colour);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, colour);
  glColor4fv(colour);
  const float black[4] = {0, 0, 0, 1};
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
  glMaterialf(GL_FRONT, GL_SHININESS, 64);
}

// ---- meshes --------------------------------------------------------------------------

TMesh* TOGLDevice::CreateMesh(TVertexFormat format, int32_t vertexCount, bool indexed, int32_t indexCount,
                              bool dynamic, bool animated, int32_t frameCount) {
  if (!IsValidMeshShape(format, vertexCount, indexed, indexCount, animated, frameCount)) {
    LogError(W("Can't create vertex array"));
    return nullptr;
  }
  auto* mesh = New<TMesh>(this);
  mesh->setShape(format, vertexCount, indexed, indexCount, dynamic, animated, frameCount);
  mesh->vertexData.assign(mesh->allFramesBytes(), 0);
  if (indexed) mesh->indexData.assign(static_cast<size_t>(indexCount), 0);
  RegisterMesh(mesh);
  return mesh;
}

void TOGLDevice::DestroyMesh(TMesh* mesh) {
  if (!mesh) return;
  if (mesh == dynamicMesh()) FlushDrawing();
  UnregisterMesh(mesh);
  mesh->Free();
}

bool TOGLDevice::DynamicVerticesFit(const TMesh* mesh, int64_t first, int64_t count) const {
  int64_t size = mesh->vertexSize();
  return size > 0 && (first + count) * size <= static_cast<int64_t>(mesh->vertexData.size()) &&
         first + count <= kMaxIndexedVertices;
}

// Static meshes lock their memory from the start. The dynamic mesh appends
// each batch after the previous one (at the first whole vertex of the batch's
// own format) so that batches can be drawn together; when a batch no longer
// fits, what is held back is drawn and the batch starts at 0.
bool TOGLDevice::LockMeshVertex(TMesh* mesh, int32_t count, void*& data) {
  if (!mesh || count < 0) return false;
  if (!mesh->dynamic) {
    if (static_cast<size_t>(count) * static_cast<size_t>(mesh->vertexSize()) > mesh->vertexData.size()) {
      LogError(W("Locked size is bigger than buffer have"));
      return false;
    }
    mesh->batchVertices = count;
    mesh->batchFirstVertex = 0;
    mesh->vertexLocked = true;
    data = mesh->vertexData.data();
    return true;
  }
  int64_t size = mesh->vertexSize();
  int64_t first = size > 0 ? (mesh->batchVertexEnd + size - 1) / size : 0;
  if (!DynamicVerticesFit(mesh, first, count)) {
    FlushDrawing();
    first = 0;
  }
  if (!DynamicVertexLockFits(mesh, first, count, mesh->vertexData.size())) return false;
  mesh->batchFirstVertex = static_cast<int32_t>(first);
  mesh->batchVertices = count;
  mesh->batchVertexEnd = static_cast<int32_t>((first + count) * size);
  mesh->vertexLocked = true;
  data = mesh->vertexData.data() + first * size;
  return true;
}

void TOGLDevice::UnlockMeshVertex(TMesh* mesh) {
  if (mesh) mesh->vertexLocked = false;
}

bool TOGLDevice::LockMeshIndex(TMesh* mesh, int32_t count, uint16_t*& data) {
  if (!mesh || !mesh->indexed || count < 0) return false;
  auto capacity = static_cast<int64_t>(mesh->indexData.size());
  int64_t first = 0;
  if (mesh->dynamic) {
    first = int64_t{mesh->batchFirstIndex} + mesh->batchIndices;
    if (first + count > capacity) {
      FlushDrawing();
      first = 0;
    }
  }
  if (!DynamicIndexLockFits(mesh, first, count, capacity)) return false;
  mesh->batchFirstIndex = static_cast<int32_t>(first);
  mesh->batchIndices = count;
  mesh->indexLocked = true;
  data = mesh->indexData.data() + first;
  return true;
}

// Indices written by hand or read from files are kept within the vertices, so
// a draw never reads past the mesh.
void TOGLDevice::UnlockMeshIndex(TMesh* mesh) {
  if (!mesh) return;
  mesh->indexLocked = false;
  if (mesh->dynamic) return;
  int32_t frameVertices = mesh->vertexCount;
  for (int32_t i = 0; i < mesh->batchIndices; ++i) {
    uint16_t& index = mesh->indexData[static_cast<size_t>(i)];
    if (index >= frameVertices) index = 0;
  }
}

void TOGLDevice::DrawClientArrays(TMesh* mesh, TVertexFormat format, const uint16_t* indices, int32_t indexCount,
                                  int32_t vertexCount) {
  TVertexLayout layout = VertexLayout(format);
  if (layout.size == 0) return;
  const uint8_t* base = mesh->vertexData.data();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glMultMatrixf(worldMatrix().m);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, layout.size, base);
  if (layout.normalOffset >= 0) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, layout.size, base + layout.normalOffset);
  } else {
    glDisableClientState(GL_NORMAL_ARRAY);
  }
  // vfPNC and vfPNCT draw in the current colour: the material's diffuse.
  bool colourArray = format == vfPC || format == vfPCT;
  if (colourArray) {
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(format == vfPC ? 3 : 4, GL_UNSIGNED_BYTE, layout.size, base + layout.colorOffset);
  } else {
    glDisableClientState(GL_COLOR_ARRAY);
  }
  bool alwaysTextured = format == vfPCT || format == vfPNCT;
  bool texturedWhenBound = format == vfPNT || format == vfPT;
  if (layout.texCoordOffset >= 0 && (alwaysTextured || (texturedWhenBound && boundPixmaps()[0]))) {
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, layout.size, base + layout.texCoordOffset);
  } else {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  if (indices) {
    glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_SHORT, indices);
  } else {
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);
  }
  if (colourArray) {
    // A colour array leaves the current colour undefined: put the material's back.
    float colour[4];
    ColorToFloats(material().diffuse, colour);
    glColor4fv(colour);
  }
  glPopMatrix();
}

void TOGLDevice::FlushDrawing() {
  if (!pending_.active) return;
  pending_.active = false;
  TMesh* mesh = dynamicMesh();
  if (!mesh || !ready()) return;
  DrawClientArrays(mesh, pending_.format, mesh->indexData.data() + pending_.firstIndex, pending_.indexCount, 0);
}

void TOGLDevice::DrawMesh(TMesh* mesh) {
  if (!mesh) return;
  if (mesh->animated) {
    DrawMeshFrame(mesh, 0, false, mesh->frameCount, 0, 0);
    return;
  }
  int32_t vertices = mesh->batchVertices;
  if (!ready() || vertices <= 0) return;
  // Triangles drawn: three indices each for an indexed batch (the dynamic
  // mesh's quads too), three vertices each otherwise.
  addTriangles(mesh->indexed ? mesh->batchIndices / 3 : vertices / 3);
  if (mesh->dynamic && mesh == dynamicMesh()) {
    if (mesh->batchIndices <= 0) return;
    bool follows = pending_.active && pending_.format == mesh->format &&
                   mesh->batchFirstIndex == pending_.firstIndex + pending_.indexCount;
    if (follows) {
      pending_.indexCount += mesh->batchIndices;
      return;
    }
    FlushDrawing();
    pending_ = {true, mesh->format, mesh->batchFirstIndex, mesh->batchIndices};
    return;
  }
  FlushDrawing();
  if (mesh->indexed) {
    if (mesh->batchIndices > 0) {
      DrawClientArrays(mesh, mesh->format, mesh->indexData.data() + mesh->batchFirstIndex, mesh->batchIndices, 0);
    }
  } else {
    DrawClientArrays(mesh, mesh->format, nullptr, 0, vertices);
  }
}

void TOGLDevice::SetWorldMatrix(const TMatrix4F& matrix) {
  TMatrix4F moved = matrix;
  if (RenderStateOn(rs2D)) {
    moved(3, 0) += pixelOffset();
    moved(3, 1) += pixelOffset();
  }
  if (!(moved == worldMatrix())) FlushDrawing();
  inherited::SetWorldMatrix(matrix);
}

void TOGLDevice::DrawLine(const TVector4F* points, int32_t count, float width) {
  if (!ready() || !points || count <= 0) return;
  FlushDrawing();
  SetPixmap(0, defaultSkin());
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glMultMatrixf(worldMatrix().m);
  float colour[4];
  ColorToFloats(material().diffuse, colour);
  glColor4fv(colour);
  glLineWidth(width > 0 ? width : 1.0f);
  glBegin(GL_LINES);
  glTexCoord2f(0, 0);
  for (int32_t i = 0; i < count; ++i) glVertex3f(points[i].x, points[i].y, points[i].z);
  glEnd();
  glPopMatrix();
}
