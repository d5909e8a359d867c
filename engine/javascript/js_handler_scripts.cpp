#include "engine/javascript/js_handler_scripts.h"

#include <js/CompilationAndEvaluation.h>
#include <js/SourceText.h>

namespace {
// Past this many handler names (objects made and freed by the thousand, each
// with its own name) the kept scripts start afresh, so memory stays bounded.
constexpr size_t kMostKeptHandlers = 4096;
}  // namespace

JSScript* JsHandlerScripts::scriptFor(JSContext* cx, const JS::ReadOnlyCompileOptions& options,
                                      const WideString& label, const WideString& text) {
  auto found = byLabel_.find(label);
  if (found != byLabel_.end() && found->second.script && found->second.text == text) return *found->second.script;

  ++compileCount_;
  JS::SourceText<char16_t> source;
  if (!source.init(cx, text.data(), text.size(), JS::SourceOwnership::Borrowed)) return nullptr;
  JS::RootedScript script(cx, JS::Compile(cx, options, source));
  if (!script) {
    if (found != byLabel_.end()) byLabel_.erase(found);
    return nullptr;
  }
  if (found == byLabel_.end()) {
    if (byLabel_.size() >= kMostKeptHandlers) byLabel_.clear();
    found = byLabel_.try_emplace(label).first;
  }
  found->second.text = text;
  found->second.script = std::make_unique<JS::PersistentRooted<JSScript*>>(cx, script);
  return script;
}
