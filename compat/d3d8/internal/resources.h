#pragma once
// The device's GL side and the resources made on it: textures, surfaces,
// vertex and index buffers.
#include <memory>
#include <utility>
#include <vector>

#include "compat/d3d8/d3d8.h"
#include "compat/d3d8/internal/gl_features.h"

namespace d3d8_internal {

// A counted reference to a layer object, released when it goes.
template <typename T>
class Ref {
 public:
  Ref() = default;
  // Takes a new reference to `object`.
  explicit Ref(T* object) : object_(object) {
    if (object_) object_->AddRef();
  }
  Ref(const Ref& other) : Ref(other.object_) {}
  Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  Ref& operator=(Ref other) {
    std::swap(object_, other.object_);
    return *this;
  }
  ~Ref() {
    if (object_) object_->Release();
  }
  // Takes over a reference the caller already holds.
  static Ref Adopt(T* object) {
    Ref ref;
    ref.object_ = object;
    return ref;
  }
  T* get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // Hands the reference to the caller.
  T* Detach() { return std::exchange(object_, nullptr); }

 private:
  T* object_ = nullptr;
};

// The GL side of one device: its context on the window and the framebuffer
// objects it draws through. Resources keep it alive, so that one released
// after its device can still delete its GL objects.
class DeviceCore {
 public:
  DeviceCore(HWND window, HDC dc, HGLRC context) : window(window), dc(dc), context(context) {}
  ~DeviceCore();
  DeviceCore(const DeviceCore&) = delete;
  DeviceCore& operator=(const DeviceCore&) = delete;

  // Makes the device's context current; false when it cannot be.
  bool MakeCurrent();

  HWND window;
  HDC dc;
  HGLRC context;
  GLFeatures gl;
  GLuint drawFramebuffer = 0;  // the render target and depth buffer drawn into
  GLuint readFramebuffer = 0;  // a surface read or shown
  int defaultPoolResources = 0;
};

// What every resource shares: its device's GL side, its pool, its count.
class Resource {
 public:
  Resource(std::shared_ptr<DeviceCore> core, D3DPOOL pool, bool defaultPool);
  virtual ~Resource();
  Resource(const Resource&) = delete;
  Resource& operator=(const Resource&) = delete;

  DeviceCore& core() const { return *core_; }
  D3DPOOL pool() const { return pool_; }
  // The GL context is current for work on the resource's GL objects.
  bool Current() const { return core_->MakeCurrent(); }

 protected:
  // Memory the resource takes of the adapter's texture memory.
  void SetVideoBytes(uint64_t bytes);

  uint32_t refs_ = 1;

 private:
  std::shared_ptr<DeviceCore> core_;
  D3DPOOL pool_;
  bool defaultPool_;
  uint64_t videoBytes_ = 0;
};

#define Q_D3D8_REFERENCE_COUNTED                     \
  uint32_t AddRef() override { return ++refs_; }     \
  uint32_t Release() override {                      \
    uint32_t left = --refs_;                         \
    if (left == 0) delete this;                      \
    return left;                                     \
  }

// A rectangle of a picture, checked against its size.
bool ResolveRect(const RECT* rect, UINT width, UINT height, RECT& out);

// Maps the pages of a large block about to be written whole.
void PrefaultForWriting(void* start, size_t size);

// Rows of a picture kept in system memory, top-down, with their pitch.
struct PictureMemory {
  UINT width = 0;
  UINT height = 0;
  int bytesPerPixel = 0;
  int32_t pitch = 0;
  std::vector<uint8_t> bytes;

  // The size and pitch alone, with no rows yet.
  void Describe(UINT w, UINT h, int bpp);
  // Rows of zeros.
  void Allocate(UINT w, UINT h, int bpp);
  void Release();
  uint8_t* At(LONG x, LONG y) {
    return bytes.data() + static_cast<size_t>(y) * static_cast<size_t>(pitch) + static_cast<size_t>(x) * bytesPerPixel;
  }
};

// A lock on part of a picture.
struct PictureLock {
  bool locked = false;
  bool readOnly = false;
  RECT rect;
};

class Texture final : public IDirect3DTexture8, public Resource {
 public:
  Texture(std::shared_ptr<DeviceCore> core, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
          D3DPOOL pool);
  ~Texture() override;
  Q_D3D8_REFERENCE_COUNTED

  DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* description) override;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT level) override;

  // Whether the GL texture exists (a system-memory texture has none).
  bool drawable() const { return name_ != 0; }
  GLuint name() const { return name_; }
  // Sets the filters and addressing of the GL texture for a draw, when they differ.
  void UseSampling(GLint minFilter, GLint magFilter, GLint wrapS, GLint wrapT);

 private:
  struct Level {
    PictureMemory memory;
    PictureLock lock;
    int locks = 0;         // locks so far
    bool defined = false;  // GL holds the level's pixels
  };
  void Upload(UINT level, const RECT& rect);
  void ReadBack(UINT level);
  void DefineUnfilledLevels();
  void AllocateRows(Level& entry);
  void ReleaseRows(Level& entry);

  D3DFORMAT format_;
  DWORD usage_;
  GLuint name_ = 0;
  std::vector<Level> levels_;
  UINT undefinedLevels_ = 0;
  GLint sampling_[4] = {-1, -1, -1, -1};
};

class Surface final : public IDirect3DSurface8, public Resource {
 public:
  enum class Kind { BackBuffer, AutoDepth, RenderTarget, DepthStencil, Image };
  // `onWindow` (back buffers and their depth buffers only): the surface is
  // the window's own framebuffer, not a picture of its own.
  Surface(std::shared_ptr<DeviceCore> core, Kind kind, UINT width, UINT height, D3DFORMAT format, bool lockable,
          bool onWindow = false);
  ~Surface() override;
  Q_D3D8_REFERENCE_COUNTED

  HRESULT GetDesc(D3DSURFACE_DESC* description) override;
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;

  Kind kind() const { return kind_; }
  UINT width() const { return width_; }
  UINT height() const { return height_; }
  D3DFORMAT format() const { return format_; }
  bool isColour() const { return kind_ == Kind::BackBuffer || kind_ == Kind::RenderTarget; }
  bool isDepth() const { return kind_ == Kind::AutoDepth || kind_ == Kind::DepthStencil; }
  bool isImage() const { return kind_ == Kind::Image; }
  // A surface of a device that was reset or released: nothing can be done with it.
  bool dead() const { return dead_; }
  void Kill();
  bool made() const { return made_; }
  // Drawn straight into the window: Present only swaps.
  bool onWindow() const { return onWindow_; }
  GLuint texture() const { return texture_; }
  GLuint renderbuffer() const { return renderbuffer_; }
  // The depth buffer to draw into a picture with: a window's depth buffer
  // serves only the window, so it gets one of its own for pictures.
  GLuint PictureDepth();
  PictureMemory& memory() { return memory_; }
  // Fills the whole colour picture with one colour (a new back buffer is black).
  void Fill(float red, float green, float blue, float alpha);
  // Copies a rectangle of a colour surface (GL rows bottom-up) into memory rows top-down.
  void ReadPixels(const RECT& rect, uint8_t* destination, int32_t pitch);
  // The reverse, for a lockable render target.
  void WritePixels(const RECT& rect, const uint8_t* source, int32_t pitch);

 private:
  void ReleaseGL();

  Kind kind_;
  UINT width_;
  UINT height_;
  D3DFORMAT format_;
  bool lockable_;
  bool onWindow_;
  bool made_ = false;
  bool dead_ = false;
  GLuint texture_ = 0;
  GLuint renderbuffer_ = 0;
  PictureMemory memory_;  // image surfaces; the staging copy of a locked render target
  PictureLock lock_;
};

// The bytes of a vertex or index buffer, locked by range.
class BufferStore {
 public:
  BufferStore(UINT length, DWORD usage) : usage_(usage), bytes_(length) {}
  HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags);
  HRESULT Unlock();
  UINT length() const { return static_cast<UINT>(bytes_.size()); }
  DWORD usage() const { return usage_; }
  const uint8_t* data() const { return bytes_.data(); }
  bool locked() const { return locked_; }

 private:
  DWORD usage_;
  std::vector<uint8_t> bytes_;
  bool locked_ = false;
};

class VertexBuffer final : public IDirect3DVertexBuffer8, public Resource, public BufferStore {
 public:
  VertexBuffer(std::shared_ptr<DeviceCore> core, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
  Q_D3D8_REFERENCE_COUNTED
  HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override {
    return BufferStore::Lock(offset, size, data, flags);
  }
  HRESULT Unlock() override { return BufferStore::Unlock(); }
  HRESULT GetDesc(D3DVERTEXBUFFER_DESC* description) override;
  DWORD fvf() const { return fvf_; }

 private:
  DWORD fvf_;
};

class IndexBuffer final : public IDirect3DIndexBuffer8, public Resource, public BufferStore {
 public:
  IndexBuffer(std::shared_ptr<DeviceCore> core, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
  Q_D3D8_REFERENCE_COUNTED
  HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override {
    return BufferStore::Lock(offset, size, data, flags);
  }
  HRESULT Unlock() override { return BufferStore::Unlock(); }
  HRESULT GetDesc(D3DINDEXBUFFER_DESC* description) override;
  // Bytes of one index.
  int indexSize() const { return format_ == D3DFMT_INDEX32 ? 4 : 2; }

 private:
  D3DFORMAT format_;
};

}  // namespace d3d8_internal
