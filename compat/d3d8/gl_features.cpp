#include "compat/d3d8/internal/gl_features.h"

#include <algorithm>

#include "compat/d3d8/internal/settings.h"

namespace d3d8_internal {

bool GLFeatures::Load() {
  const int version = epoxy_gl_version();
  auto has = [](const char* name) { return epoxy_has_gl_extension(name); };
  bool framebuffers = version >= 30 || has("GL_ARB_framebuffer_object") ||
                      (has("GL_EXT_framebuffer_object") && has("GL_EXT_framebuffer_blit"));
  bool complete = version >= 14 && framebuffers;
  provokingVertex = version >= 32 || has("GL_ARB_provoking_vertex") || has("GL_EXT_provoking_vertex");
  viewportIndexed = version >= 41 || has("GL_ARB_viewport_array");
  clipControl = version >= 45 || has("GL_ARB_clip_control");
  bgraVertexColours = version >= 32 || has("GL_ARB_vertex_array_bgra") || has("GL_EXT_vertex_array_bgra");
  rgb565 = version >= 41 || has("GL_ARB_ES2_compatibility");
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

bool GLFeatures::directCorrections() const {
  return viewportIndexed && clipControl && CurrentSettings().directCorrections;
}

}  // namespace d3d8_internal
