#pragma once
// The off-screen frame of a layered window: a 32-bit colour buffer with 8-bit
// alpha and a 24-bit depth buffer of the window's size, drawn into instead of
// the window and read back into the window's bitmap. It takes the place of a
// pbuffer: a framebuffer object in the window's own context.
#include <epoxy/gl.h>

#include <cstdint>

struct TGLExtensions;

class TGLOffscreenBuffer {
 public:
  TGLOffscreenBuffer() = default;
  TGLOffscreenBuffer(const TGLOffscreenBuffer&) = delete;
  TGLOffscreenBuffer& operator=(const TGLOffscreenBuffer&) = delete;
  ~TGLOffscreenBuffer() = default;  // Release runs while the context is current

  // Makes the buffer anew at the size and binds it; false when the driver
  // cannot (the window's own back buffer is drawn into then).
  bool Create(const TGLExtensions& gl, int32_t width, int32_t height);
  void Release();
  void Bind() const;
  bool exists() const { return framebuffer_ != 0; }

 private:
  GLuint framebuffer_ = 0;
  GLuint colour_ = 0;
  GLuint depth_ = 0;
};
