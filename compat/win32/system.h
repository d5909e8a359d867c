#pragma once
// The few operating-system services the core needs: the program's own path, the
// per-user application-data folder, the millisecond clock and sleeping.
#include <cstdint>
#include <string>

// Full path of the running program file (UTF-8), from /proc/self/exe.
std::string GetProgramFileName();

// The per-user application-data folder: $XDG_DATA_HOME, else ~/.local/share.
// Always ends in "/".
std::string GetAppDataPath();

// Milliseconds since an arbitrary fixed point; wraps like a 32-bit counter.
uint32_t GetTickCount();

// Suspends the calling thread.
void Sleep(uint32_t milliseconds);

// Seconds since the Unix epoch at full resolution, for "is the derived file
// older than its source" rules; -1 when the file does not exist.
double GetFileTime(const std::string& path);
