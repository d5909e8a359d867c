// Making resources on the device, copying between surfaces, and the render
// target the device draws into.
#include <algorithm>
#include <cstring>

#include "compat/d3d8/internal/device.h"
#include "compat/d3d8/internal/formats.h"
#include "compat/d3d8/internal/settings.h"

namespace d3d8_internal {

namespace {
constexpr UINT kLargestImage = 16384;

// Whether `bytes` more fit in the adapter's texture memory.
bool Fits(uint64_t bytes) {
  uint64_t used = CurrentCounts().videoBytes;
  return used + bytes <= CurrentSettings().textureMemory;
}

bool ValidPool(D3DPOOL pool) {
  return pool == D3DPOOL_DEFAULT || pool == D3DPOOL_MANAGED || pool == D3DPOOL_SYSTEMMEM;
}
}  // namespace

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture8** texture) {
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  auto limit = static_cast<UINT>(core_->gl.maxTextureSize);
  if (width == 0 || height == 0 || width > limit || height > limit || BytesPerPixel(format) == 0 ||
      !ValidPool(pool) || (usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL))) {
    return D3DERR_INVALIDCALL;
  }
  if (pool != D3DPOOL_SYSTEMMEM && !Fits(uint64_t{width} * height * static_cast<uint64_t>(BytesPerPixel(format)))) {
    return D3DERR_OUTOFVIDEOMEMORY;
  }
  auto made = Ref<Texture>::Adopt(new Texture(core_, width, height, levels, usage, format, pool));
  if (pool != D3DPOOL_SYSTEMMEM && !made->drawable()) return D3DERR_OUTOFVIDEOMEMORY;
  *texture = made.Detach();
  return D3D_OK;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer8** buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = nullptr;
  FVFLayout layout;
  if (length == 0 || !ValidPool(pool) || (fvf != 0 && (!LayoutOf(fvf, layout) || length < UINT(layout.size)))) {
    return D3DERR_INVALIDCALL;
  }
  *buffer = new VertexBuffer(core_, length, usage, fvf, pool);
  return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer8** buffer) {
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = nullptr;
  if (length == 0 || !ValidPool(pool) || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32)) {
    return D3DERR_INVALIDCALL;
  }
  *buffer = new IndexBuffer(core_, length, usage, format, pool);
  return D3D_OK;
}

HRESULT Device::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                   BOOL lockable, IDirect3DSurface8** surface) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  auto limit = static_cast<UINT>(core_->gl.maxTextureSize);
  if (width == 0 || height == 0 || width > limit || height > limit || BytesPerPixel(format) == 0 ||
      multiSample != D3DMULTISAMPLE_NONE) {
    return D3DERR_INVALIDCALL;
  }
  if (!Fits(uint64_t{width} * height * static_cast<uint64_t>(BytesPerPixel(format)))) return D3DERR_OUTOFVIDEOMEMORY;
  auto made = Ref<Surface>::Adopt(new Surface(core_, Surface::Kind::RenderTarget, width, height, format, lockable));
  if (!made->made()) return D3DERR_OUTOFVIDEOMEMORY;
  *surface = made.Detach();
  return D3D_OK;
}

HRESULT Device::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                          D3DMULTISAMPLE_TYPE multiSample, IDirect3DSurface8** surface) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  auto limit = static_cast<UINT>(core_->gl.maxTextureSize);
  if (width == 0 || height == 0 || width > limit || height > limit || !IsDepthFormat(format) ||
      multiSample != D3DMULTISAMPLE_NONE) {
    return D3DERR_INVALIDCALL;
  }
  if (!Fits(uint64_t{width} * height * static_cast<uint64_t>(DepthBytes(format)))) return D3DERR_OUTOFVIDEOMEMORY;
  auto made = Ref<Surface>::Adopt(new Surface(core_, Surface::Kind::DepthStencil, width, height, format, false));
  if (!made->made()) return D3DERR_OUTOFVIDEOMEMORY;
  *surface = made.Detach();
  return D3D_OK;
}

HRESULT Device::CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (width == 0 || height == 0 || width > kLargestImage || height > kLargestImage || BytesPerPixel(format) == 0) {
    return D3DERR_INVALIDCALL;
  }
  *surface = new Surface(core_, Surface::Kind::Image, width, height, format, true);
  return D3D_OK;
}

