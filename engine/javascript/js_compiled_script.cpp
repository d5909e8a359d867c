#include "engine/javascript/js_compiled_script.h"

#include <zlib.h>

#include <js/Transcoding.h>

namespace {
constexpr size_t kCheckSize = 8;

uint32_t Crc32Of(const uint8_t* data, size_t size) {
  uLong crc = crc32(0L, Z_NULL, 0);
  while (size > 0) {
    auto chunk = static_cast<uInt>(std::min<size_t>(size, 1u << 30));
    crc = crc32(crc, data, chunk);
    data += chunk;
    size -= chunk;
  }
  return static_cast<uint32_t>(crc);
}

void PutUint32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t GetUint32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}
}  // namespace

bool EncodeCompiledScript(JSContext* cx, JS::Stencil* stencil, std::vector<uint8_t>& bytes) {
  JS::TranscodeBuffer buffer;
  if (JS::EncodeStencil(cx, stencil, buffer) != JS::TranscodeResult::Ok) {
    JS_ClearPendingException(cx);
    return false;
  }
  if (buffer.length() > UINT32_MAX - kCheckSize) return false;
  bytes.assign(buffer.begin(), buffer.end());
  auto size = static_cast<uint32_t>(bytes.size());
  uint32_t crc = Crc32Of(bytes.data(), bytes.size());
  PutUint32(bytes, size);
  PutUint32(bytes, crc);
  return true;
}

already_AddRefed<JS::Stencil> DecodeCompiledScript(JSContext* cx, const JS::ReadOnlyCompileOptions& options,
                                                   const std::vector<uint8_t>& bytes) {
  if (bytes.size() <= kCheckSize) return nullptr;
  size_t size = bytes.size() - kCheckSize;
  if (GetUint32(&bytes[size]) != size || GetUint32(&bytes[size + 4]) != Crc32Of(bytes.data(), size)) {
    return nullptr;
  }
  // The library reads the stencil from aligned memory.
  std::vector<uint8_t> stencilBytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
  JS::TranscodeRange range(stencilBytes.data(), stencilBytes.size());
  JS::DecodeOptions decodeOptions(options);
  JS::Stencil* stencil = nullptr;
  if (JS::DecodeStencil(cx, decodeOptions, range, &stencil) != JS::TranscodeResult::Ok || !stencil) {
    JS_ClearPendingException(cx);
    if (stencil) JS::StencilRelease(stencil);
    return nullptr;
  }
  return already_AddRefed<JS::Stencil>(stencil);
}
