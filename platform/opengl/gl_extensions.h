#pragma once
// The OpenGL entry points beyond 1.1 that the OpenGL device uses, found at run
// time through the context functions of the windows layer, and the extension
// flags read from the extension string. Each pointer is nil when the driver
// lacks it, and the device then does without.
#include <GL/gl.h>

#include <string>
#include <vector>

struct TGLExtensions {
  bool bgra = false;                // GL_BGRA pixel transfers
  bool generateMipmap = false;      // GL_SGIS_generate_mipmap
  bool blendFuncSeparate = false;   // GL_EXT_blend_func_separate
  bool swapControl = false;         // WGL_EXT_swap_control
  bool framebufferObject = false;   // off-screen buffers for layered windows

  PFNGLBLENDFUNCSEPARATEEXTPROC BlendFuncSeparate = nullptr;
  PFNGLGENFRAMEBUFFERSEXTPROC GenFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSEXTPROC DeleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFEREXTPROC BindFramebuffer = nullptr;
  PFNGLGENRENDERBUFFERSEXTPROC GenRenderbuffers = nullptr;
  PFNGLDELETERENDERBUFFERSEXTPROC DeleteRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFEREXTPROC BindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEEXTPROC RenderbufferStorage = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC FramebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC CheckFramebufferStatus = nullptr;
  using SwapIntervalProc = int (*)(int interval);
  SwapIntervalProc SwapInterval = nullptr;

  // Reads the flags and entry points of the current context.
  void Load();
};

// The names in an extension string, in order, empty pieces left out.
std::vector<std::string> SplitExtensions(const char* extensions);
bool HasExtension(const std::vector<std::string>& extensions, const std::string& name);
// "major.minor..." of GL_VERSION as major * 10 + minor (12 for 1.2); 0 when unreadable.
int GLVersionNumber(const char* version);
