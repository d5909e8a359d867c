// The device's GL side, and the memory, locks and GL objects of textures,
// surfaces and buffers.
#include "compat/d3d8/internal/resources.h"

#include <algorithm>
#include <cstring>

#include <sys/mman.h>

#include "compat/d3d8/internal/formats.h"
#include "compat/d3d8/internal/settings.h"
#include "compat/win32/gdi.h"
#include "compat/win32/gl_context.h"

namespace d3d8_internal {

// The pages of a large new block mapped in one call, before its rows are
// written: a fault per page costs far more, above all in virtual machines.
// Best effort: a kernel without it leaves the pages to fault one by one.
void PrefaultForWriting(void* start, size_t size) {
  constexpr uintptr_t kPage = 4096;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(start) + kPage - 1) & ~(kPage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(start) + size) & ~(kPage - 1);
  if (end > begin + 16 * kPage) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
}

// ---- the device's GL side -------------------------------------------------------------

DeviceCore::~DeviceCore() {
  if (context) {
    if (MakeCurrent()) {
      if (drawFramebuffer) glDeleteFramebuffers(1, &drawFramebuffer);
      if (readFramebuffer) glDeleteFramebuffers(1, &readFramebuffer);
    }
    if (wglGetCurrentContext() == context) wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
  }
  if (dc) ReleaseDC(window, dc);
}

bool DeviceCore::MakeCurrent() {
  if (!context) return false;
  if (wglGetCurrentContext() == context) return true;
  return wglMakeCurrent(dc, context) != FALSE;
}

// ---- resources ---------------------------------------------------------------------------

Resource::Resource(std::shared_ptr<DeviceCore> core, D3DPOOL pool, bool defaultPool)
    : core_(std::move(core)), pool_(pool), defaultPool_(defaultPool) {
  if (defaultPool_) {
    core_->defaultPoolResources += 1;
    CurrentCounts().defaultPoolResources += 1;
  }
}

Resource::~Resource() {
  SetVideoBytes(0);
  if (defaultPool_) {
    core_->defaultPoolResources -= 1;
    CurrentCounts().defaultPoolResources -= 1;
  }
}

void Resource::SetVideoBytes(uint64_t bytes) {
  CurrentCounts().videoBytes = CurrentCounts().videoBytes - videoBytes_ + bytes;
  videoBytes_ = bytes;
}

bool ResolveRect(const RECT* rect, UINT width, UINT height, RECT& out) {
  if (!rect) {
    out = RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    return width > 0 && height > 0;
  }
  if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom) return false;
  if (static_cast<UINT>(rect->right) > width || static_cast<UINT>(rect->bottom) > height) return false;
  out = *rect;
  return true;
}

void PictureMemory::Describe(UINT w, UINT h, int bpp) {
  width = w;
  height = h;
  bytesPerPixel = bpp;
  int32_t rowBytes = static_cast<int32_t>(w) * bpp;
  pitch = (PitchFor(rowBytes) + 3) & ~3;
}

void PictureMemory::Allocate(UINT w, UINT h, int bpp) {
  Describe(w, h, bpp);
  const size_t size = static_cast<size_t>(pitch) * h;
  bytes.reserve(size);
  PrefaultForWriting(bytes.data(), size);
  bytes.assign(size, 0);
}

void PictureMemory::Release() { std::vector<uint8_t>().swap(bytes); }

// ---- textures ------------------------------------------------------------------------------

namespace {
UINT FullChainLength(UINT width, UINT height) {
  UINT levels = 1;
  while (width > 1 || height > 1) {
    width = std::max(1u, width / 2);
    height = std::max(1u, height / 2);
    levels += 1;
  }
  return levels;
}
}  // namespace

