// Decodes arbitrary bytes as a JPEG stream through the program's libjpeg
// source manager. Nothing may crash, overrun or hang; the library's errors
// come back as EJPEG from the program's own frames.
#include <cstddef>
#include <cstdint>

#include "core/resources/stream.h"
#include "core/system/log.h"
#include "platform/filters/jpeg_coding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (LogHandler() = [](const WideString&) {}, true);
  (void)quiet;
  TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
  try {
    decodeJpeg(stream);
  } catch (const EJPEG&) {
  }
  return 0;
}
