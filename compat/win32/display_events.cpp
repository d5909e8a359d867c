#include "compat/win32/internal/display_events.h"

#include "compat/win32/internal/queue.h"
#include "compat/win32/internal/video.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/message_queue.h"
#include "compat/win32/window_messages.h"
#include "compat/win32/close_watch.h"

namespace {
// Once the program was asked to end, it stays asked.
bool quitRequested = false;

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
    quitRequested = true;
    NoteCloseRequested();
    CloseEveryWindow();
    return;
  }
  if (TranslateMouseEvent(event)) return;
  TranslateKeyboardEvent(event);
}

bool CloseRequestPending() {
  if (quitRequested) return true;
  if (!VideoStarted()) return false;
  SDL_PumpEvents();
  SDL_Event events[256];
  const int count = SDL_PeepEvents(events, 256, SDL_PEEKEVENT, SDL_QUIT, SDL_WINDOWEVENT);
  for (int i = 0; i < count; ++i) {
    const bool close = events[i].type == SDL_QUIT ||
                       (events[i].type == SDL_WINDOWEVENT && events[i].window.event == SDL_WINDOWEVENT_CLOSE);
    if (close) {
      NoteCloseRequested();
      return true;
    }
  }
  return false;
}
