#pragma once
// Display-system events into window messages, one translator a kind of event.
#include <SDL2/SDL.h>

#include "compat/win32/win_types.h"

void TranslateDisplayEvent(const SDL_Event& event);
void TranslateWindowEvent(const SDL_WindowEvent& event);
// False when the event is not a mouse event.
bool TranslateMouseEvent(const SDL_Event& event);
// False when the event is not a keyboard or text event.
bool TranslateKeyboardEvent(const SDL_Event& event);
