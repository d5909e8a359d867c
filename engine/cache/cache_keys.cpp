#include "engine/cache/cache_keys.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <limits>

WideString FontStyleText(int32_t style) {
  WideString text;
  if (style & 1) text += u"bold";
  if (style & 2) text += u"italic";
  return text;
}

int32_t TruncFontSize(float size) {
  if (std::isnan(size)) return 0;
  double whole = std::trunc(static_cast<double>(size));
  if (whole <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (whole >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(whole);
}

WideString FontCacheKey(const WideString& family, int32_t style, float size) {
  return family + u"|" + AnsiToWide(std::to_string(TruncFontSize(size))) + u"|" + FontStyleText(style);
}

WideString ManagedCacheKey(TResourceMan* manager, const WideString& name) {
  char digits[2 * sizeof(void*) + 1];
  std::snprintf(digits, sizeof digits, "%" PRIxPTR, reinterpret_cast<uintptr_t>(manager));
  return AnsiToWide(digits) + u"|" + name;
}
