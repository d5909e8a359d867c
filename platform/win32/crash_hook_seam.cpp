#include "platform/win32/crash_hook_seam.h"

TCrashHookSeam& CrashHookSeam() {
  static TCrashHookSeam seam;
  return seam;
}
