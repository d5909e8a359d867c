#pragma once
// What the driver offers beyond OpenGL 1.1 that changes how the layer works.
// The entry points themselves come from libepoxy, which finds them for the
// current context on first use; a feature the driver lacks is never called.
#include <epoxy/gl.h>

namespace d3d8_internal {

struct GLFeatures {
  // Optional entry points: each false when the driver lacks it.
  bool provokingVertex = false;
  bool viewportIndexed = false;
  bool clipControl = false;
  // Vertex colours can be read as blue, green, red, alpha bytes.
  bool bgraVertexColours = false;
  // 16-bit 5-6-5 colour buffers.
  bool rgb565 = false;
  int textureUnits = 1;
  int maxTextureSize = 2048;
  int maxViewport = 4096;

  // Reads the features of the current context; false when one the layer
  // cannot do without (multitexturing, blend equations, framebuffer
  // objects with blits) is missing.
  bool Load();
  // Whether the layer can make pixel centres and the depth range directly
  // (a viewport at half a pixel, depth clipped to 0..1) rather than by
  // correcting the projection.
  bool directCorrections() const;
};

}  // namespace d3d8_internal
