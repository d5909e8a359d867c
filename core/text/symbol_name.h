#pragma once
// Readable names of the program's functions from their linker names, for the
// call stack of a crash report. The crash path may not allocate memory (the
// heap may be what broke), so this reads the mangled name in place and writes
// into the caller's buffer: the qualified name without its parameter list
// ("TWindow::Destroy", "(anonymous namespace)::Crash", "std::vector<...>::at").
#include <cstddef>

// Writes the readable name (NUL-terminated) and answers its length; 0 when the
// name is not one this reader knows (the caller then shows it as it is).
size_t DemangleSymbolName(const char* mangled, char* out, size_t capacity);
