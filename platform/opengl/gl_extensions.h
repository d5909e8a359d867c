#pragma once
// What the driver offers beyond OpenGL 1.1 that the OpenGL device uses, read
// when its context is made. The GL entry points come from libepoxy, which
// finds them for the current context on first use; a feature the driver
// lacks is never called.
#include <epoxy/gl.h>

#include <string>
#include <vector>

struct TGLExtensions {
  bool bgra = false;                // GL_BGRA pixel transfers
  bool generateMipmap = false;      // GL_SGIS_generate_mipmap
  bool blendFuncSeparate = false;   // separate alpha blending, in use
  bool blendFuncSeparateOffered = false;  // GL_EXT_blend_func_separate or OpenGL 1.4
  bool swapControl = false;         // WGL_EXT_swap_control
  bool framebufferObject = false;   // off-screen buffers for layered windows

  using SwapIntervalProc = int (*)(int interval);
  SwapIntervalProc SwapInterval = nullptr;

  // Reads the features of the current context.
  void Load();
};

// The names in an extension string, in order, empty pieces left out.
std::vector<std::string> SplitExtensions(const char* extensions);
