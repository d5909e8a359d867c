#pragma once
// The crash hook is installed when the platform starts and removed when it
// ends. The crash-hook unit puts its two functions here when it starts; until
// then the platform installs nothing.
struct TCrashHookSeam {
  void (*Install)() = nullptr;
  void (*Remove)() = nullptr;
};

TCrashHookSeam& CrashHookSeam();
