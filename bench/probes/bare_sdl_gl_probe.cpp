// The bare libraries' start-up, the floor of the program's own: an SDL window
// with an OpenGL context of the game's size and one cleared frame shown. Run
// by startup_bench beside the program, with the same preloaded stamp
// (first_frame_stamp.cpp) timing both to their first shown frame.
#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 3) return 3;
  int width = std::atoi(argv[1]);
  int height = std::atoi(argv[2]);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
  SDL_Window* window = SDL_CreateWindow("probe", 100, 100, width, height, SDL_WINDOW_OPENGL);
  SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
  if (!context) return 2;
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  SDL_GL_SwapWindow(window);
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