// A texture of the default or managed pool keeps its pixels in GL alone:
// the rows a lock hands out exist only while a level is locked for its
// first fill (what loading a picture does), and from a level's second lock
// on, which reads them back from GL. A system-memory texture, or one made
// without a GL context, has only its rows.
Texture::Texture(std::shared_ptr<DeviceCore> core, UINT width, UINT height, UINT levels, DWORD usage,
                 D3DFORMAT format, D3DPOOL pool)
    : Resource(std::move(core), pool, pool == D3DPOOL_DEFAULT), format_(format), usage_(usage) {
  UINT chain = FullChainLength(width, height);
  UINT count = levels == 0 ? chain : std::min(levels, chain);
  int bpp = BytesPerPixel(format);
  levels_.resize(count);
  const bool inGL = pool != D3DPOOL_SYSTEMMEM && Current();
  uint64_t bytes = 0;
  for (UINT i = 0; i < count; ++i) {
    UINT w = std::max(1u, width >> i), h = std::max(1u, height >> i);
    levels_[i].memory.Describe(w, h, bpp);
    if (!inGL) AllocateRows(levels_[i]);
    bytes += uint64_t{w} * h * static_cast<uint64_t>(bpp);
  }
  if (!inGL) return;
  GLPixelFormat gl = ColourFormatFor(format, this->core().gl.rgb565);
  glGenTextures(1, &name_);
  glBindTexture(GL_TEXTURE_2D, name_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(count) - 1);
  // Storage only: each level gets its pixels when first unlocked, or zeros
  // before a draw that comes first.
  for (UINT i = 0; i < count; ++i) {
    const PictureMemory& memory = levels_[i].memory;
    glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), static_cast<GLint>(gl.internalFormat),
                 static_cast<GLsizei>(memory.width), static_cast<GLsizei>(memory.height), 0, gl.format, gl.type,
                 nullptr);
  }
  undefinedLevels_ = count;
  SetVideoBytes(bytes);
}

Texture::~Texture() {
  for (Level& entry : levels_) ReleaseRows(entry);
  if (name_ && Current()) glDeleteTextures(1, &name_);
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* description) {
  if (level >= levels_.size() || !description) return D3DERR_INVALIDCALL;
  const PictureMemory& memory = levels_[level].memory;
  description->Format = format_;
  description->Usage = usage_;
  description->Pool = pool();
  description->Size = static_cast<UINT>(memory.width * memory.height * static_cast<UINT>(memory.bytesPerPixel));
  description->Width = memory.width;
  description->Height = memory.height;
  return D3D_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  if (level >= levels_.size() || !locked) return D3DERR_INVALIDCALL;
  Level& entry = levels_[level];
  RECT area;
  if (entry.lock.locked || !ResolveRect(rect, entry.memory.width, entry.memory.height, area)) {
    return D3DERR_INVALIDCALL;
  }
  if (entry.memory.bytes.empty()) {
    AllocateRows(entry);
    if (entry.defined) ReadBack(level);
  }
  entry.locks += 1;
  entry.lock = PictureLock{true, (flags & D3DLOCK_READONLY) != 0, area};
  locked->pBits = entry.memory.At(area.left, area.top);
  locked->Pitch = entry.memory.pitch;
  return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT level) {
  if (level >= levels_.size() || !levels_[level].lock.locked) return D3DERR_INVALIDCALL;
  Level& entry = levels_[level];
  entry.lock.locked = false;
  if (!name_) return D3D_OK;
  // A level's first pixels go up whole, the rows outside the lock as zeros.
  if (!entry.defined) {
    Upload(level, RECT{0, 0, static_cast<LONG>(entry.memory.width), static_cast<LONG>(entry.memory.height)});
  } else if (!entry.lock.readOnly) {
    Upload(level, entry.lock.rect);
  }
  // Filled once: GL holds the pixels (unless no context took them).
  if (entry.locks == 1 && entry.defined) ReleaseRows(entry);
  return D3D_OK;
}

void Texture::Upload(UINT level, const RECT& rect) {
  if (!name_ || !Current()) return;
  Level& entry = levels_[level];
  PictureMemory& memory = entry.memory;
  GLPixelFormat gl = ColourFormatFor(format_, core().gl.rgb565);
  glBindTexture(GL_TEXTURE_2D, name_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, memory.pitch / memory.bytesPerPixel);
  glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, gl.format, gl.type, memory.At(rect.left, rect.top));
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  if (!entry.defined) {
    entry.defined = true;
    undefinedLevels_ -= 1;
  }
}

