#include "compat/win32/message_queue.h"

#include <SDL2/SDL.h>

#include <deque>
#include <map>

#include "compat/win32/clock.h"
#include "compat/win32/internal/display_events.h"
#include "compat/win32/internal/pointer.h"
#include "compat/win32/internal/queue.h"
#include "compat/win32/internal/video.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/last_error.h"
#include "compat/win32/mouse.h"
#include "compat/win32/window_messages.h"

namespace {
struct Queue {
  std::deque<MSG> posted;
  bool quitPending = false;
  int quitCode = 0;
  // Text a key produced, by the number its key-down message carries.
  std::map<DWORD, std::u16string> keyText;
  DWORD nextKeyTextId = 0;
};

Queue& TheQueue() {
  static auto* queue = new Queue();
  return *queue;
}

bool InRange(UINT message, UINT first, UINT last) {
  return (first == 0 && last == 0) || (message >= first && message <= last);
}

bool Matches(const MSG& message, HWND window, UINT first, UINT last) {
  return (!window || message.hwnd == window) && InRange(message.message, first, last);
}

bool IsMouseMessage(UINT message) {
  return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL;
}

// The system asks the window where the pointer is and lets it set the cursor
// as a mouse message is taken from the queue, unless the mouse is captured.
void SendCursorMessages(const MSG& message) {
  if (GetCapture()) return;
  LRESULT hit = SendMessageA(message.hwnd, WM_NCHITTEST, 0, MAKELPARAM(message.pt.x, message.pt.y));
  SendMessageA(message.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(message.hwnd),
               MAKELPARAM(static_cast<int>(hit), static_cast<int>(message.message)));
}

bool TakePosted(MSG* out, HWND window, UINT first, UINT last, UINT removal) {
  auto& posted = TheQueue().posted;
  for (auto it = posted.begin(); it != posted.end(); ++it) {
    if (!Matches(*it, window, first, last)) continue;
    MSG message = *it;
    if (removal & PM_REMOVE) posted.erase(it);
    if ((removal & PM_REMOVE) && IsMouseMessage(message.message)) SendCursorMessages(message);
    *out = message;
    return true;
  }
  return false;
}

bool TakeQuit(MSG* out, HWND window, UINT first, UINT last, UINT removal) {
  Queue& queue = TheQueue();
  if (!queue.quitPending || window || !InRange(WM_QUIT, first, last)) return false;
  *out = MSG{};
  out->message = WM_QUIT;
  out->wParam = static_cast<WPARAM>(queue.quitCode);
  out->time = timeGetTime();
  if (removal & PM_REMOVE) queue.quitPending = false;
  return true;
}

// WM_PAINT is made, not queued: it stays while the window is invalid. Layered
// windows are never painted; their content comes whole.
bool TakePaint(MSG* out, HWND window, UINT first, UINT last) {
  if (!InRange(WM_PAINT, first, last)) return false;
  for (const auto& state : AllWindows()) {
    if (!state->visible || !state->invalid || state->layered()) continue;
    if (window && state->handle() != window) continue;
    *out = MSG{};
    out->hwnd = state->handle();
    out->message = WM_PAINT;
    out->time = timeGetTime();
    return true;
  }
  return false;
}

bool Take(MSG* out, HWND window, UINT first, UINT last, UINT removal) {
  PumpDisplayEvents();
  return TakePosted(out, window, first, last, removal) || TakeQuit(out, window, first, last, removal) ||
         TakePaint(out, window, first, last);
}

void WaitForDisplayEvent() {
  SDL_Event event;
  if (!VideoStarted()) {
    SDL_Delay(10);
    return;
  }
  if (SDL_WaitEventTimeout(&event, 100)) TranslateDisplayEvent(event);
}
}  // namespace

void PostToQueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m;
  m.hwnd = window;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = timeGetTime();
  m.pt = PointerPosition();
  TheQueue().posted.push_back(m);
}

void AttachTextToLastKeyDown(HWND window, const std::u16string& text) {
  Queue& queue = TheQueue();
  for (auto it = queue.posted.rbegin(); it != queue.posted.rend(); ++it) {
    if (it->hwnd != window) continue;
    if (it->message != WM_KEYDOWN && it->message != WM_SYSKEYDOWN) continue;
    if (it->lPrivate == 0) it->lPrivate = ++queue.nextKeyTextId;
    queue.keyText[it->lPrivate] += text;
    return;
  }
}

std::u16string TextOfKeyMessage(const MSG& message) {
  Queue& queue = TheQueue();
  auto found = queue.keyText.find(message.lPrivate);
  if (message.lPrivate == 0 || found == queue.keyText.end()) return {};
  std::u16string text = std::move(found->second);
  queue.keyText.erase(found);
  return text;
}

void RemoveQueuedMessages(HWND window) {
  std::erase_if(TheQueue().posted, [&](const MSG& m) { return m.hwnd == window; });
}

void PumpDisplayEvents() {
  if (!VideoStarted()) return;
  SDL_PumpEvents();
  SDL_Event event;
  while (SDL_PollEvent(&event)) TranslateDisplayEvent(event);
}

BOOL PeekMessageA(MSG* message, HWND window, UINT first, UINT last, UINT removal) {
  if (!message) return FALSE;
  return Take(message, window, first, last, removal) ? TRUE : FALSE;
}

BOOL GetMessageA(MSG* message, HWND window, UINT first, UINT last) {
  if (!message) return -1;
  while (!Take(message, window, first, last, PM_REMOVE)) WaitForDisplayEvent();
  return message->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage() {
  MSG message;
  while (!Take(&message, nullptr, 0, 0, PM_NOREMOVE)) WaitForDisplayEvent();
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* message) {
  if (!message || !message->hwnd) return 0;
  return CallWindowProcedure(FindWindowState(message->hwnd), message->message, message->wParam, message->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window && !FindWindowState(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  PostToQueue(window, message, wParam, lParam);
  return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto state = FindWindowState(window);
  if (!state) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return CallWindowProcedure(state, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  TheQueue().quitPending = true;
  TheQueue().quitCode = exitCode;
}
