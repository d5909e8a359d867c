#include "platform/opengl/gl_extensions.h"

#include <sstream>

#include "compat/win32/gl_context.h"

std::vector<std::string> SplitExtensions(const char* extensions) {
  std::vector<std::string> names;
  if (!extensions) return names;
  std::istringstream in(extensions);
  std::string name;
  while (in >> name) names.push_back(name);
  return names;
}

void TGLExtensions::Load() {
  const int version = epoxy_gl_version();
  auto has = [](const char* name) { return epoxy_has_gl_extension(name); };
  // BGRA transfers and separate blending are part of OpenGL from 1.2 and 1.4 on.
  bgra = version >= 12 || has("GL_EXT_bgra");
  generateMipmap = has("GL_SGIS_generate_mipmap");
  blendFuncSeparateOffered = version >= 14 || has("GL_EXT_blend_func_separate");
  blendFuncSeparate = blendFuncSeparateOffered;
  // The window layer's own entry point, not the driver's.
  SwapInterval = reinterpret_cast<SwapIntervalProc>(wglGetProcAddress("wglSwapIntervalEXT"));
  swapControl = SwapInterval != nullptr;
  framebufferObject = version >= 30 || has("GL_ARB_framebuffer_object") || has("GL_EXT_framebuffer_object");
}
