// Lines of an event recording: arbitrary bytes read as one line's event text
// (UTF-8 and, from the same bytes, UTF-16). A record that comes back must give
// the same text again, and damaged text must give none without raising.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/system/log.h"
#include "core/text/text.h"
#include "platform/input_records.h"

namespace {
void CheckLine(const WideString& text) {
  TLowEvent* event = EventFromText(text);
  if (!event) return;
  WideString written = EventToText(event);
  TLowEvent* again = EventFromText(written);
  if (!again || EventToText(again) != written || again->kind != event->kind) std::abort();
  again->Free();
  event->Free();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckLine(Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size)));
  WideString units;
  for (size_t i = 0; i + 1 < size; i += 2) units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  CheckLine(units);
  return 0;
}
