#pragma once
// Moving, sizing, showing and restacking a window, with the messages the
// system sends for each change.
#include <memory>

#include "compat/win32/internal/window_state.h"

// SetWindowPos for a window known to be alive.
BOOL PlaceWindow(const std::shared_ptr<WindowState>& window, HWND insertAfter, int x, int y, int width, int height,
                 UINT flags);
// A change the display system reports (made by the user or the window
// manager): the record follows it and the procedure hears of it; the display
// is not asked again. Client origin in screen coordinates, client size.
void ReportDisplayPlacement(const std::shared_ptr<WindowState>& window, int clientX, int clientY, int clientWidth,
                            int clientHeight);
// Gives the display system the window's current shape (its region or, for a
// layered window, its bitmap's alpha) where the driver can shape windows.
void ApplyShapeToDisplay(WindowState& window);
