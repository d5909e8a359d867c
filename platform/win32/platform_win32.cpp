#include "platform/win32/platform_win32.h"

#include <cstdio>

#include "compat/win32/clipboard.h"
#include "compat/win32/clock.h"
#include "compat/win32/file_dialog.h"
#include "compat/win32/file_system.h"
#include "compat/win32/last_error.h"
#include "compat/win32/message_queue.h"
#include "compat/win32/shell.h"
#include "compat/win32/system.h"
#include "compat/win32/window.h"
#include "compat/win32/window_messages.h"
#include "core/objects/class_builder.h"
#include "core/objects/class_registry.h"
#include "core/objects/engine.h"
#include "core/objects/script_watch.h"
#include "core/system/log.h"
#include "platform/win32/crash_hook_seam.h"
#include "platform/win32/system_entry_points.h"
#include "platform/win32/window_lookup.h"

const ClassInfo& TPlatformWin32::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TPlatformWin32>("TPlatformWin32").build();
  return info;
}

void TPlatformWin32::Create(TObject* owner) {
  inherited::Create(owner);
  LogInfo(u"Platrorm started " + Utf8ToWide(className()));
  startTime = timeGetTime();
  AddWindowAtom();
  if (CrashHookSeam().Install) CrashHookSeam().Install();
  // A script that runs long keeps the queue from being read: it asks here.
  CloseRequestPoll() = [] { return CloseRequestPending(); };
}

void TPlatformWin32::Destroy() {
  CloseRequestPoll() = nullptr;
  if (CrashHookSeam().Remove) CrashHookSeam().Remove();
  DeleteWindowAtom();
  inherited::Destroy();
}

void TPlatformWin32::CreateConsole() { AllocConsole(); }

void TPlatformWin32::DestroyConsole() { FreeConsole(); }

void TPlatformWin32::Writeln(const WideString& text) {
  std::string line = WideToUtf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

namespace {
// Key messages yield their character messages; the quit message is dropped.
void HandleMessage(const MSG& message) {
  if (message.message == WM_QUIT) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}
}  // namespace

bool TPlatformWin32::PeekHandler() {
  MSG message;
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  HandleMessage(message);
  return true;
}

void TPlatformWin32::WaitHandler() {
  MSG message;
  GetMessageA(&message, nullptr, 0, 0);
  HandleMessage(message);
}

float TPlatformWin32::GetCurrentTime() {
  // Unsigned difference: right across the clock's wrap-around too.
  return static_cast<float>(static_cast<uint32_t>(timeGetTime() - startTime)) / 1000.0f;
}

void TPlatformWin32::LogLastOSError() {
  DWORD code = GetLastError();
  if (code == 0) return;
  char text[1001];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                sizeof(text), nullptr);
  WideString line = Utf8ToWide(std::to_string(code));
  if (length > 0) line += u":" + AnsiToWide(std::string_view(text, length));
  LogError(line);
}

WideString TPlatformWin32::ReadValue(const WideString& key) {
  auto found = values_.find(key);
  return found == values_.end() ? WideString() : found->second;
}

void TPlatformWin32::WriteValue(const WideString& key, const WideString& value) { values_[key] = value; }

bool TPlatformWin32::SelectExternalFile(const WideString& filter, WideString& fileName) {
  // "description|patterns|..." as the dialog takes it: each part ended by 0.
  WideString filters = u"all files|" + filter;
  for (char16_t& c : filters) {
    if (c == u'|') c = 0;
  }
  filters.push_back(0);
  filters.push_back(0);
  char16_t chosen[4096] = {0};
  OPENFILENAMEW dialog;
  dialog.lpstrFilter = filters.c_str();
  dialog.lpstrFile = chosen;
  dialog.nMaxFile = sizeof(chosen) / sizeof(chosen[0]);
  if (!GetOpenFileNameW(&dialog)) return false;
  fileName = chosen;
  return true;
}

void TPlatformWin32::getAppDataFolder(WideString& folder) {
  std::string path = GetAppDataPath();
  while (!path.empty() && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  // The program's own separator; the file-system boundary turns it into "/".
  path += '\\';
  ForceDirectories(path);
  folder = Utf8ToWide(path);
}

void TPlatformWin32::openUrl(const WideString& url) {
  // File names and addresses reach the system as UTF-8 on Linux.
  ShellExecuteA(nullptr, "open", WideToUtf8(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

WideString TPlatformWin32::GetClipboardText() { return GetClipboardTextW(); }

void TPlatformWin32::SetClipboardText(const WideString& text) { SetClipboardTextW(text); }

void RegisterWin32Platform() {
  static bool done = false;
  if (done) return;
  done = true;
  PlatformClass = &TPlatformWin32::staticClassInfo();
  RegisterClass(TPlatformWin32::staticClassInfo());
  ResolveSystemEntryPoints();
}
