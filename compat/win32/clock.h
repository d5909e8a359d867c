#pragma once
// The millisecond clock of the multimedia timer services.
#include "compat/win32/win_types.h"

// Milliseconds since an arbitrary fixed point; wraps like a 32-bit counter.
DWORD timeGetTime();
// Timer resolution requests; the clock here is always exact to the millisecond.
UINT timeBeginPeriod(UINT milliseconds);
UINT timeEndPeriod(UINT milliseconds);
