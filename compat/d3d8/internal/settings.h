#pragma once
// The layer's process-wide settings (what the test hooks change) and counts
// (live devices, default-pool resources, draws).
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "compat/d3d8/d3d8_types.h"

namespace d3d8_internal {

struct Settings {
  bool libraryMissing = false;
  std::set<std::string> hiddenEntryPoints;
  bool createFails = false;
  std::optional<std::vector<D3DDISPLAYMODE>> modes;
  std::optional<D3DDISPLAYMODE> desktop;
  bool hardwareVertexProcessing = true;
  bool pureDevice = true;
  uint64_t textureMemory = uint64_t{256} << 20;
  bool createDeviceFails = false;
  bool resetFails = false;
  int32_t pitchPadding = 0;
  bool directCorrections = true;
  // Windowed back buffers of the window's size are the window's framebuffer.
  bool straightToWindow = true;
};
Settings& CurrentSettings();

struct Counts {
  int loadedLibraries = 0;
  int liveDevices = 0;
  int defaultPoolResources = 0;
  uint64_t videoBytes = 0;  // textures, render targets and depth buffers made
  uint64_t textureRowBytes = 0;  // rows of textures held in system memory
  int drawn = 0;
  int refused = 0;
};
Counts& CurrentCounts();

// The row pitch of a locked picture of `rowBytes` bytes a row.
inline int32_t PitchFor(int32_t rowBytes) { return rowBytes + CurrentSettings().pitchPadding; }

}  // namespace d3d8_internal
