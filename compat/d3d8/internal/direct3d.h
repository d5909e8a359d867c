#pragma once
// The Direct3D object: the adapter's modes and caps, and device creation.
#include "compat/d3d8/d3d8.h"

namespace d3d8_internal {

class Direct3D final : public IDirect3D8 {
 public:
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override;

  UINT GetAdapterCount() override { return 1; }
  UINT GetAdapterModeCount(UINT adapter) override;
  HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) override;
  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) override;
  HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) override;
  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviourFlags,
                       D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) override;

 private:
  uint32_t refs_ = 1;
};

}  // namespace d3d8_internal
