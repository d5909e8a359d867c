#include "platform/win32/crash_hook_install.h"

#include "core/system/crash_hook.h"
#include "platform/win32/crash_hook_seam.h"

void InstallCrashHookSeam() {
  CrashHookSeam().Install = &InstallExceptionHandler;
  CrashHookSeam().Remove = &RemoveExceptionHandler;
}
