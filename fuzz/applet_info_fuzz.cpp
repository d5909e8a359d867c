// The pre-read of an applet's size and title from arbitrary object-file text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/objects/engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  AppletInfo info = ParseAppletInfo(std::string_view(reinterpret_cast<const char*>(data), size));
  SafeFolderName(info.title);
  return 0;
}
