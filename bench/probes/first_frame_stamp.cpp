// Preloaded into both sides of the start-up benchmark: the first frame shown
// through SDL_GL_SwapWindow in a window that is shown (a program may present
// into its window while it is still hidden, which no one sees), once the
// swap has returned, writes the wall-clock time of that moment (milliseconds, after "first frame ") to the
// file named by FIRST_FRAME_STAMP and ends the process there, so that the
// program and the bare probe are timed and measured to the same moment by the
// same code, without a line of the program knowing it is timed.
#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

struct SDL_Window;

extern "C" __attribute__((visibility("default"))) void SDL_GL_SwapWindow(SDL_Window* window) {
  using Swap = void (*)(SDL_Window*);
  using Flags = unsigned (*)(SDL_Window*);
  static const Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
  static const Flags flagsOf = reinterpret_cast<Flags>(dlsym(RTLD_NEXT, "SDL_GetWindowFlags"));
  constexpr unsigned kShown = 0x4;  // SDL_WINDOW_SHOWN
  if (real) real(window);
  if (flagsOf && !(flagsOf(window) & kShown)) return;
  const double now =
      std::chrono::duration<double, std::milli>(std::chrono::system_clock::now().time_since_epoch()).count();
  if (const char* file = std::getenv("FIRST_FRAME_STAMP")) {
    if (FILE* out = std::fopen(file, "w")) {
      std::fprintf(out, "first frame %.3f\n", now);
      std::fclose(out);
    }
  }
  _exit(0);
}
