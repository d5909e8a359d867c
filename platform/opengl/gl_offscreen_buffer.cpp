#include "platform/opengl/gl_offscreen_buffer.h"

#include "platform/opengl/gl_extensions.h"

bool TGLOffscreenBuffer::Create(const TGLExtensions& gl, int32_t width, int32_t height) {
  Release();
  if (!gl.framebufferObject || width < 1 || height < 1) return false;
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER_EXT, framebuffer_);
  glGenRenderbuffers(1, &colour_);
  glBindRenderbuffer(GL_RENDERBUFFER_EXT, colour_);
  glRenderbufferStorage(GL_RENDERBUFFER_EXT, GL_RGBA8, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT, colour_);
  glGenRenderbuffers(1, &depth_);
  glBindRenderbuffer(GL_RENDERBUFFER_EXT, depth_);
  glRenderbufferStorage(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, depth_);
  glBindRenderbuffer(GL_RENDERBUFFER_EXT, 0);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) {
    Release();
    return false;
  }
  glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
  glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
  return true;
}

void TGLOffscreenBuffer::Release() {
  if (!framebuffer_) return;
  glBindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
  glDeleteRenderbuffers(1, &colour_);
  glDeleteRenderbuffers(1, &depth_);
  glDeleteFramebuffers(1, &framebuffer_);
  framebuffer_ = colour_ = depth_ = 0;
  glDrawBuffer(GL_BACK);
  glReadBuffer(GL_BACK);
}

void TGLOffscreenBuffer::Bind() const {
  if (framebuffer_) glBindFramebuffer(GL_FRAMEBUFFER_EXT, framebuffer_);
}
