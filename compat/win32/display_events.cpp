#include "compat/win32/internal/display_events.h"

#include "compat/win32/internal/queue.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/window_messages.h"

namespace {
// The display system's quit request (SDL makes one of SIGINT and SIGTERM)
// reaches every window as the user's close request, so each applet ends
// through its own close action and the program shuts down in order.
void CloseEveryWindow() {
  for (const auto& window : AllWindows()) PostToQueue(window->handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
}
}  // namespace

void TranslateDisplayEvent(const SDL_Event& event) {
  if (event.type == SDL_WINDOWEVENT) {
    TranslateWindowEvent(event.window);
    return;
  }
  if (event.type == SDL_QUIT) {
    CloseEveryWindow();
    return;
  }
  if (TranslateMouseEvent(event)) return;
  TranslateKeyboardEvent(event);
}
