#include "compat/win32/window_class.h"

#include <vector>

#include "compat/win32/internal/class_record.h"
#include "compat/win32/internal/window_state.h"
#include "compat/win32/last_error.h"

namespace {
std::vector<std::shared_ptr<ClassRecord>>& Classes() {
  static auto* classes = new std::vector<std::shared_ptr<ClassRecord>>();
  return *classes;
}

bool SameName(const std::string& a, const char* b) {
  size_t n = 0;
  for (; b[n]; ++n) {
    if (n >= a.size()) return false;
    char x = a[n], y = b[n];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return n == a.size();
}

// Class atoms are counted in the range the system gives them.
ATOM nextClassAtom = 0xC000;
}  // namespace

std::shared_ptr<ClassRecord> FindClassRecord(const char* name) {
  if (!name) return nullptr;
  for (const auto& record : Classes()) {
    if (SameName(record->name, name)) return record;
  }
  return nullptr;
}

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
  if (!windowClass || !windowClass->lpszClassName || !*windowClass->lpszClassName || !windowClass->lpfnWndProc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (FindClassRecord(windowClass->lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto record = std::make_shared<ClassRecord>();
  record->name = windowClass->lpszClassName;
  record->style = windowClass->style;
  record->procedure = windowClass->lpfnWndProc;
  record->instance = windowClass->hInstance;
  record->icon = windowClass->hIcon;
  record->cursor = windowClass->hCursor;
  Classes().push_back(record);
  return ++nextClassAtom;
}

BOOL UnregisterClassA(const char* className, HINSTANCE) {
  auto record = FindClassRecord(className);
  if (!record) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return FALSE;
  }
  std::erase(Classes(), record);
  return TRUE;
}

BOOL GetClassInfoA(HINSTANCE, const char* className, WNDCLASSA* windowClass) {
  auto record = FindClassRecord(className);
  if (!record || !windowClass) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return FALSE;
  }
  *windowClass = WNDCLASSA{};
  windowClass->style = record->style;
  windowClass->lpfnWndProc = record->procedure;
  windowClass->hInstance = record->instance;
  windowClass->hIcon = record->icon;
  windowClass->hCursor = record->cursor;
  windowClass->lpszClassName = record->name.c_str();
  return TRUE;
}

LONG_PTR SetClassLongPtrA(HWND window, int index, LONG_PTR value) {
  auto state = FindWindowState(window);
  if (!state) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  ClassRecord& record = *state->windowClass;
  LONG_PTR previous = 0;
  if (index == GCLP_HICON) {
    previous = reinterpret_cast<LONG_PTR>(record.icon);
    record.icon = reinterpret_cast<HICON>(value);
  } else if (index == GCLP_HCURSOR) {
    previous = reinterpret_cast<LONG_PTR>(record.cursor);
    record.cursor = reinterpret_cast<HCURSOR>(value);
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
  }
  return previous;
}

LONG_PTR GetClassLongPtrA(HWND window, int index) {
  auto state = FindWindowState(window);
  if (!state) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (index == GCLP_HICON) return reinterpret_cast<LONG_PTR>(state->windowClass->icon);
  if (index == GCLP_HCURSOR) return reinterpret_cast<LONG_PTR>(state->windowClass->cursor);
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}