void Texture::ReadBack(UINT level) {
  if (!name_ || !Current()) return;
  PictureMemory& memory = levels_[level].memory;
  GLPixelFormat gl = ColourFormatFor(format_, core().gl.rgb565);
  glBindTexture(GL_TEXTURE_2D, name_);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ROW_LENGTH, memory.pitch / memory.bytesPerPixel);
  glGetTexImage(GL_TEXTURE_2D, static_cast<GLint>(level), gl.format, gl.type, memory.bytes.data());
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
}

void Texture::AllocateRows(Level& entry) {
  entry.memory.Allocate(entry.memory.width, entry.memory.height, entry.memory.bytesPerPixel);
  CurrentCounts().textureRowBytes += entry.memory.bytes.size();
}

void Texture::ReleaseRows(Level& entry) {
  CurrentCounts().textureRowBytes -= entry.memory.bytes.size();
  entry.memory.Release();
}

// A level drawn before it was ever filled shows zeros, as one filled with them.
void Texture::DefineUnfilledLevels() {
  for (UINT level = 0; level < levels_.size() && undefinedLevels_ > 0; ++level) {
    Level& entry = levels_[level];
    if (entry.defined || entry.lock.locked) continue;
    const bool hadRows = !entry.memory.bytes.empty();
    if (!hadRows) AllocateRows(entry);
    Upload(level, RECT{0, 0, static_cast<LONG>(entry.memory.width), static_cast<LONG>(entry.memory.height)});
    if (!hadRows) ReleaseRows(entry);
  }
}

void Texture::UseSampling(GLint minFilter, GLint magFilter, GLint wrapS, GLint wrapT) {
  if (undefinedLevels_ > 0) [[unlikely]] {
    DefineUnfilledLevels();
    glBindTexture(GL_TEXTURE_2D, name_);
  }
  const GLint wanted[4] = {minFilter, magFilter, wrapS, wrapT};
  const GLenum names[4] = {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER, GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T};
  for (int i = 0; i < 4; ++i) {
    if (sampling_[i] == wanted[i]) continue;
    glTexParameteri(GL_TEXTURE_2D, names[i], wanted[i]);
    sampling_[i] = wanted[i];
  }
}

// ---- surfaces ------------------------------------------------------------------------------

namespace {
D3DPOOL PoolOf(Surface::Kind kind) {
  return kind == Surface::Kind::Image ? D3DPOOL_SYSTEMMEM : D3DPOOL_DEFAULT;
}
// Render targets and depth surfaces the caller makes are lost with the
// device; the back buffer and its depth buffer belong to the device itself.
bool CountedAsDefaultPool(Surface::Kind kind) {
  return kind == Surface::Kind::RenderTarget || kind == Surface::Kind::DepthStencil;
}
}  // namespace

Surface::Surface(std::shared_ptr<DeviceCore> core, Kind kind, UINT width, UINT height, D3DFORMAT format,
                 bool lockable, bool onWindow)
    : Resource(std::move(core), PoolOf(kind), CountedAsDefaultPool(kind)),
      kind_(kind),
      width_(width),
      height_(height),
      format_(format),
      lockable_(lockable || kind == Kind::Image),
      onWindow_(onWindow && (kind == Kind::BackBuffer || kind == Kind::AutoDepth)) {
  if (kind_ == Kind::Image) {
    memory_.Allocate(width, height, BytesPerPixel(format));
    made_ = true;
    return;
  }
  if (!Current()) return;
  while (glGetError() != GL_NO_ERROR) {
  }
  const uint64_t bytes = uint64_t{width} * height * static_cast<uint64_t>(isDepth() ? DepthBytes(format)
                                                                                    : BytesPerPixel(format));
  if (onWindow_) {
    // The window's buffers exist already; a new back buffer is black.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    if (isDepth()) {
      glDepthMask(GL_TRUE);
      glStencilMask(0xFF);
      glClearDepth(1);
      glClearStencil(0);
      glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    } else {
      glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
      glClearColor(0, 0, 0, 0);
      glClear(GL_COLOR_BUFFER_BIT);
    }
    SetVideoBytes(bytes);
    made_ = glGetError() == GL_NO_ERROR;
    return;
  }
  if (isDepth()) {
    PictureDepth();
    SetVideoBytes(bytes);
  } else {
    GLPixelFormat gl = ColourFormatFor(format, this->core().gl.rgb565);
    std::vector<uint8_t> zeros(static_cast<size_t>(width) * height * static_cast<size_t>(BytesPerPixel(format)));
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(gl.internalFormat), static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, gl.format, gl.type, zeros.data());
    SetVideoBytes(bytes);
  }
  made_ = glGetError() == GL_NO_ERROR;
}

