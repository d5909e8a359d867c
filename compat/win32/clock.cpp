#include "compat/win32/clock.h"

#include <chrono>
#include <optional>

#include "compat/win32/test_hooks.h"

namespace {
std::optional<DWORD>& FakeClock() {
  static std::optional<DWORD> fake;
  return fake;
}
}  // namespace

DWORD timeGetTime() {
  if (FakeClock()) return *FakeClock();
  using namespace std::chrono;
  return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

UINT timeBeginPeriod(UINT) { return 0; }
UINT timeEndPeriod(UINT) { return 0; }

void win32_test::SetFakeClock(std::optional<DWORD> milliseconds) { FakeClock() = milliseconds; }
