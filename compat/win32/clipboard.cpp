#include "compat/win32/clipboard.h"

#include "compat/win32/internal/video.h"
#include "core/text/text.h"

std::u16string GetClipboardTextW() {
  if (!EnsureVideo()) return {};
  char* text = SDL_GetClipboardText();
  if (!text) return {};
  std::u16string result = Utf8ToWide(text);
  SDL_free(text);
  return result;
}

BOOL SetClipboardTextW(const std::u16string& text) {
  if (!EnsureVideo()) return FALSE;
  return SDL_SetClipboardText(WideToUtf8(text).c_str()) == 0 ? TRUE : FALSE;
}