GLuint Surface::PictureDepth() {
  if (!renderbuffer_ && isDepth() && !dead_ && Current()) {
    glGenRenderbuffers(1, &renderbuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, DepthFormatFor(format_), static_cast<GLsizei>(width_),
                          static_cast<GLsizei>(height_));
  }
  return renderbuffer_;
}

Surface::~Surface() { ReleaseGL(); }

void Surface::ReleaseGL() {
  if ((texture_ || renderbuffer_) && Current()) {
    if (texture_) glDeleteTextures(1, &texture_);
    if (renderbuffer_) glDeleteRenderbuffers(1, &renderbuffer_);
  }
  texture_ = 0;
  renderbuffer_ = 0;
  SetVideoBytes(0);
}

void Surface::Kill() {
  ReleaseGL();
  dead_ = true;
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* description) {
  if (!description) return D3DERR_INVALIDCALL;
  description->Format = format_;
  description->Usage = isDepth() ? D3DUSAGE_DEPTHSTENCIL : (isColour() ? D3DUSAGE_RENDERTARGET : 0);
  description->Pool = pool();
  int bpp = isDepth() ? DepthBytes(format_) : BytesPerPixel(format_);
  description->Size = width_ * height_ * static_cast<UINT>(bpp);
  description->Width = width_;
  description->Height = height_;
  return D3D_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  RECT area;
  if (dead_ || !made_ || !locked || !lockable_ || isDepth() || lock_.locked ||
      !ResolveRect(rect, width_, height_, area)) {
    return D3DERR_INVALIDCALL;
  }
  lock_ = PictureLock{true, (flags & D3DLOCK_READONLY) != 0, area};
  if (isColour()) {
    if (memory_.bytes.empty()) memory_.Allocate(width_, height_, BytesPerPixel(format_));
    ReadPixels(area, memory_.At(area.left, area.top), memory_.pitch);
  }
  locked->pBits = memory_.At(area.left, area.top);
  locked->Pitch = memory_.pitch;
  return D3D_OK;
}

HRESULT Surface::UnlockRect() {
  if (!lock_.locked) return D3DERR_INVALIDCALL;
  lock_.locked = false;
  if (isColour() && !lock_.readOnly && !dead_) {
    WritePixels(lock_.rect, memory_.At(lock_.rect.left, lock_.rect.top), memory_.pitch);
  }
  return D3D_OK;
}

void Surface::ReadPixels(const RECT& rect, uint8_t* destination, int32_t pitch) {
  if ((!texture_ && !onWindow_) || !Current()) return;
  const GLFeatures& gl = core().gl;
  GLPixelFormat format = ColourFormatFor(format_, gl.rgb565);
  int bpp = BytesPerPixel(format_);
  LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
  size_t rowBytes = static_cast<size_t>(width) * bpp;
  std::vector<uint8_t> bottomUp(rowBytes * static_cast<size_t>(height));
  if (onWindow_) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
  } else {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, core().readFramebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture_, 0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
  }
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glReadPixels(rect.left, static_cast<GLint>(height_) - rect.bottom, width, height, format.format, format.type,
               bottomUp.data());
  for (LONG row = 0; row < height; ++row) {
    std::memcpy(destination + static_cast<size_t>(row) * static_cast<size_t>(pitch),
                bottomUp.data() + static_cast<size_t>(height - 1 - row) * rowBytes, rowBytes);
  }
}

