// The device's state calls and state blocks. While a block records, a state
// call is written into it and changes nothing; applying the block carries
// its calls out in the order they were made.
#include <algorithm>

#include "compat/d3d8/internal/device.h"

namespace d3d8_internal {

namespace {
bool ValidTransform(D3DTRANSFORMSTATETYPE state) {
  return state == D3DTS_WORLD || state == D3DTS_VIEW || state == D3DTS_PROJECTION ||
         (state >= D3DTS_TEXTURE0 && state < D3DTS_TEXTURE0 + D3D8_TEXTURE_STAGES);
}

D3DLIGHT8 DefaultLight() {
  D3DLIGHT8 light;
  light.Type = D3DLIGHT_DIRECTIONAL;
  light.Diffuse = D3DCOLORVALUE{1, 1, 1, 0};
  light.Direction = D3DVECTOR{0, 0, 1};
  return light;
}
}  // namespace

// ---- carrying out ---------------------------------------------------------------------------

void Device::DoRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  state_.renderStates[state] = value;
  switch (state) {
    case D3DRS_LIGHTING:
    case D3DRS_AMBIENT:
    case D3DRS_LOCALVIEWER:
    case D3DRS_SPECULARENABLE:
      dirty_ |= kDirtyLights | kDirtyMaterial;
      break;
    case D3DRS_COLORVERTEX:
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
      dirty_ |= kDirtyMaterial;
      break;
    case D3DRS_TEXTUREFACTOR:
      dirty_ |= kDirtyStages;
      break;
    default:
      dirty_ |= kDirtyRaster;
      break;
  }
}

void Device::DoStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  state_.stageStates[stage][type] = value;
  dirty_ |= kDirtyStages;
}

void Device::DoTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX& matrix) {
  if (state == D3DTS_WORLD) {
    state_.world = matrix;
  } else if (state == D3DTS_VIEW) {
    state_.view = matrix;
    dirty_ |= kDirtyLights;  // lights are placed in world space, through the view
  } else if (state == D3DTS_PROJECTION) {
    state_.projection = matrix;
  } else {
    state_.textureTransforms[state - D3DTS_TEXTURE0] = matrix;
    dirty_ |= kDirtyStages;
  }
  dirty_ |= kDirtyTransforms;
}

void Device::DoViewport(const D3DVIEWPORT8& viewport) {
  state_.viewport = viewport;
  dirty_ |= kDirtyViewport | kDirtyTransforms;
}

void Device::DoMaterial(const D3DMATERIAL8& material) {
  state_.material = material;
  dirty_ |= kDirtyMaterial;
}

void Device::DoLight(DWORD index, const D3DLIGHT8& light) {
  state_.lights[index].light = light;
  dirty_ |= kDirtyLights;
}

void Device::DoLightEnable(DWORD index, BOOL enable) {
  auto found = state_.lights.find(index);
  if (found == state_.lights.end()) found = state_.lights.emplace(index, LightSlot{DefaultLight(), false}).first;
  found->second.enabled = enable != FALSE;
  dirty_ |= kDirtyLights;
}

void Device::DoTexture(DWORD stage, Texture* texture) {
  textures_[stage] = Ref<Texture>(texture);
  dirty_ |= kDirtyStages;
}

void Device::Carry(const StateCall& call) {
  std::visit(
      [this](const auto& c) {
        using Call = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<Call, RenderStateCall>) {
          DoRenderState(c.state, c.value);
        } else if constexpr (std::is_same_v<Call, StageStateCall>) {
          DoStageState(c.stage, c.type, c.value);
        } else if constexpr (std::is_same_v<Call, TransformCall>) {
          DoTransform(c.state, c.matrix);
        } else if constexpr (std::is_same_v<Call, ViewportCall>) {
          DoViewport(c.viewport);
        } else if constexpr (std::is_same_v<Call, MaterialCall>) {
          DoMaterial(c.material);
        } else if constexpr (std::is_same_v<Call, LightCall>) {
          DoLight(c.index, c.light);
        } else if constexpr (std::is_same_v<Call, LightEnableCall>) {
          DoLightEnable(c.index, c.enable);
        } else {
          DoTexture(c.stage, c.texture.get());
        }
      },
      call);
}

