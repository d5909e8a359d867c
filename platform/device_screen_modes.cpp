// Screen modes as text ("800x600x32") and the sizes read back from them.
#include "platform/device.h"

namespace {
// The n-th number of a mode text, whose numbers are separated by " ", ","
// or "x"; 0 when the text has no such number or it does not parse.
int32_t ModeNumber(const WideString& text, int which) {
  int found = -1;
  size_t i = 0;
  while (i < text.size()) {
    size_t end = text.find_first_of(u" ,x", i);
    if (end == WideString::npos) end = text.size();
    if (end > i) {
      found += 1;
      if (found == which) {
        int64_t value = 0;
        for (size_t k = i; k < end; ++k) {
          char16_t c = text[k];
          if (c < u'0' || c > u'9' || value > 100000000) return 0;
          value = value * 10 + (c - u'0');
        }
        return static_cast<int32_t>(value);
      }
    }
    i = end + 1;
  }
  return 0;
}
}  // namespace

int32_t TDevice::ScreenModeWidth(int32_t index) const {
  if (index == -1) return desktopWidth_;
  if (index < 0 || index >= static_cast<int32_t>(screenModes_.size())) return 0;
  return ModeNumber(screenModes_[static_cast<size_t>(index)], 0);
}

int32_t TDevice::ScreenModeHeight(int32_t index) const {
  if (index == -1) return desktopHeight_;
  if (index < 0 || index >= static_cast<int32_t>(screenModes_.size())) return 0;
  return ModeNumber(screenModes_[static_cast<size_t>(index)], 1);
}
