#include "compat/win32/internal/display_events.h"

void TranslateDisplayEvent(const SDL_Event& event) {
  if (event.type == SDL_WINDOWEVENT) {
    TranslateWindowEvent(event.window);
    return;
  }
  if (TranslateMouseEvent(event)) return;
  TranslateKeyboardEvent(event);
  // Anything else (the display system's quit request among it) has no message:
  // closing comes to each window as its own close request.
}
