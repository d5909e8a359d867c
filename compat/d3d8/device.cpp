// The device's life: start, the cooperative levels, Reset, Present, scenes
// and clears.
#include "compat/d3d8/internal/device.h"

#include <algorithm>

#include "compat/d3d8/internal/adapter.h"
#include "compat/d3d8/internal/direct3d.h"
#include "compat/d3d8/internal/formats.h"
#include "compat/d3d8/internal/settings.h"
#include "compat/win32/gl_context.h"
#include "compat/win32/window.h"

namespace d3d8_internal {

std::vector<Device*>& LiveDevices() {
  static std::vector<Device*> devices;
  return devices;
}

Device::Device(Direct3D* direct3d, std::shared_ptr<DeviceCore> core, HWND focusWindow, DWORD behaviour)
    : direct3d_(direct3d), core_(std::move(core)), focusWindow_(focusWindow), behaviour_(behaviour) {
  direct3d_->AddRef();
  LiveDevices().push_back(this);
  CurrentCounts().liveDevices += 1;
}

Device::~Device() {
  DropBindings();
  DropStateBlocks();
  // The back buffer and its depth buffer go with the device, even when a
  // caller still holds them.
  if (backBuffer_) backBuffer_->Kill();
  if (autoDepth_) autoDepth_->Kill();
  backBuffer_ = {};
  autoDepth_ = {};
  renderTarget_ = {};
  depthSurface_ = {};
  if (whiteTexture_ && core_->MakeCurrent()) glDeleteTextures(1, &whiteTexture_);
  LeaveFullScreenMode(this);
  auto& live = LiveDevices();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  CurrentCounts().liveDevices -= 1;
  direct3d_->Release();
}

uint32_t Device::Release() {
  uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT Device::Start(D3DPRESENT_PARAMETERS& parameters) {
  HRESULT checked = CheckParameters(parameters);
  if (FAILED(checked)) return checked;
  if (!core_->MakeCurrent()) return D3DERR_NOTAVAILABLE;
  const GLFeatures& gl = core_->gl;
  glGenFramebuffers(1, &core_->drawFramebuffer);
  glGenFramebuffers(1, &core_->readFramebuffer);
  // Flat shading takes the colour of a triangle's first vertex.
  if (gl.provokingVertex) glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
  const GLubyte white[4] = {255, 255, 255, 255};
  glGenTextures(1, &whiteTexture_);
  glBindTexture(GL_TEXTURE_2D, whiteTexture_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
  HRESULT made = MakeBackBuffer(parameters);
  if (FAILED(made)) return made;
  parameters_ = parameters;
  ApplyDisplayMode(parameters);
  DefaultState();
  return D3D_OK;
}

// ---- present parameters and the back buffer ---------------------------------------------

HRESULT Device::CheckParameters(D3DPRESENT_PARAMETERS& p) const {
  if (!p.hDeviceWindow) p.hDeviceWindow = core_->window;
  if (p.hDeviceWindow != core_->window) return D3DERR_INVALIDCALL;
  if (p.BackBufferCount == 0) p.BackBufferCount = 1;
  if (p.BackBufferCount > 3 || p.MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_INVALIDCALL;
  if (p.SwapEffect < D3DSWAPEFFECT_DISCARD || p.SwapEffect > D3DSWAPEFFECT_COPY) return D3DERR_INVALIDCALL;
  if (p.EnableAutoDepthStencil && !IsDepthFormat(p.AutoDepthStencilFormat)) return D3DERR_INVALIDCALL;
  if (p.Windowed) {
    D3DDISPLAYMODE desktop;
    bool known = DesktopMode(desktop);
    if (p.BackBufferFormat == D3DFMT_UNKNOWN && known) p.BackBufferFormat = desktop.Format;
    if (!IsDisplayFormat(p.BackBufferFormat) || (known && p.BackBufferFormat != desktop.Format)) {
      return D3DERR_INVALIDCALL;
    }
    RECT client;
    if (GetClientRect(p.hDeviceWindow, &client)) {
      if (p.BackBufferWidth == 0) p.BackBufferWidth = static_cast<UINT>(std::max<LONG>(client.right, 1));
      if (p.BackBufferHeight == 0) p.BackBufferHeight = static_cast<UINT>(std::max<LONG>(client.bottom, 1));
    }
    if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0) return D3DERR_INVALIDCALL;
  } else if (!IsDisplayFormat(p.BackBufferFormat) ||
             !HasMode(p.BackBufferWidth, p.BackBufferHeight, p.BackBufferFormat)) {
    return D3DERR_INVALIDCALL;
  }
  auto limit = static_cast<UINT>(core_->gl.maxTextureSize);
  if (p.BackBufferWidth > limit || p.BackBufferHeight > limit) return D3DERR_INVALIDCALL;
  return D3D_OK;
}

// A windowed back buffer of the window's size whose frames are discarded
// after showing is the window's own framebuffer: frames are drawn straight
// into it, Present only swaps, and a reset makes nothing. Any other back
// buffer is a picture that Present copies (and scales) into the window.
bool Device::BackBufferOnWindow(const D3DPRESENT_PARAMETERS& p) const {
  if (!p.Windowed || p.SwapEffect != D3DSWAPEFFECT_DISCARD || !CurrentSettings().straightToWindow) return false;
  if (p.BackBufferFormat != D3DFMT_X8R8G8B8 && p.BackBufferFormat != D3DFMT_A8R8G8B8) return false;
  RECT client;
  return GetClientRect(core_->window, &client) && client.right == static_cast<LONG>(p.BackBufferWidth) &&
         client.bottom == static_cast<LONG>(p.BackBufferHeight);
}

HRESULT Device::MakeBackBuffer(const D3DPRESENT_PARAMETERS& p) {
  bool lockable = (p.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0;
  bool onWindow = BackBufferOnWindow(p);
  auto* colour = new Surface(core_, Surface::Kind::BackBuffer, p.BackBufferWidth, p.BackBufferHeight,
                             p.BackBufferFormat, lockable, onWindow);
  backBuffer_ = Ref<Surface>::Adopt(colour);
  autoDepth_ = {};
  if (p.EnableAutoDepthStencil) {
    autoDepth_ = Ref<Surface>::Adopt(new Surface(core_, Surface::Kind::AutoDepth, p.BackBufferWidth,
                                                 p.BackBufferHeight, p.AutoDepthStencilFormat, false, onWindow));
  }
  if (!backBuffer_->made() || (autoDepth_ && !autoDepth_->made())) return D3DERR_OUTOFVIDEOMEMORY;
  renderTarget_ = backBuffer_;
  depthSurface_ = autoDepth_;
  dirty_ |= kDirtyTarget | kDirtyViewport;
  return D3D_OK;
}

// The adapter shows a full-screen device's mode while it lasts; the window
// itself stays where the platform put it, and Present scales the back
// buffer onto it.
void Device::ApplyDisplayMode(const D3DPRESENT_PARAMETERS& p) {
  fullScreen_ = !p.Windowed;
  if (fullScreen_) {
    EnterFullScreenMode(this, D3DDISPLAYMODE{p.BackBufferWidth, p.BackBufferHeight, p.FullScreen_RefreshRateInHz,
                                             p.BackBufferFormat});
  } else {
    LeaveFullScreenMode(this);
  }
}

namespace {
D3DMATRIX Identity() {
  D3DMATRIX m;
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1;
  return m;
}
}  // namespace

// Direct3D's initial state.
void Device::DefaultState() {
  DeviceState s;
  auto& rs = s.renderStates;
  rs[D3DRS_ZENABLE] = parameters_.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
  rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
  rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
  rs[D3DRS_ZWRITEENABLE] = TRUE;
  rs[D3DRS_LASTPIXEL] = TRUE;
  rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  rs[D3DRS_CULLMODE] = D3DCULL_CCW;
  rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
  rs[D3DRS_CLIPPING] = TRUE;
  rs[D3DRS_LIGHTING] = TRUE;
  rs[D3DRS_COLORVERTEX] = TRUE;
  rs[D3DRS_LOCALVIEWER] = TRUE;
  rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
  rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
  rs[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
  rs[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
  rs[D3DRS_COLORWRITEENABLE] = 0xF;
  rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
  for (DWORD stage = 0; stage < D3D8_TEXTURE_STAGES; ++stage) {
    auto& ts = s.stageStates[stage];
    ts[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    ts[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    ts[D3DTSS_TEXCOORDINDEX] = stage;
    ts[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
    ts[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
    ts[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
    ts[D3DTSS_MINFILTER] = D3DTEXF_POINT;
    ts[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
    ts[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
    s.textureTransforms[stage] = Identity();
  }
  s.world = Identity();
  s.view = Identity();
  s.projection = Identity();
  s.viewport = D3DVIEWPORT8{0, 0, renderTarget_ ? renderTarget_->width() : 1,
                            renderTarget_ ? renderTarget_->height() : 1, 0, 1};
  s.material.Diffuse = D3DCOLORVALUE{1, 1, 1, 1};
  state_ = std::move(s);
  fvf_ = 0;
  dirty_ = kDirtyAll;
}

void Device::DropBindings() {
  for (Ref<Texture>& texture : textures_) texture = {};
  stream_ = {};
  indices_ = {};
  stride_ = 0;
  baseVertex_ = 0;
}

void Device::DropStateBlocks() {
  stateBlocks_.clear();
  recording_.reset();
}

// ---- cooperative levels and Reset -----------------------------------------------------------

void Device::Lose(int stillLostAnswers) {
  level_ = stillLostAnswers > 0 ? Level::Lost : Level::NotReset;
  stillLostAnswers_ = std::max(stillLostAnswers, 0);
}

HRESULT Device::TestCooperativeLevel() {
  if (level_ == Level::Operational) return D3D_OK;
  if (level_ == Level::Lost) {
    if (stillLostAnswers_ > 0) {
      stillLostAnswers_ -= 1;
      return D3DERR_DEVICELOST;
    }
    level_ = Level::NotReset;
  }
  return D3DERR_DEVICENOTRESET;
}

// A failed Reset leaves the device lost, to be reset again; on success every
// state is Direct3D's initial one, bindings and state blocks are gone, and
// the back buffer is new.
HRESULT Device::Reset(D3DPRESENT_PARAMETERS* parameters) {
  if (!parameters || inScene_) return D3DERR_INVALIDCALL;
  if (level_ == Level::Lost && stillLostAnswers_ > 0) return D3DERR_DEVICELOST;
  // What the device itself holds (bindings, state blocks, its render
  // target) goes with the reset and keeps nothing alive; what the caller
  // still holds of the default pool makes the reset fail.
  DropBindings();
  DropStateBlocks();
  renderTarget_ = backBuffer_;
  depthSurface_ = autoDepth_;
  dirty_ |= kDirtyTarget | kDirtyViewport;
  D3DPRESENT_PARAMETERS wanted = *parameters;
  if (CurrentSettings().resetFails || core_->defaultPoolResources > 0 || FAILED(CheckParameters(wanted))) {
    level_ = Level::NotReset;
    return D3DERR_INVALIDCALL;
  }
  if (!core_->MakeCurrent()) {
    level_ = Level::NotReset;
    return D3DERR_DRIVERINTERNALERROR;
  }
  if (backBuffer_) backBuffer_->Kill();
  if (autoDepth_) autoDepth_->Kill();
  renderTarget_ = {};
  depthSurface_ = {};
  HRESULT made = MakeBackBuffer(wanted);
  if (FAILED(made)) {
    level_ = Level::NotReset;
    return made;
  }
  parameters_ = wanted;
  *parameters = wanted;
  ApplyDisplayMode(wanted);
  DefaultState();
  level_ = Level::Operational;
  stillLostAnswers_ = 0;
  return D3D_OK;
}

UINT Device::GetAvailableTextureMem() {
  uint64_t total = CurrentSettings().textureMemory, used = CurrentCounts().videoBytes;
  uint64_t available = used >= total ? 0 : total - used;
  return static_cast<UINT>(std::min<uint64_t>(available, 0xFFFFFFFFu));
}

HRESULT Device::GetDeviceCaps(D3DCAPS8* caps) {
  if (!caps) return D3DERR_INVALIDCALL;
  *caps = AdapterCaps();
  return D3D_OK;
}

HRESULT Device::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface8** surface) {
  if (!surface || index >= parameters_.BackBufferCount || !backBuffer_) return D3DERR_INVALIDCALL;
  backBuffer_->AddRef();
  *surface = backBuffer_.get();
  return D3D_OK;
}

// ---- frames -------------------------------------------------------------------------------

HRESULT Device::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow, const void*) {
  if (inScene_ || (destWindow && destWindow != core_->window)) return D3DERR_INVALIDCALL;
  if (lost()) return D3DERR_DEVICELOST;
  if (!core_->MakeCurrent() || !backBuffer_) return D3DERR_DRIVERINTERNALERROR;
  RECT source, client, dest;
  if (!ResolveRect(sourceRect, backBuffer_->width(), backBuffer_->height(), source)) return D3DERR_INVALIDCALL;
  if (!GetClientRect(core_->window, &client)) return D3DERR_INVALIDCALL;
  dest = destRect ? *destRect : client;
  auto height = static_cast<LONG>(backBuffer_->height());
  const bool inPlace = source.left == dest.left && source.top == dest.top && source.right == dest.right &&
                       source.bottom == dest.bottom;
  if (backBuffer_->onWindow() && !inPlace) {
    // Parts of the window's own buffer move: through a copy of the frame.
    RECT whole{0, 0, static_cast<LONG>(backBuffer_->width()), height};
    PictureMemory frame;
    frame.Allocate(backBuffer_->width(), backBuffer_->height(), BytesPerPixel(backBuffer_->format()));
    backBuffer_->ReadPixels(whole, frame.At(0, 0), frame.pitch);
    backBuffer_->WritePixels(dest, frame.At(source.left, source.top), frame.pitch);
  }
  if (backBuffer_->onWindow()) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    SwapBuffers(core_->dc);
    dirty_ |= kDirtyTarget | kDirtyRaster;
    return D3D_OK;
  }
  glBindFramebuffer(GL_READ_FRAMEBUFFER, core_->readFramebuffer);
  glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, backBuffer_->texture(), 0);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glDisable(GL_SCISSOR_TEST);
  bool sameSize = source.right - source.left == dest.right - dest.left &&
                  source.bottom - source.top == dest.bottom - dest.top;
  glBlitFramebuffer(source.left, height - source.bottom, source.right, height - source.top, dest.left,
                    client.bottom - dest.bottom, dest.right, client.bottom - dest.top, GL_COLOR_BUFFER_BIT,
                    sameSize ? GL_NEAREST : GL_LINEAR);
  // The window's own buffers are current while it shows the frame.
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  SwapBuffers(core_->dc);
  dirty_ |= kDirtyTarget | kDirtyRaster;
  return D3D_OK;
}

HRESULT Device::BeginScene() {
  if (inScene_) return D3DERR_INVALIDCALL;
  inScene_ = true;
  return D3D_OK;
}

HRESULT Device::EndScene() {
  if (!inScene_) return D3DERR_INVALIDCALL;
  inScene_ = false;
  return D3D_OK;
}

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
  if ((count > 0 && !rects) || (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL))) {
    return D3DERR_INVALIDCALL;
  }
  if ((flags & D3DCLEAR_ZBUFFER) && !depthSurface_) return D3DERR_INVALIDCALL;
  if ((flags & D3DCLEAR_STENCIL) && (!depthSurface_ || depthSurface_->format() != D3DFMT_D24S8)) {
    return D3DERR_INVALIDCALL;
  }
  if (lost()) return D3D_OK;
  if (!BindTarget()) return D3DERR_DRIVERINTERNALERROR;
  GLbitfield bits = 0;
  if (flags & D3DCLEAR_TARGET) bits |= GL_COLOR_BUFFER_BIT;
  if (flags & D3DCLEAR_ZBUFFER) bits |= GL_DEPTH_BUFFER_BIT;
  if (flags & D3DCLEAR_STENCIL) bits |= GL_STENCIL_BUFFER_BIT;
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glStencilMask(0xFF);
  glClearColor(static_cast<float>((color >> 16) & 0xFF) / 255, static_cast<float>((color >> 8) & 0xFF) / 255,
               static_cast<float>(color & 0xFF) / 255, static_cast<float>(color >> 24) / 255);
  glClearDepth(std::clamp(z, 0.0f, 1.0f));
  glClearStencil(static_cast<GLint>(stencil & 0xFF));
  const D3DVIEWPORT8& vp = state_.viewport;
  auto height = static_cast<LONG>(targetHeight());
  auto clearArea = [&](LONG x1, LONG y1, LONG x2, LONG y2) {
    x1 = std::max<LONG>(x1, static_cast<LONG>(vp.X));
    y1 = std::max<LONG>(y1, static_cast<LONG>(vp.Y));
    x2 = std::min<LONG>(x2, static_cast<LONG>(vp.X + vp.Width));
    y2 = std::min<LONG>(y2, static_cast<LONG>(vp.Y + vp.Height));
    if (x1 >= x2 || y1 >= y2) return;
    // A clear of the whole target goes without the scissor: drivers clear
    // whole buffers directly, but a part of one by drawing over it.
    const bool whole = x1 == 0 && y1 == 0 && x2 == static_cast<LONG>(renderTarget_->width()) && y2 == height;
    if (whole) {
      glDisable(GL_SCISSOR_TEST);
    } else {
      glEnable(GL_SCISSOR_TEST);
      glScissor(x1, height - y2, x2 - x1, y2 - y1);
    }
    glClear(bits);
  };
  if (count == 0) {
    clearArea(0, 0, static_cast<LONG>(renderTarget_->width()), height);
  } else {
    for (DWORD i = 0; i < count; ++i) clearArea(rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2);
  }
  // The scissor is the viewport's again at the next draw.
  dirty_ |= kDirtyRaster | kDirtyViewport;
  return D3D_OK;
}

}  // namespace d3d8_internal