// ---- the calls ------------------------------------------------------------------------------

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (state >= D3DRS_COUNT) return D3DERR_INVALIDCALL;
  if (recording_) {
    recording_->calls.emplace_back(RenderStateCall{state, value});
  } else {
    DoRenderState(state, value);
  }
  return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  if (pure() || state >= D3DRS_COUNT || !value) return D3DERR_INVALIDCALL;
  *value = state_.renderStates[state];
  return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
  if (stage >= D3D8_TEXTURE_STAGES || type >= D3DTSS_COUNT) return D3DERR_INVALIDCALL;
  if (recording_) {
    recording_->calls.emplace_back(StageStateCall{stage, type, value});
  } else {
    DoStageState(stage, type, value);
  }
  return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
  if (pure() || stage >= D3D8_TEXTURE_STAGES || type >= D3DTSS_COUNT || !value) return D3DERR_INVALIDCALL;
  *value = state_.stageStates[stage][type];
  return D3D_OK;
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  if (!matrix || !ValidTransform(state)) return D3DERR_INVALIDCALL;
  if (recording_) {
    recording_->calls.emplace_back(TransformCall{state, *matrix});
  } else {
    DoTransform(state, *matrix);
  }
  return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  if (pure() || !matrix || !ValidTransform(state)) return D3DERR_INVALIDCALL;
  if (state == D3DTS_WORLD) {
    *matrix = state_.world;
  } else if (state == D3DTS_VIEW) {
    *matrix = state_.view;
  } else if (state == D3DTS_PROJECTION) {
    *matrix = state_.projection;
  } else {
    *matrix = state_.textureTransforms[state - D3DTS_TEXTURE0];
  }
  return D3D_OK;
}

// A viewport lies within the render target, with depths from 0 to 1.
HRESULT Device::SetViewport(const D3DVIEWPORT8* viewport) {
  if (!viewport || !renderTarget_ || viewport->Width == 0 || viewport->Height == 0) return D3DERR_INVALIDCALL;
  if (uint64_t{viewport->X} + viewport->Width > renderTarget_->width() ||
      uint64_t{viewport->Y} + viewport->Height > renderTarget_->height()) {
    return D3DERR_INVALIDCALL;
  }
  if (!(viewport->MinZ >= 0 && viewport->MaxZ <= 1 && viewport->MinZ <= viewport->MaxZ)) return D3DERR_INVALIDCALL;
  if (recording_) {
    recording_->calls.emplace_back(ViewportCall{*viewport});
  } else {
    DoViewport(*viewport);
  }
  return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT8* viewport) {
  if (!viewport) return D3DERR_INVALIDCALL;
  *viewport = state_.viewport;
  return D3D_OK;
}

HRESULT Device::SetMaterial(const D3DMATERIAL8* material) {
  if (!material) return D3DERR_INVALIDCALL;
  if (recording_) {
    recording_->calls.emplace_back(MaterialCall{*material});
  } else {
    DoMaterial(*material);
  }
  return D3D_OK;
}

HRESULT Device::GetMaterial(D3DMATERIAL8* material) {
  if (pure() || !material) return D3DERR_INVALIDCALL;
  *material = state_.material;
  return D3D_OK;
}

HRESULT Device::SetLight(DWORD index, const D3DLIGHT8* light) {
  if (!light || light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL) return D3DERR_INVALIDCALL;
  if (recording_) {
    recording_->calls.emplace_back(LightCall{index, *light});
  } else {
    DoLight(index, *light);
  }
  return D3D_OK;
}

HRESULT Device::GetLight(DWORD index, D3DLIGHT8* light) {
  auto found = state_.lights.find(index);
  if (pure() || !light || found == state_.lights.end()) return D3DERR_INVALIDCALL;
  *light = found->second.light;
  return D3D_OK;
}

// Enabling a light never set makes it a white directional light along +z.
HRESULT Device::LightEnable(DWORD index, BOOL enable) {
  if (recording_) {
    recording_->calls.emplace_back(LightEnableCall{index, enable});
  } else {
    DoLightEnable(index, enable);
  }
  return D3D_OK;
}

