#include "engine/javascript/js_compiled_script.h"

#include <js/Transcoding.h>

#include "core/resources/user_seal.h"

const std::string& CompiledScriptBuildId() {
  static const std::string id = std::string("qplay-jsbin-2/") + JS_GetImplementationVersion();
  return id;
}

bool EncodeCompiledScript(JSContext* cx, JS::Stencil* stencil, std::vector<uint8_t>& bytes) {
  JS::TranscodeBuffer buffer;
  if (JS::EncodeStencil(cx, stencil, buffer) != JS::TranscodeResult::Ok) {
    JS_ClearPendingException(cx);
    return false;
  }
  bytes.assign(buffer.begin(), buffer.end());
  return SealBytes(bytes, CompiledScriptBuildId());
}

already_AddRefed<JS::Stencil> DecodeCompiledScript(JSContext* cx, const JS::ReadOnlyCompileOptions& options,
                                                   const std::vector<uint8_t>& bytes) {
  // The library's decoder trusts its input: only what this user's runtime
  // sealed reaches it, never a cache that came with a game or was forged.
  std::optional<size_t> size = OpenSeal(bytes, CompiledScriptBuildId());
  if (!size) return nullptr;
  // The library reads the stencil from aligned memory.
  std::vector<uint8_t> stencilBytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(*size));
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
