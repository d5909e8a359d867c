// Reads arbitrary bytes as an MD3 model, merges its surfaces and checks the
// model as the import does before making a mesh; the same bytes also go
// through the ".aaf" animation-list reader. Nothing may crash, overrun or
// hang.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

#include "core/resources/stream.h"
#include "core/system/log.h"
#include "platform/filters/animation_list.h"
#include "platform/filters/md3_file.h"
#include "platform/filters/mesh_md3_filter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (LogHandler() = [](const WideString&) {}, true);
  (void)quiet;
  TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
  try {
    TFileMD3 file;
    file.read(stream);
    CheckImportedModel(MergeMD3Surfaces(file));
  } catch (const std::exception&) {
  }
  std::vector<TMeshAnimation> animations;
  std::string error;
  ParseAnimationList(std::string_view(reinterpret_cast<const char*>(data), size), animations, error);
  return 0;
}
