#pragma once
// Puts the crash hook's install and remove functions into the platform's seam,
// so that the Windows platform installs the hook as it starts and removes it
// as it ends.
void InstallCrashHookSeam();
