#include "engine/script_engine.h"

#include <algorithm>
#include <map>

#include "core/text.h"

const ClassInfo& TScript::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TScript>("TScript").build();
  return info;
}

const ClassInfo& TScriptEngine::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TScriptEngine>("TScriptEngine").build();
  return info;
}

// ---- scripts --------------------------------------------------------------------

void TScript::Destroy() {
  compiled_.reset();
  if (engine_) engine_->forgetScript(this);
  engine_ = nullptr;
  inherited::Destroy();
}

// ---- engines ------------------------------------------------------------------------

void TScriptEngine::Create(TObject* owner) { inherited::Create(owner); }

void TScriptEngine::Destroy() {
  releaseScripts();
  inherited::Destroy();
}

void TScriptEngine::releaseScripts() {
  // The applet frees its cache before its engine, and the cache leaves the
  // scripts to the engine: the engine frees whatever it still holds.
  while (!scripts_.empty()) scripts_.back()->Free();
}

TScript* TScriptEngine::newScript(const WideString& name, std::unique_ptr<TCompiledScript> compiled) {
  auto* script = New<TScript>(nullptr);
  script->engine_ = this;
  script->setName(name);
  script->setCompiled(std::move(compiled));
  scripts_.push_back(script);
  return script;
}

void TScriptEngine::forgetScript(TScript* script) {
  scripts_.erase(std::remove(scripts_.begin(), scripts_.end(), script), scripts_.end());
}

// ---- engines by extension --------------------------------------------------------------

namespace {
std::map<std::string, const ClassInfo*>& EnginesByExtension() {
  static std::map<std::string, const ClassInfo*> engines;
  return engines;
}

const ClassInfo*& DefaultEngineClass() {
  static const ClassInfo* engineClass = nullptr;
  return engineClass;
}
}  // namespace

void RegisterScriptEngine(std::string_view extension, const ClassInfo& engineClass) {
  EnginesByExtension()[LowerCaseAscii(extension)] = &engineClass;
}

const ClassInfo* ScriptEngineClassFor(std::string_view extension) {
  auto& engines = EnginesByExtension();
  auto it = engines.find(LowerCaseAscii(extension));
  return it == engines.end() ? nullptr : it->second;
}

const ClassInfo* DefaultScriptEngineClass() { return DefaultEngineClass(); }

void SetDefaultScriptEngineClass(const ClassInfo* engineClass) { DefaultEngineClass() = engineClass; }

TScriptEngine* CreateScriptEngine(const ClassInfo& engineClass, TObject* owner) {
  if (!engineClass.inheritsFrom(TScriptEngine::staticClassInfo())) return nullptr;
  return static_cast<TScriptEngine*>(engineClass.create(owner));
}
