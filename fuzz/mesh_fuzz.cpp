// Reads arbitrary bytes as a ".mesh" file. Nothing may crash, overrun or
// hang; what is read is checked (counts, format, indices within the
// vertices) before any mesh is made.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "core/resources/stream.h"
#include "core/system/log.h"
#include "platform/filters/mesh_binary_filter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (LogHandler() = [](const WideString&) {}, true);
  (void)quiet;
  TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
  TMeshFileData mesh;
  try {
    ReadMeshFile(stream, mesh);
  } catch (const std::exception&) {
  }
  return 0;
}
