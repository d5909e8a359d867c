#pragma once
// What tests use to put the Direct3D 8 layer into the situations a real
// system produces: a missing library or entry point, a Direct3D object that
// cannot be made, adapters with given display modes and capabilities, devices
// that fail to be made or reset, devices lost and regained, and surfaces
// whose rows are padded. Each setting holds until it is changed; Restore puts
// all of them back.
#include <cstdint>
#include <optional>
#include <vector>

#include "compat/d3d8/d3d8_types.h"

namespace d3d8_test {

// Every setting back to the real system's.
void Restore();

// "d3d8.dll" cannot be loaded.
void SetLibraryMissing(bool missing);
// The library lacks an entry point.
void HideEntryPoint(const char* name, bool hidden);
// Modules loaded and not yet freed.
int LoadedLibraryCount();
// Direct3DCreate8 answers null.
void SetCreateFails(bool fails);

// The adapter's modes in place of the display system's; nullopt: the real ones.
void SetDisplayModes(std::optional<std::vector<D3DDISPLAYMODE>> modes);
// The desktop's mode in place of the display system's.
void SetDesktopMode(std::optional<D3DDISPLAYMODE> mode);

// Whether the adapter transforms and lights in hardware, and offers a pure device.
void SetVertexProcessing(bool hardware, bool pure);
// Bytes of texture memory the adapter has (available = this less what is made).
void SetTextureMemory(uint64_t bytes);
// CreateDevice fails with D3DERR_NOTAVAILABLE.
void SetCreateDeviceFails(bool fails);
// Every Reset fails with D3DERR_INVALIDCALL (the device stays lost).
void SetResetFails(bool fails);
// Bytes added to every row of locked textures and surfaces.
void SetPitchPadding(int32_t bytes);
// Without the GL features that make the layer's pixel centres and depth range
// directly (float viewports, clip control), the layer corrects the projection
// instead; tests compare both ways.
void UseDirectCorrections(bool use);
// Off: every back buffer is a picture copied into the window at Present, as
// when the window's size differs; tests compare both ways.
void UseStraightToWindow(bool use);

// Every live device is lost now: its TestCooperativeLevel answers
// D3DERR_DEVICELOST `stillLostAnswers` times, then D3DERR_DEVICENOTRESET
// until a Reset succeeds, which makes its back buffer anew.
void LoseDevices(int stillLostAnswers);
// Devices made and not yet released.
int LiveDeviceCount();
// Default-pool resources (buffers, render targets, depth surfaces, default
// textures) of all devices not yet released.
int LiveDefaultPoolResources();

// Bytes of texture rows held in system memory by all live textures.
uint64_t TextureRowBytes();

// What the live devices have drawn since the last call: draw calls that
// reached GL, and draws refused as invalid calls.
struct DrawCounts {
  int drawn = 0;
  int refused = 0;
};
DrawCounts TakeDrawCounts();

}  // namespace d3d8_test
