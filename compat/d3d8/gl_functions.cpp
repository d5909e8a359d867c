#include "compat/d3d8/internal/gl_functions.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "compat/d3d8/internal/settings.h"
#include "compat/win32/gl_context.h"

namespace d3d8_internal {
namespace {
template <typename Proc>
bool Find(Proc& proc, const char* name) {
  proc = reinterpret_cast<Proc>(wglGetProcAddress(name));
  return proc != nullptr;
}

bool HasExtension(const char* name) {
  const auto* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (!all) return false;
  size_t length = std::strlen(name);
  for (const char* at = std::strstr(all, name); at; at = std::strstr(at + 1, name)) {
    bool starts = at == all || at[-1] == ' ';
    bool ends = at[length] == ' ' || at[length] == '\0';
    if (starts && ends) return true;
  }
  return false;
}

int VersionNumber() {
  const auto* text = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  int major = 0, minor = 0;
  if (!text || std::sscanf(text, "%d.%d", &major, &minor) < 1) return 0;
  return major * 10 + minor;
}
}  // namespace

bool GLFunctions::Load() {
  bool complete = Find(ActiveTexture, "glActiveTexture") && Find(ClientActiveTexture, "glClientActiveTexture") &&
                  Find(MultiTexCoord4f, "glMultiTexCoord4f") && Find(BlendEquation, "glBlendEquation") &&
                  Find(GenFramebuffers, "glGenFramebuffers") && Find(DeleteFramebuffers, "glDeleteFramebuffers") &&
                  Find(BindFramebuffer, "glBindFramebuffer") &&
                  Find(FramebufferTexture2D, "glFramebufferTexture2D") &&
                  Find(FramebufferRenderbuffer, "glFramebufferRenderbuffer") &&
                  Find(CheckFramebufferStatus, "glCheckFramebufferStatus") &&
                  Find(GenRenderbuffers, "glGenRenderbuffers") &&
                  Find(DeleteRenderbuffers, "glDeleteRenderbuffers") &&
                  Find(BindRenderbuffer, "glBindRenderbuffer") &&
                  Find(RenderbufferStorage, "glRenderbufferStorage") && Find(BlitFramebuffer, "glBlitFramebuffer");
  int version = VersionNumber();
  if (version < 13) complete = false;
  if (version >= 32 || HasExtension("GL_ARB_provoking_vertex")) Find(ProvokingVertex, "glProvokingVertex");
  if (version >= 41 || HasExtension("GL_ARB_viewport_array")) Find(ViewportIndexedf, "glViewportIndexedf");
  if (version >= 45 || HasExtension("GL_ARB_clip_control")) Find(ClipControl, "glClipControl");
  bgraVertexColours = version >= 32 || HasExtension("GL_ARB_vertex_array_bgra") ||
                      HasExtension("GL_EXT_vertex_array_bgra");
  rgb565 = version >= 41 || HasExtension("GL_ARB_ES2_compatibility");
  GLint units = 1;
  glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
  textureUnits = units > 0 ? units : 1;
  GLint size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
  if (size > 0) maxTextureSize = size;
  GLint viewport[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
  if (viewport[0] > 0 && viewport[1] > 0) maxViewport = std::min(viewport[0], viewport[1]);
  return complete;
}

bool GLFunctions::directCorrections() const {
  return ViewportIndexedf && ClipControl && CurrentSettings().directCorrections;
}

}  // namespace d3d8_internal
