#pragma once
// Compiled scripts and their cache files. A ".jsbin" holds the library's
// serialised compiled script (its stencil, stamped with the build id of the
// library that wrote it) followed by this user's seal over the stencil and
// that build id (core/resources/user_seal.h). The library's decoder trusts its input,
// so a cache without a seal that opens, damaged, forged or shipped with a
// game, is never handed to it. Internal to engine/javascript/.
#include <jsapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include <js/experimental/JSStencil.h>

#include "engine/script_engine.h"

// A script the engine has run, kept alive for the handle that holds it.
class JsCompiledScript : public TCompiledScript {
 public:
  JsCompiledScript(JSContext* cx, JSScript* script) : script_(cx, script) {}
  JSScript* script() const { return script_; }

 private:
  JS::PersistentRooted<JSScript*> script_;
};

// The build id that compiled caches are tied to: the library's version.
const std::string& CompiledScriptBuildId();

// The bytes of a cache file for a compiled stencil; false when the library
// cannot serialise it.
bool EncodeCompiledScript(JSContext* cx, JS::Stencil* stencil, std::vector<uint8_t>& bytes);

// The stencil a cache file holds; nil (and no exception pending) when the
// file was not sealed by this user's runtime for this library build.
already_AddRefed<JS::Stencil> DecodeCompiledScript(JSContext* cx, const JS::ReadOnlyCompileOptions& options,
                                                   const std::vector<uint8_t>& bytes);
