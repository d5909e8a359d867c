// The script library's compiled built-ins as read back from the user's cache
// folder: any bytes under the cache's name. The first byte says how long the
// stamp the reader expects is; the check must never read past the file nor
// accept a file that is not whole.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "engine/javascript/js_self_hosted_cache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t stampLength = std::min<size_t>(data[0], size - 1);
  const std::string stamp(reinterpret_cast<const char*>(data + 1), stampLength);
  const std::span<const uint8_t> file(data + 1 + stampLength, size - 1 - stampLength);
  size_t offset = 0;
  if (FindSelfHostedCode(file, stamp, offset) && (offset < 16 + stamp.size() || offset >= file.size())) {
    __builtin_trap();  // accepted, yet the compiled form is not inside the file
  }
  return 0;
}
