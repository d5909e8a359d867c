#include "platform/opengl/gl_offscreen_buffer.h"

#include "platform/opengl/gl_extensions.h"

bool TGLOffscreenBuffer::Create(const TGLExtensions& gl, int32_t width, int32_t height) {
  Release(gl);
  if (!gl.framebufferObject || width < 1 || height < 1) return false;
  gl.GenFramebuffers(1, &framebuffer_);
  gl.BindFramebuffer(GL_FRAMEBUFFER_EXT, framebuffer_);
  gl.GenRenderbuffers(1, &colour_);
  gl.BindRenderbuffer(GL_RENDERBUFFER_EXT, colour_);
  gl.RenderbufferStorage(GL_RENDERBUFFER_EXT, GL_RGBA8, width, height);
  gl.FramebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT, colour_);
  gl.GenRenderbuffers(1, &depth_);
  gl.BindRenderbuffer(GL_RENDERBUFFER_EXT, depth_);
  gl.RenderbufferStorage(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
  gl.FramebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, depth_);
  gl.BindRenderbuffer(GL_RENDERBUFFER_EXT, 0);
  if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) {
    Release(gl);
    return false;
  }
  glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
  glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
  return true;
}

void TGLOffscreenBuffer::Release(const TGLExtensions& gl) {
  if (!framebuffer_) return;
  gl.BindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
  gl.DeleteRenderbuffers(1, &colour_);
  gl.DeleteRenderbuffers(1, &depth_);
  gl.DeleteFramebuffers(1, &framebuffer_);
  framebuffer_ = colour_ = depth_ = 0;
  glDrawBuffer(GL_BACK);
  glReadBuffer(GL_BACK);
}

void TGLOffscreenBuffer::Bind(const TGLExtensions& gl) const {
  if (framebuffer_) gl.BindFramebuffer(GL_FRAMEBUFFER_EXT, framebuffer_);
}
