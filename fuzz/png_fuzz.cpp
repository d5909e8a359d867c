// Decodes arbitrary bytes as a PNG through the program's libpng reader.
// Nothing may crash, overrun or hang; libpng's errors come back as EPNG from
// the program's own frames.
#include <cstddef>
#include <cstdint>

#include "core/resources/stream.h"
#include "core/system/log.h"
#include "platform/filters/png_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (LogHandler() = [](const WideString&) {}, true);
  (void)quiet;
  TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
  try {
    DecodePng(stream);
  } catch (const EPNG&) {
  }
  return 0;
}
