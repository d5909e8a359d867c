#pragma once
// The display system under the layer (SDL's video subsystem), started on first
// use by whatever needs it.
#include <SDL2/SDL.h>

// Starts the video subsystem once; false when it cannot start.
bool EnsureVideo();
// True when the driver knows a real pointer and real window placement (X11);
// false for the offscreen driver, where the layer keeps its own pointer.
bool DriverHasPointer();
// True when the driver can shape windows.
bool DriverCanShape();
// True once a window has started the display system.
bool VideoStarted();