HRESULT Device::GetLightEnable(DWORD index, BOOL* enable) {
  auto found = state_.lights.find(index);
  if (pure() || !enable || found == state_.lights.end()) return D3DERR_INVALIDCALL;
  *enable = found->second.enabled ? TRUE : FALSE;
  return D3D_OK;
}

// Only a texture of this device that lives on the adapter can be drawn with.
HRESULT Device::SetTexture(DWORD stage, IDirect3DTexture8* texture) {
  if (stage >= D3D8_TEXTURE_STAGES) return D3DERR_INVALIDCALL;
  auto* ours = static_cast<Texture*>(texture);
  if (ours && (&ours->core() != core_.get() || !ours->drawable())) return D3DERR_INVALIDCALL;
  if (recording_) {
    recording_->calls.emplace_back(TextureCall{stage, Ref<Texture>(ours)});
  } else {
    DoTexture(stage, ours);
  }
  return D3D_OK;
}

HRESULT Device::GetTexture(DWORD stage, IDirect3DTexture8** texture) {
  if (stage >= D3D8_TEXTURE_STAGES || !texture) return D3DERR_INVALIDCALL;
  *texture = textures_[stage].get();
  if (*texture) (*texture)->AddRef();
  return D3D_OK;
}

// ---- state blocks -------------------------------------------------------------------------------

HRESULT Device::BeginStateBlock() {
  if (recording_) return D3DERR_INVALIDCALL;
  recording_ = std::make_unique<StateBlock>();
  return D3D_OK;
}

HRESULT Device::EndStateBlock(DWORD* token) {
  if (!recording_ || !token) return D3DERR_INVALIDCALL;
  DWORD made = nextStateBlock_++;
  stateBlocks_.emplace(made, std::move(*recording_));
  recording_.reset();
  *token = made;
  return D3D_OK;
}

HRESULT Device::ApplyStateBlock(DWORD token) {
  auto found = stateBlocks_.find(token);
  if (recording_ || found == stateBlocks_.end()) return D3DERR_INVALIDCALL;
  for (const StateCall& call : found->second.calls) Carry(call);
  return D3D_OK;
}

HRESULT Device::DeleteStateBlock(DWORD token) {
  if (recording_ || stateBlocks_.erase(token) == 0) return D3DERR_INVALIDCALL;
  return D3D_OK;
}

// ---- streams ------------------------------------------------------------------------------------

bool LayoutOf(DWORD fvf, FVFLayout& layout) {
  constexpr DWORD known = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;
  if ((fvf & ~known) != 0 || !(fvf & D3DFVF_XYZ)) return false;
  layout = FVFLayout{};
  layout.size = 12;
  if (fvf & D3DFVF_NORMAL) {
    layout.normal = layout.size;
    layout.size += 12;
  }
  if (fvf & D3DFVF_DIFFUSE) {
    layout.diffuse = layout.size;
    layout.size += 4;
  }
  if (fvf & D3DFVF_SPECULAR) {
    layout.specular = layout.size;
    layout.size += 4;
  }
  if (fvf & D3DFVF_TEX1) {
    layout.texCoord = layout.size;
    layout.size += 8;
  }
  return true;
}

HRESULT Device::SetVertexShader(DWORD fvf) {
  FVFLayout layout;
  if (!LayoutOf(fvf, layout)) return D3DERR_INVALIDCALL;
  fvf_ = fvf;
  return D3D_OK;
}

HRESULT Device::SetPixelShader(DWORD handle) { return handle == 0 ? D3D_OK : D3DERR_INVALIDCALL; }

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) {
  auto* ours = static_cast<VertexBuffer*>(buffer);
  if (stream != 0 || stride > 256 || (ours && &ours->core() != core_.get())) return D3DERR_INVALIDCALL;
  stream_ = Ref<VertexBuffer>(ours);
  stride_ = stride;
  return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer8* buffer, UINT baseVertexIndex) {
  auto* ours = static_cast<IndexBuffer*>(buffer);
  if (ours && &ours->core() != core_.get()) return D3DERR_INVALIDCALL;
  indices_ = Ref<IndexBuffer>(ours);
  baseVertex_ = baseVertexIndex;
  return D3D_OK;
}

}  // namespace d3d8_internal
