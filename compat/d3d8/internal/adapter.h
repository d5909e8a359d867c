#pragma once
// The one adapter: its display modes, the mode it shows now, and its caps.
#include <vector>

#include "compat/d3d8/d3d8_types.h"

namespace d3d8_internal {

// The adapter's modes, in the display system's order (or the injected ones).
std::vector<D3DDISPLAYMODE> AdapterModes();
// The desktop's mode; false when there is no display system.
bool DesktopMode(D3DDISPLAYMODE& mode);
// Whether the adapter offers a mode of that size and format.
bool HasMode(UINT width, UINT height, D3DFORMAT format);

// A full-screen device shows its mode instead of the desktop's until it goes
// back to a window or away.
void EnterFullScreenMode(const void* owner, const D3DDISPLAYMODE& mode);
void LeaveFullScreenMode(const void* owner);
// The mode shown now.
bool CurrentMode(D3DDISPLAYMODE& mode);

// The adapter's caps (the largest texture from the GL driver when known).
D3DCAPS8 AdapterCaps();
void NoteMaxTextureSize(int size);

}  // namespace d3d8_internal
