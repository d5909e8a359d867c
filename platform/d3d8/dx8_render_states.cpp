// Render states as Direct3D state blocks, recorded once per build and applied
// when a state is switched on.
#include "platform/d3d8/dx8_device.h"

namespace {
D3DMATRIX ToD3D(const TMatrix4F& m) {
  D3DMATRIX out;
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) out.m[row][col] = m(row, col);
  }
  return out;
}

const D3DMATRIX& Identity() {
  static const D3DMATRIX identity = ToD3D(IdentityMatrix4F);
  return identity;
}

// Stage 0's colour and alpha both: one operation on two arguments.
void StageOperation(IDirect3DDevice8* device, DWORD operation, DWORD first, DWORD second) {
  device->SetTextureStageState(0, D3DTSS_COLOROP, operation);
  device->SetTextureStageState(0, D3DTSS_COLORARG1, first);
  device->SetTextureStageState(0, D3DTSS_COLORARG2, second);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, operation);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG1, first);
  device->SetTextureStageState(0, D3DTSS_ALPHAARG2, second);
}

void Filter(IDirect3DDevice8* device, DWORD filter) {
  device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
  device->SetTextureStageState(0, D3DTSS_MINFILTER, filter);
  device->SetTextureStageState(0, D3DTSS_MAGFILTER, filter);
}
}  // namespace

void TWin32DX8Device::BuildRenderState(TRenderState state) {
  if (!d3dDevice_ || deviceLost_ || state >= kRecordedStateCount) return;
  uintptr_t& handle = stateHandles()[state];
  if (handle) d3dDevice_->DeleteStateBlock(static_cast<DWORD>(handle));
  handle = 0;
  if (FAILED(d3dDevice_->BeginStateBlock())) return;
  RecordState(state);
  DWORD token = 0;
  if (SUCCEEDED(d3dDevice_->EndStateBlock(&token))) handle = token;
}

void TWin32DX8Device::RecordState(TRenderState state) {
  IDirect3DDevice8* d = d3dDevice_;
  switch (state) {
    case rs2D: {
      TMatrix4F projection = Projection2D();
      D3DMATRIX matrix = ToD3D(projection);
      d->SetTransform(D3DTS_PROJECTION, &matrix);
      d->SetTransform(D3DTS_VIEW, &Identity());
      d->SetTransform(D3DTS_WORLD, &Identity());
      windowParts().screenFrustum = FrustumFromMatrix(projection);
      if (hostLighting()) EnableWindowLights(true);
      break;
    }
    case rs3D: {
      D3DMATRIX matrix = ToD3D(Projection3D());
      d->SetTransform(D3DTS_PROJECTION, &matrix);
      d->SetTransform(D3DTS_VIEW, &Identity());
      d->SetTransform(D3DTS_WORLD, &Identity());
      if (hostLighting()) EnableWindowLights(false);
      break;
    }
    case rsLightOn:  // applied directly: the applet's lighting switch may change after recording
      break;
    case rsLightOff:
      d->SetRenderState(D3DRS_LIGHTING, FALSE);
      break;
    case rsDepthTestOn:
      d->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
      d->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
      break;
    case rsDepthTestOff:
      d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
      break;
    case rsDepthWriteOn:
      d->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
      break;
    case rsDepthWriteOff:
      d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
      break;
    case rsCullBack:
      d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
      break;
    case rsCullFront:
      d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
      break;
    case rsBlendAdd:
      d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
      d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
      break;
    case rsBlendAlpha:
      d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
      d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
      break;
    case rsFilterNearest:
      Filter(d, D3DTEXF_POINT);
      break;
    case rsFilterLinear:
      Filter(d, D3DTEXF_LINEAR);
      break;
    case rsTextureOff:
      StageOperation(d, D3DTOP_SELECTARG2, D3DTA_DIFFUSE, D3DTA_DIFFUSE);
      break;
    case rsTextureDecal:
      StageOperation(d, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE);
      break;
    case rsTextureModulate:
      StageOperation(d, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
      break;
    default:
      break;
  }
}

// The lights of one projection: each entry shines under rs2D when it is
// screen-space, else under rs3D.
void TWin32DX8Device::EnableWindowLights(bool screenSpace) {
  const TLightTable& lights = windowParts().lights;
  for (int i = 0; i < kMaxWindowLights; ++i) {
    const TLightEntry& entry = lights.entries[i];
    d3dDevice_->LightEnable(static_cast<DWORD>(i), entry.enabled && entry.screenSpace == screenSpace);
  }
}

// The projection states also switch the lights from the window's table as it
// is now, so that a light set after the states were recorded shines at once;
// lighting follows the applet's switch as it is when the state is applied.
void TWin32DX8Device::ApplyRenderState(TRenderState state) {
  if (!d3dDevice_) return;
  if ((state == rsTextureDecal || state == rsTextureModulate) && RenderStateOn(rsWireframe)) return;
  if ((state == rsBlendAdd || state == rsBlendAlpha) && alphaPassActive_) return;
  if (state < kRecordedStateCount && stateHandles()[state]) {
    d3dDevice_->ApplyStateBlock(static_cast<DWORD>(stateHandles()[state]));
  }
  switch (state) {
    case rs2D:
      if (hostLighting()) EnableWindowLights(true);
      break;
    case rs3D: {
      if (hostLighting()) EnableWindowLights(false);
      D3DMATRIX view = ToD3D(windowParts().camera.view);
      d3dDevice_->SetTransform(D3DTS_VIEW, &view);
      break;
    }
    case rsLightOn:
      if (hostLighting()) d3dDevice_->SetRenderState(D3DRS_LIGHTING, TRUE);
      break;
    case rsWireframe:
      d3dDevice_->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
      break;
    case rsSolid:
      d3dDevice_->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
      break;
    default:
      break;
  }
}
