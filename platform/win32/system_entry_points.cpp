#include "platform/win32/system_entry_points.h"

#include "compat/win32/module_exports.h"

namespace {
UpdateLayeredWindowProc updateLayeredWindow = nullptr;
FARPROC toUnicodeEx = nullptr;
}  // namespace

UpdateLayeredWindowProc UpdateLayeredWindowEntry() { return updateLayeredWindow; }

FARPROC ToUnicodeExEntry() { return toUnicodeEx; }

void ResolveSystemEntryPoints() {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  updateLayeredWindow = reinterpret_cast<UpdateLayeredWindowProc>(GetProcAddress(user32, "UpdateLayeredWindow"));
  toUnicodeEx = GetProcAddress(user32, "ToUnicodeEx");
}

void ForgetSystemEntryPoints() {
  updateLayeredWindow = nullptr;
  toUnicodeEx = nullptr;
}
