#include "compat/d3d8/test_hooks.h"

#include "compat/d3d8/internal/device.h"
#include "compat/d3d8/internal/settings.h"

namespace d3d8_internal {
Settings& CurrentSettings() {
  static Settings settings;
  return settings;
}
Counts& CurrentCounts() {
  static Counts counts;
  return counts;
}
}  // namespace d3d8_internal

using d3d8_internal::CurrentCounts;
using d3d8_internal::CurrentSettings;

void d3d8_test::Restore() { CurrentSettings() = d3d8_internal::Settings{}; }
void d3d8_test::SetLibraryMissing(bool missing) { CurrentSettings().libraryMissing = missing; }
void d3d8_test::HideEntryPoint(const char* name, bool hidden) {
  if (!name) return;
  if (hidden) {
    CurrentSettings().hiddenEntryPoints.insert(name);
  } else {
    CurrentSettings().hiddenEntryPoints.erase(name);
  }
}
int d3d8_test::LoadedLibraryCount() { return CurrentCounts().loadedLibraries; }
void d3d8_test::SetCreateFails(bool fails) { CurrentSettings().createFails = fails; }
void d3d8_test::SetDisplayModes(std::optional<std::vector<D3DDISPLAYMODE>> modes) {
  CurrentSettings().modes = std::move(modes);
}
void d3d8_test::SetDesktopMode(std::optional<D3DDISPLAYMODE> mode) { CurrentSettings().desktop = mode; }
void d3d8_test::SetVertexProcessing(bool hardware, bool pure) {
  CurrentSettings().hardwareVertexProcessing = hardware;
  CurrentSettings().pureDevice = hardware && pure;
}
void d3d8_test::SetTextureMemory(uint64_t bytes) { CurrentSettings().textureMemory = bytes; }
void d3d8_test::SetCreateDeviceFails(bool fails) { CurrentSettings().createDeviceFails = fails; }
void d3d8_test::SetResetFails(bool fails) { CurrentSettings().resetFails = fails; }
void d3d8_test::SetPitchPadding(int32_t bytes) { CurrentSettings().pitchPadding = bytes < 0 ? 0 : bytes; }
void d3d8_test::UseDirectCorrections(bool use) { CurrentSettings().directCorrections = use; }

void d3d8_test::UseStraightToWindow(bool use) { CurrentSettings().straightToWindow = use; }

void d3d8_test::LoseDevices(int stillLostAnswers) {
  for (d3d8_internal::Device* device : d3d8_internal::LiveDevices()) device->Lose(stillLostAnswers);
}
int d3d8_test::LiveDeviceCount() { return CurrentCounts().liveDevices; }
int d3d8_test::LiveDefaultPoolResources() { return CurrentCounts().defaultPoolResources; }
uint64_t d3d8_test::TextureRowBytes() { return CurrentCounts().textureRowBytes; }
d3d8_test::DrawCounts d3d8_test::TakeDrawCounts() {
  DrawCounts counts{CurrentCounts().drawn, CurrentCounts().refused};
  CurrentCounts().drawn = 0;
  CurrentCounts().refused = 0;
  return counts;
}
