#pragma once
// The device's parts of a window: where the camera looks from and the lights
// that shine in it. The window holds them so that they survive a change of
// device (the device draws with them, the applet's camera and lights set them).
#include <cstdint>

#include "core/geometry/geometry.h"

struct TCameraRecord {
  TVector4F eye;
  TVector4F up;
  TVector4F direction;
  // Built from the three vectors.
  TMatrix4F view = IdentityMatrix4F;
  // The planes of view x projection, for culling.
  TFrustumF frustum;
};

// A directional light: it shines along vector1 - vector2, from vector2
// towards vector1.
struct TLightEntry {
  TVector4F vector1;
  TVector4F vector2;
  TColorARGB diffuse = 0;
  TColorARGB specular = 0;
  TColorARGB ambient = 0;
  bool enabled = false;
  // Lit under the 2D projection instead of the 3D one.
  bool screenSpace = false;
};

inline constexpr int kMaxWindowLights = 8;

struct TLightTable {
  // Entries in use; entry 0 is never handed out.
  int32_t count = 0;
  // Which entries are in use: a freed entry is handed out again, so a game
  // that makes its lights anew keeps them.
  bool used[kMaxWindowLights] = {};
  TLightEntry entries[kMaxWindowLights];
};
