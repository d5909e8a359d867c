#pragma once
// A registered window class.
#include <memory>
#include <string>

#include "compat/win32/window_class.h"

struct ClassRecord {
  std::string name;
  UINT style = 0;
  WNDPROC procedure = nullptr;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
};

// The class of that name, compared ignoring ASCII case; null when none.
std::shared_ptr<ClassRecord> FindClassRecord(const char* name);
