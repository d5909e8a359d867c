#pragma once
// The device-side material: whether lighting applies, and the three colours.
// The diffuse colour is also the colour of all 2D drawing.
#include "core/geometry/geometry.h"

struct TMaterial {
  bool lighting = false;
  TColorARGB diffuse = 0;
  TColorARGB ambient = 0;
  TColorARGB specular = 0;
  bool operator==(const TMaterial&) const = default;
};

// Lighting off, every colour the given one: the material of flat 2D drawing.
constexpr TMaterial FlatMaterial(TColorARGB color) { return TMaterial{false, color, color, color}; }
