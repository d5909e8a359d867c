#include "compat/d3d8/internal/formats.h"

namespace d3d8_internal {

int BytesPerPixel(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      return 4;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
      return 2;
    default:
      return 0;
  }
}

bool IsDepthFormat(D3DFORMAT format) {
  return format == D3DFMT_D16 || format == D3DFMT_D24X8 || format == D3DFMT_D24S8 || format == D3DFMT_D32;
}

bool IsDisplayFormat(D3DFORMAT format) {
  return format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5 || format == D3DFMT_X1R5G5B5;
}

int DepthBytes(D3DFORMAT format) { return format == D3DFMT_D16 ? 2 : 4; }

// Formats without alpha are held without it, so that blending reads their
// alpha as 1 as Direct3D does.
GLPixelFormat ColourFormatFor(D3DFORMAT format, bool rgb565) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
      return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE};
    case D3DFMT_X8R8G8B8:
      return {GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE};
    case D3DFMT_R5G6B5:
      return {rgb565 ? static_cast<GLenum>(GL_RGB565) : static_cast<GLenum>(GL_RGB5), GL_RGB,
              GL_UNSIGNED_SHORT_5_6_5};
    case D3DFMT_X1R5G5B5:
      return {GL_RGB5, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV};
    case D3DFMT_A1R5G5B5:
      return {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV};
    case D3DFMT_A4R4G4B4:
      return {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV};
    default:
      return {};
  }
}

GLenum DepthFormatFor(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_D16:
      return GL_DEPTH_COMPONENT16;
    case D3DFMT_D24X8:
      return GL_DEPTH_COMPONENT24;
    case D3DFMT_D24S8:
      return GL_DEPTH24_STENCIL8;
    case D3DFMT_D32:
      return GL_DEPTH_COMPONENT32;
    default:
      return 0;
  }
}

}  // namespace d3d8_internal
