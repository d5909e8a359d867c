#pragma once
// Handler texts compiled once. A handler (`onTick` of an object) runs the
// same text frame after frame: its compiled script is kept under the
// handler's name and compiled again only when the text under that name
// changes. Scripts keep the name they were compiled with, so errors raised
// while they run give the same file name and positions as a fresh compile.
// Internal to engine/javascript/.
#include <jsapi.h>

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "core/text/text.h"

class JsHandlerScripts {
 public:
  // The script of `text` run under `label` (the options carry that label as
  // the file name). Nil, with the library's exception pending, when the text
  // does not compile; a text that failed is compiled again the next time.
  JSScript* scriptFor(JSContext* cx, const JS::ReadOnlyCompileOptions& options, const WideString& label,
                      const WideString& text);
  // How many texts were compiled, failures included.
  uint64_t compileCount() const { return compileCount_; }

 private:
  struct Entry {
    WideString text;
    std::unique_ptr<JS::PersistentRooted<JSScript*>> script;
  };
  std::unordered_map<WideString, Entry> byLabel_;
  uint64_t compileCount_ = 0;
};
