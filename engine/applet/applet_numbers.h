#pragma once
// Number rules of the applet: sizes and scales that never divide by zero,
// decimal and debug-form texts, and numbers read back from stored settings.
#include <cstdint>
#include <optional>

#include "core/text/text.h"

// The smallest scale and size the applet accepts.
constexpr float kMinimumScale = 0.01f;
constexpr int32_t kMinimumSize = 1;

// A scale from a file, a script or the screen-mode rule; anything below the
// minimum (0, negative, not a number) is logged and becomes the minimum.
float SaneScale(float value);
// A size (`what` names it in the log line) below the minimum is logged and
// becomes the minimum.
int32_t SaneSize(int32_t value, const char16_t* what);

WideString DecimalText(int64_t value);
// Seconds for the debug form: "%8.5f".
WideString DebugSecondsText(double seconds);
// A stored float ("." as separator); a damaged text is logged as an error
// naming the setting and gives nothing.
std::optional<float> ParseStoredFloat(const WideString& name, const WideString& text);
