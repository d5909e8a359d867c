// Frames on the Direct3D 8 device: the cooperative level and the reset of a
// lost device, clearing, the frame defaults, the lights, the scene, the two
// passes of a layered window, presenting, resizing, full screen and the
// frame read back for screenshots.
#include <algorithm>
#include <cstring>

#include "core/system/log.h"
#include "platform/d3d8/dx8_device.h"
#include "platform/device_window.h"

namespace {
D3DCOLORVALUE ColourValue(TColorARGB c) {
  return D3DCOLORVALUE{static_cast<float>((c >> 16) & 0xFF) / 255, static_cast<float>((c >> 8) & 0xFF) / 255,
                       static_cast<float>(c & 0xFF) / 255, static_cast<float>(c >> 24) / 255};
}

template <typename T>
void ReleaseAndClear(T*& object) {
  if (object) object->Release();
  object = nullptr;
}
}  // namespace

bool TWin32DX8Device::isLayered() const { return WindowIsLayered(window()); }

// ---- one frame ------------------------------------------------------------------------------

void TWin32DX8Device::ApplyFrameDefaults() {
  IDirect3DDevice8* d = d3dDevice_;
  d->SetRenderState(D3DRS_STENCILENABLE, FALSE);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  d->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_ALWAYS);
  d->SetRenderState(D3DRS_ALPHAREF, 255);
  d->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
  d->SetRenderState(D3DRS_COLORVERTEX, TRUE);
  d->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
  d->SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL);
  d->SetRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
  d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  d->SetRenderState(D3DRS_CLIPPING, TRUE);
  d->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
  d->SetRenderState(D3DRS_FOGENABLE, FALSE);
  d->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  d->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
}

// Each enabled entry is a directional light travelling from vector 2 towards
// vector 1.
void TWin32DX8Device::ApplyLights() {
  if (!hostLighting()) return;
  D3DMATRIX identity;
  for (int i = 0; i < 4; ++i) identity.m[i][i] = 1;
  d3dDevice_->SetTransform(D3DTS_WORLD, &identity);
  const TLightTable& lights = windowParts().lights;
  for (int i = 0; i < kMaxWindowLights; ++i) {
    const TLightEntry& entry = lights.entries[i];
    if (!entry.enabled) continue;
    D3DLIGHT8 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = ColourValue(entry.diffuse);
    light.Specular = ColourValue(entry.specular);
    light.Ambient = ColourValue(entry.ambient);
    TVector4F direction = VecNormalized(VecSub(entry.vector1, entry.vector2));
    light.Direction = D3DVECTOR{direction.x, direction.y, direction.z};
    d3dDevice_->SetLight(static_cast<DWORD>(i), &light);
  }
}

void TWin32DX8Device::Render() {
  if (!d3dDevice_) return;
  bool layered = isLayered();
  if (!layered && framePending()) return;
  HRESULT level = d3dDevice_->TestCooperativeLevel();
  if (FAILED(level)) {
    LogError(W("Device was lost"));
    deviceLost_ = true;
    if (level == D3DERR_DEVICENOTRESET) ResetLostDevice();
    return;
  }
  deviceLost_ = false;
  d3dDevice_->BeginScene();
  TColorARGB background = hostBackground();
  if (background == 0) {
    d3dDevice_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
  } else {
    d3dDevice_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, DeviceColor(background), 1.0f, 0);
  }
  ApplyFrameDefaults();
  ApplyLights();
  if (layered) {
    RenderLayered();
  } else {
    RenderScene();
    d3dDevice_->EndScene();
  }
  setFramePending(true);
}

// Copies the off-screen target, through the image surface, into a buffer of
// width x height words: rows bottom-up (as the window's bitmap keeps them) or
// top-down. Only what both hold is copied.
bool TWin32DX8Device::CopyTargetRows(uint32_t* destination, int32_t width, int32_t height, bool bottomUp) {
  if (!destination || !colourTarget_ || !imageSurface_ || width < 1 || height < 1) return false;
  if (FAILED(d3dDevice_->CopyRects(colourTarget_, nullptr, 0, imageSurface_, nullptr))) return false;
  D3DSURFACE_DESC description;
  imageSurface_->GetDesc(&description);
  D3DLOCKED_RECT locked;
  if (FAILED(imageSurface_->LockRect(&locked, nullptr, D3DLOCK_READONLY | D3DLOCK_NOSYSLOCK))) return false;
  int32_t rows = std::min(height, static_cast<int32_t>(description.Height));
  int32_t columns = std::min(width, static_cast<int32_t>(description.Width));
  for (int32_t row = 0; row < rows; ++row) {
    int32_t to = bottomUp ? height - 1 - row : row;
    std::memcpy(destination + static_cast<size_t>(to) * static_cast<size_t>(width),
                static_cast<const uint8_t*>(locked.pBits) + static_cast<size_t>(row) * static_cast<size_t>(locked.Pitch),
                static_cast<size_t>(columns) * 4);
  }
  imageSurface_->UnlockRect();
  return true;
}

