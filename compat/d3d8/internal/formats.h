#pragma once
// The pixel formats of the layer and how OpenGL holds them.
#include <epoxy/gl.h>

#include "compat/d3d8/d3d8_types.h"

namespace d3d8_internal {

// Bytes a pixel of a colour format takes; 0 for formats pictures cannot have.
int BytesPerPixel(D3DFORMAT format);
bool IsDepthFormat(D3DFORMAT format);
// Formats a display mode and a back buffer can have.
bool IsDisplayFormat(D3DFORMAT format);
// Bytes a depth format takes a pixel (for the memory figures).
int DepthBytes(D3DFORMAT format);

// How GL stores pictures of a colour format and reads and writes their bytes.
struct GLPixelFormat {
  GLenum internalFormat = 0;
  GLenum format = 0;
  GLenum type = 0;
};
GLPixelFormat ColourFormatFor(D3DFORMAT format, bool rgb565);
GLenum DepthFormatFor(D3DFORMAT format);

}  // namespace d3d8_internal