// Colour pictures of one format: from the adapter into memory, memory to
// memory, or memory onto a render target.
HRESULT Device::CopyRects(IDirect3DSurface8* source, const RECT* sourceRects, UINT count,
                          IDirect3DSurface8* destination, const POINT* destPoints) {
  auto* from = static_cast<Surface*>(source);
  auto* to = static_cast<Surface*>(destination);
  if (!from || !to || from == to || from->dead() || to->dead() || from->isDepth() || to->isDepth() ||
      from->format() != to->format() || (count > 0 && !sourceRects)) {
    return D3DERR_INVALIDCALL;
  }
  if ((!from->isImage() && &from->core() != core_.get()) || (!to->isImage() && &to->core() != core_.get())) {
    return D3DERR_INVALIDCALL;
  }
  if (!from->isImage() && !to->isImage()) return D3DERR_INVALIDCALL;
  UINT rectCount = count == 0 ? 1 : count;
  // Every rectangle is checked before anything is copied.
  std::vector<std::pair<RECT, POINT>> copies;
  for (UINT i = 0; i < rectCount; ++i) {
    RECT area;
    if (!ResolveRect(count == 0 ? nullptr : &sourceRects[i], from->width(), from->height(), area)) {
      return D3DERR_INVALIDCALL;
    }
    POINT at = destPoints ? destPoints[i] : POINT{area.left, area.top};
    LONG width = area.right - area.left, height = area.bottom - area.top;
    if (at.x < 0 || at.y < 0 || uint64_t(at.x) + width > to->width() || uint64_t(at.y) + height > to->height()) {
      return D3DERR_INVALIDCALL;
    }
    copies.emplace_back(area, at);
  }
  if (lost() && (!from->isImage() || !to->isImage())) return D3D_OK;
  int bpp = BytesPerPixel(from->format());
  for (const auto& [area, at] : copies) {
    LONG width = area.right - area.left, height = area.bottom - area.top;
    if (!from->isImage()) {
      from->ReadPixels(area, to->memory().At(at.x, at.y), to->memory().pitch);
    } else if (!to->isImage()) {
      to->WritePixels(RECT{at.x, at.y, at.x + width, at.y + height}, from->memory().At(area.left, area.top),
                      from->memory().pitch);
    } else {
      for (LONG row = 0; row < height; ++row) {
        std::memmove(to->memory().At(at.x, at.y + row), from->memory().At(area.left, area.top + row),
                     static_cast<size_t>(width) * bpp);
      }
    }
  }
  return D3D_OK;
}

// The viewport becomes the whole new target, as on the system.
HRESULT Device::SetRenderTarget(IDirect3DSurface8* target, IDirect3DSurface8* depth) {
  auto* colour = target ? static_cast<Surface*>(target) : renderTarget_.get();
  auto* depthSurface = static_cast<Surface*>(depth);
  if (!colour || colour->dead() || !colour->isColour() || &colour->core() != core_.get()) return D3DERR_INVALIDCALL;
  if (depthSurface && (depthSurface->dead() || !depthSurface->isDepth() || &depthSurface->core() != core_.get() ||
                       depthSurface->width() < colour->width() || depthSurface->height() < colour->height())) {
    return D3DERR_INVALIDCALL;
  }
  renderTarget_ = Ref<Surface>(colour);
  depthSurface_ = Ref<Surface>(depthSurface);
  DoViewport(D3DVIEWPORT8{0, 0, colour->width(), colour->height(), 0, 1});
  dirty_ |= kDirtyTarget;
  return D3D_OK;
}

HRESULT Device::GetRenderTarget(IDirect3DSurface8** target) {
  if (!target || !renderTarget_) return D3DERR_INVALIDCALL;
  renderTarget_->AddRef();
  *target = renderTarget_.get();
  return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface8** depth) {
  if (!depth) return D3DERR_INVALIDCALL;
  *depth = depthSurface_.get();
  if (!*depth) return D3DERR_NOTFOUND;
  (*depth)->AddRef();
  return D3D_OK;
}

}  // namespace d3d8_internal