// Per-pixel alpha: the alpha pass writes only alpha (blending one, one minus
// source alpha whatever the scene asks), the colour pass only colour; the
// window's bitmap gets the colour of the one and the alpha of the other.
void TWin32DX8Device::RenderLayered() {
  TWindowSize size = WindowAppliedSize(window());
  uint32_t* bits = WindowLayeredBits(window());
  size_t count = static_cast<size_t>(std::max(size.width, 0)) * static_cast<size_t>(std::max(size.height, 0));
  alphaPass_.assign(count, 0);
  IDirect3DDevice8* d = d3dDevice_;
  d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  d->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_ALPHA);
  alphaPassActive_ = true;
  RenderScene();
  alphaPassActive_ = false;
  d->EndScene();
  CopyTargetRows(alphaPass_.data(), size.width, size.height, true);

  d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  d->SetRenderState(D3DRS_COLORWRITEENABLE,
                    D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_GREEN | D3DCOLORWRITEENABLE_BLUE);
  d->BeginScene();
  d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
  RenderScene();
  d->EndScene();
  bool copied = CopyTargetRows(bits, size.width, size.height, true);
  d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
  if (!bits || !copied) return;
  for (size_t i = 0; i < count; ++i) bits[i] = (bits[i] & 0xFFFFFF) | (alphaPass_[i] & 0xFF000000);
}

void TWin32DX8Device::Present() {
  if (!framePending()) return;
  setFramePending(false);
  if (!d3dDevice_ || deviceLost_ || isLayered()) return;
  if (d3dDevice_->Present(nullptr, nullptr, nullptr, nullptr) == D3DERR_DEVICELOST) deviceLost_ = true;
}

// ---- surfaces and buffers through a reset ---------------------------------------------------------

bool TWin32DX8Device::CreateLayeredSurfaces() {
  ReleaseLayeredSurfaces();
  TWindowSize size = WindowAppliedSize(window());
  auto width = static_cast<UINT>(std::max(size.width, 1)), height = static_cast<UINT>(std::max(size.height, 1));
  if (FAILED(d3dDevice_->CreateImageSurface(width, height, D3DFMT_A8R8G8B8, &imageSurface_))) {
    LogError(W("Can't create image surface"));
    return false;
  }
  if (FAILED(d3dDevice_->CreateRenderTarget(width, height, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, TRUE,
                                            &colourTarget_))) {
    LogError(W("Can't create color buffer"));
    return false;
  }
  if (FAILED(d3dDevice_->CreateDepthStencilSurface(width, height, D3DFMT_D24X8, D3DMULTISAMPLE_NONE, &depthTarget_))) {
    LogError(W("Can't create depth buffer"));
    return false;
  }
  if (FAILED(d3dDevice_->SetRenderTarget(colourTarget_, depthTarget_))) {
    LogError(W("Can't set new render target"));
    return false;
  }
  D3DVIEWPORT8 viewport{0, 0, width, height, 0, 1};
  if (FAILED(d3dDevice_->SetViewport(&viewport))) {
    LogError(W("Can't set new viewport"));
    return false;
  }
  return true;
}

// The device's own back buffer is drawn into again before the surfaces go.
void TWin32DX8Device::ReleaseLayeredSurfaces() {
  if (d3dDevice_ && colourTarget_) {
    IDirect3DSurface8* back = nullptr;
    if (SUCCEEDED(d3dDevice_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back))) {
      d3dDevice_->SetRenderTarget(back, nullptr);
      back->Release();
    }
  }
  ReleaseAndClear(imageSurface_);
  ReleaseAndClear(colourTarget_);
  ReleaseAndClear(depthTarget_);
}

void TWin32DX8Device::ReleaseBuffers() {
  for (TMesh* mesh : meshes()) {
    ReleaseMeshBuffers(mesh);
    if (mesh->dynamic) mesh->resetBatch();
  }
  ReleaseLayeredSurfaces();
  lastMesh() = nullptr;
  lastFormat() = 8;
}

// Dynamic meshes come back empty, static ones from their memory copies;
// animated meshes have no buffers.
void TWin32DX8Device::RecreateBuffers() {
  for (TMesh* mesh : meshes()) {
    if (mesh->animated) continue;
    if (CreateMeshBuffers(mesh) && !mesh->dynamic) FillMeshBuffers(mesh);
  }
  if (isLayered()) CreateLayeredSurfaces();
}

bool TWin32DX8Device::ResetDevice() {
  ReleaseBuffers();
  BuildPresentParameters();
  if (FAILED(d3dDevice_->Reset(&presentParameters_))) {
    deviceLost_ = true;
    return false;
  }
  deviceLost_ = false;
  d3dMaterialKnown_ = false;
  StartUnlit();
  RecreateBuffers();
  return true;
}

void TWin32DX8Device::ResetLostDevice() {
  if (ResetDevice()) BuildRenderStates();
}

void TWin32DX8Device::Resize() {
  if (!d3dDevice_ || !WindowHandle(window()) || deviceLost_) return;
  if (isLayered()) {
    CreateLayeredSurfaces();
    BuildRenderStates();
    setFramePending(true);
    Render();
    return;
  }
  if (!ResetDevice()) return;
  BuildRenderStates();
  Redraw();
}

