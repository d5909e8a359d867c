#include "engine/applet/applet_numbers.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "core/system/log.h"
#include "core/text/exceptions.h"
#include "core/text/text_helpers.h"

float SaneScale(float value) {
  if (std::isfinite(value) && value >= kMinimumScale) return value;
  LogError(u"Invalid scale " + FloatToWideStr(value) + u", using " + FloatToWideStr(kMinimumScale));
  return kMinimumScale;
}

int32_t SaneSize(int32_t value, const char16_t* what) {
  if (value >= kMinimumSize) return value;
  LogError(WideString(u"Invalid ") + what + u" " + DecimalText(value) + u", using " + DecimalText(kMinimumSize));
  return kMinimumSize;
}

WideString DecimalText(int64_t value) { return AnsiToWide(std::to_string(value)); }

WideString DebugSecondsText(double seconds) {
  char text[64];
  std::snprintf(text, sizeof(text), "%8.5f", seconds);
  return AnsiToWide(text);
}

std::optional<float> ParseStoredFloat(const WideString& name, const WideString& text) {
  try {
    const double value = WideStrToFloat(text);
    if (std::isfinite(value)) return static_cast<float>(value);
  } catch (const EConvertError&) {
  }
  LogError(u"Invalid value of " + name + u": " + text);
  return std::nullopt;
}
