#include "compat/win32/internal/video.h"

#include <SDL2/SDL_shape.h>

#include <cstdio>
#include <cstring>

#include "compat/win32/close_watch.h"

namespace {
bool started = false;
bool failed = false;

void SetHintsBeforeStart() {
  // Clicks must reach a window that is not yet focused, as on the system.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // The system only captures the mouse when the program asks (SetCapture).
  SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  // Closing a window is a message to its procedure, never a program quit.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // Layered windows show their bitmap through the window surface; it must not
  // take a GL context of its own on windows that carry the program's.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
}

void SetPixelFormatForAllWindows() {
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}
}  // namespace

bool EnsureVideo() {
  if (started) return true;
  if (failed) return false;
  SetHintsBeforeStart();
  // A display server under heavy load may refuse a connection for a moment:
  // a few tries before the program goes on without windows.
  constexpr int kTries = 3;
  for (int attempt = 1; SDL_InitSubSystem(SDL_INIT_VIDEO) != 0; ++attempt) {
    if (attempt == kTries) {
      std::fprintf(stderr, "video system not started: %s\n", SDL_GetError());
      failed = true;
      return false;
    }
    SDL_Delay(300);
  }
  SetPixelFormatForAllWindows();
  started = true;
  // The display system now turns SIGTERM and SIGINT into its quit request;
  // the program's last way out goes in front of that.
  InstallCloseWatch();
  return true;
}

bool DriverHasPointer() {
  if (!EnsureVideo()) return false;
  const char* name = SDL_GetCurrentVideoDriver();
  return name && std::strcmp(name, "x11") == 0;
}

bool DriverCanShape() {
  // Only X11 among the drivers this program runs on can shape a window.
  return DriverHasPointer();
}

bool VideoStarted() { return started; }