// A mode that the adapter refuses leaves the device in its former mode.
void TWin32DX8Device::FullScreen(bool on, int32_t modeIndex) {
  if (!d3dDevice_) return;
  auto count = static_cast<int32_t>(screenModes().size());
  if (modeIndex < -1 || modeIndex >= count) return;
  TFullScreenChoice choice{on, desktopWidth(), desktopHeight(), desktopFormat_};
  if (modeIndex >= 0) {
    choice.width = ScreenModeWidth(modeIndex);
    choice.height = ScreenModeHeight(modeIndex);
    WideString text = screenModes()[static_cast<size_t>(modeIndex)];
    size_t last = text.find_last_of(u"x");
    if (choice.width <= 0 || choice.height <= 0 || last == WideString::npos) return;
    WideString bits = text.substr(last + 1);
    if (bits != u"16" && bits != u"32") return;
    choice.format = bits == u"16" ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;
  }
  TFullScreenChoice former = fullScreen_;
  fullScreen_ = choice;
  if (!ResetDevice()) {
    fullScreen_ = former;
    if (!ResetDevice()) return;
  }
  BuildRenderStates();
  Render();
}

// ---- the frame read back ----------------------------------------------------------------------------

bool TWin32DX8Device::RenderToARGB(uint32_t* destination) {
  TWindowSize size = WindowAppliedSize(window());
  return RenderToARGB(destination, size.width, size.height);
}

bool TWin32DX8Device::RenderToARGB(uint32_t* destination, int32_t width, int32_t height) {
  if (!d3dDevice_ || deviceLost_ || !destination || width < 1 || height < 1) return false;
  bool pending = framePending();
  setFramePending(false);
  bool done = isLayered() ? RenderLayeredToBuffer(destination, width, height)
                          : RenderToTarget(destination, width, height);
  setFramePending(pending);
  return done;
}

// A layered frame is taken from the window's bitmap as the two passes left
// it, before anything clears it for the next frame.
bool TWin32DX8Device::RenderLayeredToBuffer(uint32_t* destination, int32_t width, int32_t height) {
  Render();
  TWindowSize size = WindowAppliedSize(window());
  const uint32_t* bits = WindowLayeredBits(window());
  if (!bits || deviceLost_) return false;
  int32_t rows = std::min(height, size.height), columns = std::min(width, size.width);
  for (int32_t row = 0; row < rows; ++row) {
    std::memcpy(destination + static_cast<size_t>(row) * static_cast<size_t>(width),
                bits + static_cast<size_t>(size.height - 1 - row) * static_cast<size_t>(size.width),
                static_cast<size_t>(columns) * 4);
  }
  return true;
}

// One frame into surfaces of its own, read back rows top-down; the device's
// target and depth buffer are put back afterwards.
bool TWin32DX8Device::RenderToTarget(uint32_t* destination, int32_t width, int32_t height) {
  TWindowSize size = WindowAppliedSize(window());
  auto w = static_cast<UINT>(std::max(size.width, 1)), h = static_cast<UINT>(std::max(size.height, 1));
  IDirect3DSurface8* keptTarget = nullptr;
  IDirect3DSurface8* keptDepth = nullptr;
  d3dDevice_->GetRenderTarget(&keptTarget);
  d3dDevice_->GetDepthStencilSurface(&keptDepth);
  bool done = false;
  IDirect3DSurface8* savedImage = imageSurface_;
  IDirect3DSurface8* savedColour = colourTarget_;
  imageSurface_ = nullptr;
  colourTarget_ = nullptr;
  IDirect3DSurface8* depth = nullptr;
  D3DVIEWPORT8 viewport{0, 0, w, h, 0, 1};
  if (FAILED(d3dDevice_->CreateImageSurface(w, h, D3DFMT_A8R8G8B8, &imageSurface_))) {
    LogError(W("Can't create image surface"));
  } else if (FAILED(d3dDevice_->CreateRenderTarget(w, h, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, TRUE,
                                                   &colourTarget_))) {
    LogError(W("Can't create color buffer"));
  } else if (FAILED(d3dDevice_->CreateDepthStencilSurface(w, h, D3DFMT_D24X8, D3DMULTISAMPLE_NONE, &depth))) {
    LogError(W("Can't create depth buffer"));
  } else if (FAILED(d3dDevice_->SetRenderTarget(colourTarget_, depth))) {
    LogError(W("Can't set new render target"));
  } else if (FAILED(d3dDevice_->SetViewport(&viewport))) {
    LogError(W("Can't set new viewport"));
  } else {
    BuildRenderStates();
    d3dDevice_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    Render();
    done = !deviceLost_ && CopyTargetRows(destination, width, height, false);
  }
  ReleaseAndClear(imageSurface_);
  ReleaseAndClear(colourTarget_);
  ReleaseAndClear(depth);
  imageSurface_ = savedImage;
  colourTarget_ = savedColour;
  if (keptTarget && FAILED(d3dDevice_->SetRenderTarget(keptTarget, keptDepth))) {
    LogError(W("Can't reset render target"));
  }
  ReleaseAndClear(keptTarget);
  ReleaseAndClear(keptDepth);
  return done;
}
