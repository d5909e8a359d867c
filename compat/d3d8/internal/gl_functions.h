#pragma once
// The OpenGL entry points beyond 1.1 that the layer draws with, found through
// the windows layer's context functions once a context is current, and the
// features of the driver that change how the layer works.
#include <GL/gl.h>
#include <GL/glext.h>

namespace d3d8_internal {

struct GLFunctions {
  PFNGLACTIVETEXTUREPROC ActiveTexture = nullptr;
  // Fixed-function entry points the core profile dropped.
  using ClientActiveTextureProc = void (*)(GLenum texture);
  using MultiTexCoord4fProc = void (*)(GLenum target, GLfloat s, GLfloat t, GLfloat r, GLfloat q);
  ClientActiveTextureProc ClientActiveTexture = nullptr;
  MultiTexCoord4fProc MultiTexCoord4f = nullptr;
  PFNGLBLENDEQUATIONPROC BlendEquation = nullptr;
  PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
  PFNGLFRAMEBUFFERTEXTURE2DPROC FramebufferTexture2D = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus = nullptr;
  PFNGLGENRENDERBUFFERSPROC GenRenderbuffers = nullptr;
  PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC BindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage = nullptr;
  PFNGLBLITFRAMEBUFFERPROC BlitFramebuffer = nullptr;
  // Optional: each is null when the driver lacks it.
  PFNGLPROVOKINGVERTEXPROC ProvokingVertex = nullptr;
  PFNGLVIEWPORTINDEXEDFPROC ViewportIndexedf = nullptr;
  PFNGLCLIPCONTROLPROC ClipControl = nullptr;

  // Vertex colours can be read as blue, green, red, alpha bytes.
  bool bgraVertexColours = false;
  // 16-bit 5-6-5 colour buffers.
  bool rgb565 = false;
  int textureUnits = 1;
  int maxTextureSize = 2048;
  int maxViewport = 4096;

  // Reads the entry points of the current context; false when one the layer
  // cannot do without is missing.
  bool Load();
  // Whether the layer can make pixel centres and the depth range directly
  // (a viewport at half a pixel, depth clipped to 0..1) rather than by
  // correcting the projection.
  bool directCorrections() const;
};

}  // namespace d3d8_internal
