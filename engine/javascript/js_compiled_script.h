#pragma once
// Compiled scripts and their cache files. A ".jsbin" holds the library's
// serialised compiled script (its stencil, stamped with the build id of the
// library that wrote it) followed by an eight-byte check: the byte count of
// the stencil and its CRC-32, both little-endian. A damaged file fails the
// check and is never handed to the library, whose decoder trusts its input.
// Internal to engine/javascript/.
#include <jsapi.h>

#include <cstdint>
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

// The bytes of a cache file for a compiled stencil; false when the library
// cannot serialise it.
bool EncodeCompiledScript(JSContext* cx, JS::Stencil* stencil, std::vector<uint8_t>& bytes);

// The stencil a cache file holds; nil (and no exception pending) when the
// file is damaged or was written by another library build.
already_AddRefed<JS::Stencil> DecodeCompiledScript(JSContext* cx, const JS::ReadOnlyCompileOptions& options,
                                                   const std::vector<uint8_t>& bytes);
