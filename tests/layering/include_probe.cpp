// Compiled only by the layering checks (tests/CMakeLists.txt): code above
// compat/ that includes an outside library the compat layers wrap.
#if defined(PROBE_sdl)
#include <SDL2/SDL.h>
#elif defined(PROBE_sdl_folder)
#include <SDL.h>
#elif defined(PROBE_bullet)
#include <bullet/btBulletDynamicsCommon.h>
#endif
