// Reads arbitrary bytes as a ".pixmap" file, raw or with JPEG planes.
// Nothing may crash, overrun or hang; damaged data raises only the
// program's own exceptions, which the filter turns into an error line.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "core/resources/stream.h"
#include "core/system/log.h"
#include "platform/filters/pixmap_binary_filter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (LogHandler() = [](const WideString&) {}, true);
  (void)quiet;
  TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
  TArgbImage image;
  try {
    ReadPixmapFile(stream, image);
  } catch (const std::exception&) {
  }
  return 0;
}
