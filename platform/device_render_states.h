#pragma once
// The device's render states. Each state is one flag of the device; switching
// a state on clears the flags of its partners (the states it excludes), so
// that switching between two partners always applies the newly chosen one.
#include <array>
#include <cstdint>

#include "core/objects/class_builder.h"

enum TRenderState : uint8_t {
  rs2D = 0,              // the window's screen projection; screen-space lights
  rs3D = 1,              // camera projection and view; scene lights
  rsLightOn = 2,         // lighting on (only when the applet's lighting is on)
  rsLightOff = 3,        // lighting off
  rsDepthTestOn = 4,     // depth test, less-or-equal
  rsDepthTestOff = 5,    // no depth test
  rsDepthWriteOn = 6,    // depth writes on
  rsDepthWriteOff = 7,   // depth writes off
  rsCullBack = 8,        // cull clockwise faces
  rsCullFront = 9,       // cull counter-clockwise faces
  rsBlendAdd = 10,       // source x source alpha + destination
  rsBlendAlpha = 11,     // source x source alpha + destination x (1 - source alpha)
  rsFilterNearest = 12,  // point filtering
  rsFilterLinear = 13,   // linear filtering
  rsTextureOff = 14,     // the vertex or material colour alone
  rsTextureDecal = 15,   // the texture replaces the colour
  rsTextureModulate = 16,  // texture colour times vertex colour
  rsWireframe = 17,      // polygons as lines
  rsSolid = 18,          // polygons filled
};
Q_DECLARE_ENUM(TRenderState)

inline constexpr int kRenderStateCount = 19;
// States 0-16 are recorded into device objects once; 17 and 18 are applied
// directly.
inline constexpr int kRecordedStateCount = 17;

using TRenderStateFlags = std::array<bool, kRenderStateCount>;

// The partners a state clears when it is switched on (at most two).
struct TRenderStatePartners {
  int count = 0;
  TRenderState states[2] = {};
};
const TRenderStatePartners& RenderStatePartners(TRenderState state);

// Whether a number names a render state (0-18).
constexpr bool IsRenderState(int value) { return value >= 0 && value < kRenderStateCount; }
