#include "compat/win32/gl_context.h"

#include <SDL2/SDL.h>

#include <cstring>

#include "compat/win32/internal/frame_capture.h"
#include "compat/win32/internal/gdi_data.h"
#include "compat/win32/internal/video.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/last_error.h"

namespace {
struct GLContextObject : HandleObject {
  static constexpr HandleKind kKind = HandleKind::GLContext;
  GLContextObject() : HandleObject(kKind) {}
  SDL_GLContext context = nullptr;
};

HGLRC currentContext = nullptr;
HDC currentDC = nullptr;

std::shared_ptr<WindowState> WindowOfDC(HDC dc) {
  auto context = Lookup<ContextObject>(dc);
  return context ? FindWindowState(context->window) : nullptr;
}

// Makes a context for the window; SDL makes it current, which the system's
// call does not do, so the current context is put back.
HGLRC NewContext(const WindowState& window, SDL_GLContext shareWith) {
  SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
  SDL_GLContext previous = SDL_GL_GetCurrentContext();
  if (shareWith) SDL_GL_MakeCurrent(window.sdl, shareWith);
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, shareWith ? 1 : 0);
  SDL_GLContext made = SDL_GL_CreateContext(window.sdl);
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
  SDL_GL_MakeCurrent(previous ? previousWindow : window.sdl, previous);
  if (!made) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto object = std::make_shared<GLContextObject>();
  object->context = made;
  return reinterpret_cast<HGLRC>(AddHandle(object));
}

BOOL SwapInterval(int interval) { return SDL_GL_SetSwapInterval(interval) == 0 ? TRUE : FALSE; }
}  // namespace

HGLRC wglCreateContextAttribsARB(HDC dc, HGLRC share, const int*) {
  auto window = WindowOfDC(dc);
  auto shared = Lookup<GLContextObject>(share);
  if (!window || !window->sdl || (share && !shared)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return NewContext(*window, shared ? shared->context : nullptr);
}

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR*) { return WindowOfDC(dc) ? 1 : 0; }

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
  return WindowOfDC(dc) && format == 1 ? TRUE : FALSE;
}

int DescribePixelFormat(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR* description) {
  if (!WindowOfDC(dc)) return 0;
  if (description && size >= sizeof(PIXELFORMATDESCRIPTOR) && format == 1) {
    *description = PIXELFORMATDESCRIPTOR{};
    description->dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    description->iPixelType = PFD_TYPE_RGBA;
    description->cColorBits = 32;
    description->cAlphaBits = 8;
    description->cDepthBits = 24;
    description->cStencilBits = 8;
  }
  return 1;
}

HGLRC wglCreateContext(HDC dc) { return wglCreateContextAttribsARB(dc, nullptr, nullptr); }

BOOL wglDeleteContext(HGLRC context) {
  auto object = Lookup<GLContextObject>(context);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (currentContext == context) wglMakeCurrent(nullptr, nullptr);
  SDL_GL_DeleteContext(object->context);
  RemoveHandle(object->id);
  return TRUE;
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
  if (!context) {
    if (VideoStarted()) SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
    currentContext = nullptr;
    currentDC = nullptr;
    return TRUE;
  }
  auto object = Lookup<GLContextObject>(context);
  auto window = WindowOfDC(dc);
  if (!object || !window || SDL_GL_MakeCurrent(window->sdl, object->context) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  currentContext = context;
  currentDC = dc;
  return TRUE;
}

HGLRC wglGetCurrentContext() { return Lookup<GLContextObject>(currentContext) ? currentContext : nullptr; }

HDC wglGetCurrentDC() { return wglGetCurrentContext() ? currentDC : nullptr; }

FARPROC wglGetProcAddress(const char* name) {
  if (!name) return nullptr;
  if (std::strcmp(name, "wglSwapIntervalEXT") == 0) return reinterpret_cast<FARPROC>(&SwapInterval);
  if (std::strcmp(name, "wglCreateContextAttribsARB") == 0) {
    return reinterpret_cast<FARPROC>(&wglCreateContextAttribsARB);
  }
  if (!EnsureVideo()) return nullptr;
  return reinterpret_cast<FARPROC>(SDL_GL_GetProcAddress(name));
}

BOOL SwapBuffers(HDC dc) {
  auto window = WindowOfDC(dc);
  if (!window || !window->sdl) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (window->captureFrames && SDL_GL_GetCurrentWindow() == window->sdl) CaptureBackBuffer(*window);
  SDL_GL_SwapWindow(window->sdl);
  return TRUE;
}
