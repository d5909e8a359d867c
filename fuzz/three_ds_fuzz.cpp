// Reads arbitrary bytes as a ".3ds" model: the chunk walk that decides what
// lib3ds is given, lib3ds reading it, and the arrays built from its meshes.
// Nothing may crash, overrun or hang, in our code or in lib3ds.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "core/resources/stream.h"
#include "core/system/log.h"
#include "platform/filters/mesh_3ds_filter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (LogHandler() = [](const WideString&) {}, true);
  (void)quiet;
  TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
  try {
    CheckImportedModel(build3DSArrays(stream));
  } catch (const std::exception&) {
  }
  return 0;
}
