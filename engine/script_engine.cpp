#include "engine/script_engine.h"

#include <algorithm>
#include <map>
#include <unordered_map>
#include <utility>

#include "core/objects/base_object.h"
#include "core/objects/class_registry.h"
#include "core/text/text.h"

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

bool TScriptEngine::evaluateHandler(const WideString& source, const WideString& label) {
  // Handlers nest (a handler's call runs another object's handler).
  WideString outer = std::exchange(handlerLabel_, label);
  bool ok = evaluate(source);
  handlerLabel_ = std::move(outer);
  return ok;
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

// ---- handlers ---------------------------------------------------------------------------

namespace {
// The published text properties of a class whose names begin with "on": the
// places a handler's text can come from.
const std::vector<const PropInfo*>& HandlerProperties(const ClassInfo& cls) {
  static std::unordered_map<const ClassInfo*, std::vector<const PropInfo*>> byClass;
  auto [it, added] = byClass.try_emplace(&cls);
  if (added) {
    for (const PropInfo* prop : cls.properties()) {
      if (prop->kind() == TypeKind::WideText && prop->name.size() > 2 && SameTextAscii(prop->name.substr(0, 2), "on")) {
        it->second.push_back(prop);
      }
    }
  }
  return it->second;
}
}  // namespace

WideString HandlerLabel(TObject* object, const WideString& script, std::string_view handler) {
  if (!object) return WideString();
  // An automatic name (class and address) says less than the class alone.
  auto* node = dynamic_cast<BaseObject*>(object);
  const bool named = node && !node->name().empty() && !SameTextAsciiW(node->name(), node->autoName());
  WideString label = named ? node->name() : AnsiToWide(object->className());
  if (handler.empty()) {
    for (const PropInfo* prop : HandlerProperties(object->classInfo())) {
      if (GetWideStrProp(object, *prop) == script) {
        handler = prop->name;
        break;
      }
    }
  }
  if (!handler.empty()) label += u"." + AnsiToWide(handler);
  return label;
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

// ---- the script API -------------------------------------------------------------------

namespace {
std::vector<ScriptConstant> MakeScriptConstants() {
  std::vector<ScriptConstant> constants = {
      {u"VK_BACK", 8},          {u"VK_TAB", 9},         {u"VK_CLEAR", 12},      {u"VK_RETURN", 13},
      {u"VK_ENTER", 13},        {u"VK_SHIFT", 16},      {u"VK_CONTROL", 17},    {u"VK_MENU", 18},
      {u"VK_PAUSE", 19},        {u"VK_CAPITAL", 20},    {u"VK_KANA", 21},       {u"VK_HANGUL", 21},
      {u"VK_JUNJA", 23},        {u"VK_FINAL", 24},      {u"VK_HANJA", 25},      {u"VK_KANJI", 25},
      {u"VK_CONVERT", 28},      {u"VK_NONCONVERT", 29}, {u"VK_ACCEPT", 30},     {u"VK_MODECHANGE", 31},
      {u"VK_ESCAPE", 27},       {u"VK_SPACE", 32},      {u"VK_PRIOR", 33},      {u"VK_NEXT", 34},
      {u"VK_PAGEUP", 33},       {u"VK_PAGEDOWN", 34},   {u"VK_END", 35},        {u"VK_HOME", 36},
      {u"VK_LEFT", 37},         {u"VK_UP", 38},         {u"VK_RIGHT", 39},      {u"VK_DOWN", 40},
      {u"VK_SELECT", 41},       {u"VK_PRINT", 42},      {u"VK_EXECUTE", 43},    {u"VK_SNAPSHOT", 44},
      {u"VK_INSERT", 45},       {u"VK_DELETE", 46},     {u"VK_HELP", 47},       {u"VK_LWIN", 91},
      {u"VK_RWIN", 92},         {u"VK_APPS", 93},       {u"VK_SLEEP", 95},
  };
  for (int i = 0; i <= 9; ++i) constants.push_back({u"VK_NUMPAD" + AnsiToWide(std::to_string(i)), 96 + i});
  for (const ScriptConstant& c : std::initializer_list<ScriptConstant>{
           {u"VK_MULTIPLY", 106}, {u"VK_ADD", 107}, {u"VK_SEPARATOR", 108}, {u"VK_SUBTRACT", 109},
           {u"VK_DECIMAL", 110}, {u"VK_DIVIDE", 111}, {u"VK_F1", 112}, {u"VK_F2", 113}}) {
    constants.push_back(c);
  }
  // F3 is defined last, after the modal results.
  for (int f = 4; f <= 24; ++f) constants.push_back({u"VK_F" + AnsiToWide(std::to_string(f)), 111 + f});
  for (const ScriptConstant& c : std::initializer_list<ScriptConstant>{
           {u"VK_NUMLOCK", 144}, {u"VK_SCROLL", 145}, {u"MR_NONE", 0}, {u"MR_OK", 1}, {u"MR_YES", 2},
           {u"MR_NO", 3}, {u"MR_CANCEL", 4}, {u"VK_F3", 114}}) {
    constants.push_back(c);
  }
  return constants;
}

// The base classes of the tree and the GUI whose prototypes every applet
// builds first (those a later unit registers are found when registered).
constexpr const char* kBaseScriptClasses[] = {
    "BaseObject", "PositionObject", "Container", "VisualObject", "Dummy",     "Mission",  "GuiObject", "Button",
    "StaticText", "Image",          "Dropdown",  "ColorDropdown", "Edit",     "Form",     "ImageForm", "DebugForm",
};
}  // namespace

const std::vector<ScriptConstant>& ScriptConstants() {
  static const std::vector<ScriptConstant> constants = MakeScriptConstants();
  return constants;
}

void RegisterScriptNames(TScriptEngine& engine, const ScriptGlobals& globals) {
  for (const char* name : kBaseScriptClasses) {
    if (const ClassInfo* cls = GetClass(name)) engine.registerClass(*cls);
  }
  const std::pair<const char16_t*, TObject*> named[] = {
      {u"engine", globals.engine},
      {u"device", globals.device},
      {u"applet", globals.applet},
      {u"preferences", globals.preferences},
      {u"scoreTable", globals.scoreTable},
      {u"event", globals.event},
      {u"materials", globals.materials},
      {u"filter", globals.filter},
      {u"mostTop", globals.mostTop},
      {u"inspector", globals.inspector},
      {u"externalResMan", globals.externalResMan},
      {u"embeddedResMan", globals.embeddedResMan},
      {u"resMan", globals.resMan},
  };
  for (const auto& [name, object] : named) {
    if (object) engine.exportObject(name, AnsiToWide(object->className()), object);
  }
  for (const ScriptConstant& constant : ScriptConstants()) engine.defineConstant(constant.name, constant.value);
}

void RegisterScriptClasses(TScriptEngine& engine) {
  const ClassInfo& base = BaseObject::staticClassInfo();
  for (const ClassInfo* cls : std::vector<const ClassInfo*>(RegisteredClasses())) {
    if (cls->inheritsFrom(base)) engine.registerClass(*cls);
  }
}
