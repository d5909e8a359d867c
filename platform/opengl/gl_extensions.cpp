#include "platform/opengl/gl_extensions.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "compat/win32/gl_context.h"

namespace {
template <typename T>
T Entry(const char* name, const char* fallback) {
  FARPROC found = wglGetProcAddress(name);
  if (!found && fallback) found = wglGetProcAddress(fallback);
  return reinterpret_cast<T>(found);
}
}  // namespace

std::vector<std::string> SplitExtensions(const char* extensions) {
  std::vector<std::string> names;
  if (!extensions) return names;
  std::istringstream in(extensions);
  std::string name;
  while (in >> name) names.push_back(name);
  return names;
}

bool HasExtension(const std::vector<std::string>& extensions, const std::string& name) {
  return std::find(extensions.begin(), extensions.end(), name) != extensions.end();
}

int GLVersionNumber(const char* version) {
  if (!version || !std::isdigit(static_cast<unsigned char>(version[0]))) return 0;
  int major = 0, minor = 0;
  const char* p = version;
  while (std::isdigit(static_cast<unsigned char>(*p))) major = major * 10 + (*p++ - '0');
  if (*p == '.') {
    ++p;
    if (std::isdigit(static_cast<unsigned char>(*p))) minor = *p - '0';
  }
  return major * 10 + minor;
}

void TGLExtensions::Load() {
  std::vector<std::string> names = SplitExtensions(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
  int version = GLVersionNumber(reinterpret_cast<const char*>(glGetString(GL_VERSION)));
  // BGRA transfers are part of OpenGL from 1.2 on.
  bgra = HasExtension(names, "GL_EXT_bgra") || version >= 12;
  generateMipmap = HasExtension(names, "GL_SGIS_generate_mipmap");
  if (HasExtension(names, "GL_EXT_blend_func_separate")) {
    BlendFuncSeparate = Entry<PFNGLBLENDFUNCSEPARATEEXTPROC>("glBlendFuncSeparateEXT", "glBlendFuncSeparate");
  }
  blendFuncSeparate = BlendFuncSeparate != nullptr;
  SwapInterval = Entry<SwapIntervalProc>("wglSwapIntervalEXT", nullptr);
  swapControl = SwapInterval != nullptr;
  if (HasExtension(names, "GL_EXT_framebuffer_object") || HasExtension(names, "GL_ARB_framebuffer_object")) {
    GenFramebuffers = Entry<PFNGLGENFRAMEBUFFERSEXTPROC>("glGenFramebuffersEXT", "glGenFramebuffers");
    DeleteFramebuffers = Entry<PFNGLDELETEFRAMEBUFFERSEXTPROC>("glDeleteFramebuffersEXT", "glDeleteFramebuffers");
    BindFramebuffer = Entry<PFNGLBINDFRAMEBUFFEREXTPROC>("glBindFramebufferEXT", "glBindFramebuffer");
    GenRenderbuffers = Entry<PFNGLGENRENDERBUFFERSEXTPROC>("glGenRenderbuffersEXT", "glGenRenderbuffers");
    DeleteRenderbuffers =
        Entry<PFNGLDELETERENDERBUFFERSEXTPROC>("glDeleteRenderbuffersEXT", "glDeleteRenderbuffers");
    BindRenderbuffer = Entry<PFNGLBINDRENDERBUFFEREXTPROC>("glBindRenderbufferEXT", "glBindRenderbuffer");
    RenderbufferStorage =
        Entry<PFNGLRENDERBUFFERSTORAGEEXTPROC>("glRenderbufferStorageEXT", "glRenderbufferStorage");
    FramebufferRenderbuffer =
        Entry<PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC>("glFramebufferRenderbufferEXT", "glFramebufferRenderbuffer");
    CheckFramebufferStatus =
        Entry<PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC>("glCheckFramebufferStatusEXT", "glCheckFramebufferStatus");
  }
  framebufferObject = GenFramebuffers && DeleteFramebuffers && BindFramebuffer && GenRenderbuffers &&
                      DeleteRenderbuffers && BindRenderbuffer && RenderbufferStorage && FramebufferRenderbuffer &&
                      CheckFramebufferStatus;
}
