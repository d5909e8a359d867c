#pragma once
// The watchdog over the thread's script context: a helper thread that, while
// a script runs long or takes too much memory, asks the context to call its
// interrupt callback, which then stops the script when the program's watch
// says so (core/objects/script_watch.h): a close request, the time bound, the memory
// bound. Internal to engine/javascript/.
#include <jsapi.h>

// Installs the callbacks on a new context (after its warning reporter, which
// it wraps) and starts watching it.
void WatchJsContext(JSContext* cx);
// Stops watching before the context is destroyed.
void UnwatchJsContext(JSContext* cx);