void Surface::WritePixels(const RECT& rect, const uint8_t* source, int32_t pitch) {
  if ((!texture_ && !onWindow_) || !Current()) return;
  GLPixelFormat format = ColourFormatFor(format_, core().gl.rgb565);
  int bpp = BytesPerPixel(format_);
  LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
  size_t rowBytes = static_cast<size_t>(width) * bpp;
  std::vector<uint8_t> bottomUp(rowBytes * static_cast<size_t>(height));
  for (LONG row = 0; row < height; ++row) {
    std::memcpy(bottomUp.data() + static_cast<size_t>(height - 1 - row) * rowBytes,
                source + static_cast<size_t>(row) * static_cast<size_t>(pitch), rowBytes);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  if (!onWindow_) {
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexSubImage2D(GL_TEXTURE_2D, 0, rect.left, static_cast<GLint>(height_) - rect.bottom, width, height,
                    format.format, format.type, bottomUp.data());
    return;
  }
  // Into the window: through a picture of the rectangle, copied across.
  GLuint picture = 0;
  glGenTextures(1, &picture);
  glBindTexture(GL_TEXTURE_2D, picture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format.internalFormat), width, height, 0, format.format,
               format.type, bottomUp.data());
  glBindFramebuffer(GL_READ_FRAMEBUFFER, core().readFramebuffer);
  glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, picture, 0);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glDrawBuffer(GL_BACK);
  glDisable(GL_SCISSOR_TEST);
  const GLint bottom = static_cast<GLint>(height_) - rect.bottom;
  glBlitFramebuffer(0, 0, width, height, rect.left, bottom, rect.right, bottom + height, GL_COLOR_BUFFER_BIT,
                    GL_NEAREST);
  glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
  glDeleteTextures(1, &picture);
}

// ---- buffers --------------------------------------------------------------------------------

namespace {
// What a discarded buffer holds until it is written: data nobody may rely on.
constexpr uint8_t kDiscardedByte = 0xCD;
}  // namespace

HRESULT BufferStore::Lock(UINT offset, UINT size, BYTE** data, DWORD flags) {
  if (!data || locked_ || offset > bytes_.size()) return D3DERR_INVALIDCALL;
  if (size == 0) size = static_cast<UINT>(bytes_.size()) - offset;
  if (uint64_t{offset} + size > bytes_.size()) return D3DERR_INVALIDCALL;
  if (flags & D3DLOCK_DISCARD) std::fill(bytes_.begin(), bytes_.end(), kDiscardedByte);
  *data = bytes_.data() + offset;
  locked_ = true;
  return D3D_OK;
}

HRESULT BufferStore::Unlock() {
  if (!locked_) return D3DERR_INVALIDCALL;
  locked_ = false;
  return D3D_OK;
}

VertexBuffer::VertexBuffer(std::shared_ptr<DeviceCore> core, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : Resource(std::move(core), pool, pool == D3DPOOL_DEFAULT), BufferStore(length, usage), fvf_(fvf) {}

IndexBuffer::IndexBuffer(std::shared_ptr<DeviceCore> core, UINT length, DWORD usage, D3DFORMAT format,
                         D3DPOOL pool)
    : Resource(std::move(core), pool, pool == D3DPOOL_DEFAULT), BufferStore(length, usage), format_(format) {}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* description) {
  if (!description) return D3DERR_INVALIDCALL;
  *description = D3DVERTEXBUFFER_DESC{D3DFMT_VERTEXDATA, usage(), pool(), length(), fvf_};
  return D3D_OK;
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* description) {
  if (!description) return D3DERR_INVALIDCALL;
  *description = D3DINDEXBUFFER_DESC{format_, usage(), pool(), length()};
  return D3D_OK;
}

}  // namespace d3d8_internal
