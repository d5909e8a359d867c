#include "engine/javascript/javascript_engine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include <js/CompilationAndEvaluation.h>
#include <js/GCAPI.h>
#include <js/PropertyAndElement.h>
#include <js/SourceText.h>
#include <jsfriendapi.h>

#include "core/objects/base_object.h"
#include "core/objects/engine.h"
#include "core/objects/script_watch.h"
#include "core/resources/resource_man.h"
#include "core/streams/object_file.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "engine/javascript/js_compiled_script.h"
#include "engine/javascript/js_handler_scripts.h"
#include "engine/javascript/js_realm.h"
#include "engine/javascript/js_report.h"
#include "engine/javascript/js_runtime.h"
#include "engine/javascript/js_values.h"

const ClassInfo& TJavaScriptEngine::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TJavaScriptEngine>("TJavaScriptEngine").build();
  return info;
}

// Counts the engine's scripts on the stack; the outermost one to return frees
// an engine whose Free came while they ran.
class TJavaScriptEngine::RunScope {
 public:
  explicit RunScope(TJavaScriptEngine& engine) : engine_(engine), failures_(!ScriptRunActive()) {
    ++engine_.running_;
  }
  ~RunScope() {
    // A script stopped for memory leaves its garbage: collect it now.
    if (watched_.outermost() && TakeScriptMemoryStop() && engine_.realm_) {
      JS::NonIncrementalGC(engine_.realm_->cx(), JS::GCOptions::Shrink, JS::GCReason::API);
    }
    if (--engine_.running_ == 0 && engine_.freeDeferred_) {
      engine_.freeDeferred_ = false;
      engine_.Free();
    }
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;
  bool outermost() const { return engine_.running_ == 1; }

 private:
  TJavaScriptEngine& engine_;
  BindingFailureFrame failures_;  // before the watch, which it asks
  ScriptRunScope watched_;        // the watch over long runs and memory
};

namespace {
// Script files larger than this are not read.
constexpr int64_t kLargestScriptFile = 64 << 20;
// Handler text counts its lines from 0, script files from 1.
constexpr unsigned kFirstHandlerLine = 0;
constexpr unsigned kFirstFileLine = 1;
// Texts kept for the source lines of error reports; past this many names
// (objects made and freed by the thousand) the memory starts afresh.
constexpr size_t kMostRememberedSources = 4096;

bool StreamExists(TResourceMan* manager, const WideString& name) {
  try {
    return manager->streamExists(name);
  } catch (const std::exception&) {
    return false;
  }
}

bool ReadWholeStream(TResourceMan* manager, const WideString& name, std::vector<uint8_t>& bytes) {
  TStream* stream = nullptr;
  try {
    stream = manager->createStream(name, fmOpenRead);
  } catch (const std::exception&) {
    return false;
  }
  if (!stream) return false;
  int64_t size = stream->Remaining();
  bool ok = size >= 0 && size <= kLargestScriptFile;
  if (ok) {
    bytes.resize(static_cast<size_t>(size));
    ok = stream->ReadExact(bytes.data(), size);
  }
  stream->Free();
  return ok;
}

bool WriteWholeStream(TResourceMan* manager, const WideString& name, const std::vector<uint8_t>& bytes) {
  TStream* stream = nullptr;
  try {
    stream = manager->createStream(name, fmCreate);
  } catch (const std::exception&) {
    return false;
  }
  if (!stream) return false;
  bool ok = stream->Write(bytes.data(), static_cast<int64_t>(bytes.size())) == static_cast<int64_t>(bytes.size());
  stream->Free();
  return ok;
}

// Script text is UTF-8 when it reads as UTF-8 (a byte-order mark is dropped),
// else text in the system code page.
WideString ScriptText(const std::vector<uint8_t>& bytes) {
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.starts_with("\xEF\xBB\xBF")) return Utf8ToWide(text.substr(3));
  return IsValidUtf8(text) ? Utf8ToWide(text) : AnsiToWide(text);
}

// Compiles the ".js" and writes its ".jsbin" beside it when the manager can
// create that file.
already_AddRefed<JS::Stencil> CompileScriptFile(JSContext* cx, const JS::CompileOptions& options,
                                                TResourceMan* manager, const WideString& sourceName,
                                                const WideString& cacheName, WideString& text) {
  std::vector<uint8_t> bytes;
  JS::SourceText<char16_t> source;
  bool readable = ReadWholeStream(manager, sourceName, bytes);
  if (readable) text = ScriptText(bytes);
  RefPtr<JS::Stencil> stencil;
  if (readable && source.init(cx, text.data(), text.size(), JS::SourceOwnership::Borrowed)) {
    stencil = JS::CompileGlobalScriptToStencil(cx, options, source);
  }
  if (!stencil) {
    ReportPendingJsException(cx, sourceName);
    LogError(u"Can't compile " + sourceName + u" script");
    return nullptr;
  }
  LogInfo(sourceName + u" was compiled successful");
  std::vector<uint8_t> compiled;
  if (!EncodeCompiledScript(cx, stencil, compiled)) {
    LogInfo(u"The compiled script code may be corrupted; unable to save it to disk.");
  } else {
    WriteWholeStream(manager, cacheName, compiled);
  }
  return stencil.forget();
}

WideString IdentityText(const void* object) {
  return AnsiToWide(std::to_string(reinterpret_cast<intptr_t>(object)));
}

// A failure the program met outside any script has its line; no script is
// there to stop. Inside one, the native that called the program stops it.
void SettleOutsideScripts() {
  if (!ScriptRunActive()) BindingFailure::settle();
}
}  // namespace

// ---- life --------------------------------------------------------------------------------

TJavaScriptEngine::TJavaScriptEngine() = default;
TJavaScriptEngine::~TJavaScriptEngine() = default;

void TJavaScriptEngine::Create(TObject* owner) {
  inherited::Create(owner);
  LogInfo(u"Mozzila Spider Monkey scripting engine started " + AnsiToWide(className()));
  JSContext* cx = AcquireJsContext();
  if (!cx) {
    LogError(u"Can't start the JavaScript library");
    return;
  }
  holdsContext_ = true;
  realm_ = JsRealm::create(*this, cx);
  handlerScripts_ = std::make_unique<JsHandlerScripts>();
  if (!realm_) LogError(u"Can't create the JavaScript global object");
}

void TJavaScriptEngine::Destroy() {
  // Compiled scripts and script objects go while the context still lives.
  releaseScripts();
  handlerScripts_.reset();
  realm_.reset();
  if (holdsContext_) ReleaseJsContext();
  holdsContext_ = false;
  LogInfo(u"Mozzila Spider Monkey scripting engine finished " + AnsiToWide(className()));
  inherited::Destroy();
}

bool TJavaScriptEngine::deferFree() {
  if (running_ == 0) return false;
  freeDeferred_ = true;
  return true;
}

// ---- running scripts --------------------------------------------------------------------------

bool TJavaScriptEngine::evaluate(const WideString& source) {
  if (!realm_) return false;
  RunScope scope(*this);
  JSContext* cx = realm_->cx();
  JSAutoRealm inRealm(cx, realm_->global());
  // Errors name the handler that runs, never a script file loaded before it;
  // functions the text defines keep that name for errors raised later.
  const WideString& label = handlerLabel();
  rememberSource(label, source, kFirstHandlerLine);
  std::string fileName = WideToUtf8(label);
  JS::CompileOptions options(cx);
  options.setFileAndLine(fileName.c_str(), kFirstHandlerLine);
  // Compiled once per handler text, not on every run.
  JS::RootedScript script(cx, handlerScripts_->scriptFor(cx, options, label, source));
  JS::RootedValue result(cx);
  bool ok = script && JS_ExecuteScript(cx, script, &result);
  if (!ok) ReportPendingJsException(cx, label);
  if (scope.outermost()) js::RunJobs(cx);
  return ok;
}

TScript* TJavaScriptEngine::loadScript(TResourceMan* manager, const WideString& name) {
  if (!realm_ || !manager) return nullptr;
  WideString base = StripExtensionW(name);
  WideString sourceName = base + u".js";
  WideString cacheName = base + u".jsbin";
  bool haveSource = StreamExists(manager, sourceName);
  bool haveCache = StreamExists(manager, cacheName);
  if (!haveSource && !haveCache) return nullptr;

  RunScope scope(*this);
  JSContext* cx = realm_->cx();
  JSAutoRealm inRealm(cx, realm_->global());
  currentScriptFile_ = sourceName;
  std::string fileName = WideToUtf8(sourceName);
  JS::CompileOptions options(cx);
  options.setFileAndLine(fileName.c_str(), kFirstFileLine);

  RefPtr<JS::Stencil> stencil;
  bool compile = haveSource && (!haveCache || IsCacheOutdated(manager, sourceName, cacheName));
  if (!compile) {
    // A cache that is damaged or from another library build is ignored and
    // the source compiled again.
    std::vector<uint8_t> bytes;
    if (ReadWholeStream(manager, cacheName, bytes)) stencil = DecodeCompiledScript(cx, options, bytes);
    if (!stencil && !haveSource) {
      LogError(u"Can't load compiled script " + cacheName);
      return nullptr;
    }
    compile = !stencil;
  }
  if (compile) {
    WideString text;
    stencil = CompileScriptFile(cx, options, manager, sourceName, cacheName, text);
    rememberSource(sourceName, text, kFirstFileLine);
  }
  if (!stencil) return nullptr;

  JS::InstantiateOptions instantiateOptions(options);
  JS::RootedScript script(cx, JS::InstantiateGlobalStencil(cx, instantiateOptions, stencil));
  if (!script || !JS_ExecuteScript(cx, script)) {
    ReportPendingJsException(cx, sourceName);
    LogError(u"Can't execute script " + sourceName);
    return nullptr;
  }
  if (scope.outermost()) js::RunJobs(cx);
  return newScript(sourceName, std::make_unique<JsCompiledScript>(cx, script));
}

void TJavaScriptEngine::rememberSource(const WideString& name, const WideString& text, unsigned firstLine) {
  if (name.empty()) return;
  auto it = sources_.find(name);
  if (it != sources_.end()) {
    // Most handlers run the same text every time: compared, not copied.
    if (it->second.text != text) it->second = Source{text, firstLine};
    return;
  }
  if (sources_.size() >= kMostRememberedSources) sources_.clear();
  sources_.emplace(name, Source{text, firstLine});
}

uint64_t TJavaScriptEngine::handlerCompileCount() const {
  return handlerScripts_ ? handlerScripts_->compileCount() : 0;
}

WideString TJavaScriptEngine::sourceLine(const WideString& name, unsigned line) const {
  auto it = sources_.find(name);
  if (it == sources_.end() || line < it->second.firstLine) return WideString();
  std::u16string_view text = it->second.text;
  for (unsigned n = it->second.firstLine; n < line; ++n) {
    const size_t end = text.find(u'\n');
    if (end == std::u16string_view::npos) return WideString();
    text.remove_prefix(end + 1);
  }
  text = text.substr(0, text.find(u'\n'));
  if (!text.empty() && text.back() == u'\r') text.remove_suffix(1);
  return WideString(text);
}

void TJavaScriptEngine::freeScript(TScript* script) {
  if (script) script->Free();
}

// ---- what scripts see ------------------------------------------------------------------------------

void TJavaScriptEngine::registerClass(const ClassInfo& cls) {
  if (realm_) realm_->exposeClass(cls);
}

void TJavaScriptEngine::exportObject(const WideString& name, const WideString& className, TObject* object) {
  if (!object || !realm_) return;
  JSContext* cx = realm_->cx();
  JSAutoRealm inRealm(cx, realm_->global());
  WideString globalName = name;
  if (globalName.empty()) {
    WideString cls = className.empty() ? AnsiToWide(object->className()) : className;
    globalName = LowerCaseAsciiW(cls) + IdentityText(object);
  }
  // Whatever fails (the script heap is full, as a rule) is reported once, and
  // a script that made the object stops.
  struct Settle {
    ~Settle() { SettleOutsideScripts(); }
  } settle;
  auto fail = [&] { BindingFailure::report(cx, u"Can't export object " + globalName); };
  JSObject* instance = realm_->wrap(object);
  WrapperEntry* entry = realm_->entryOf(object);
  if (!instance || !entry) return fail();
  JS::RootedObject global(cx, realm_->global());
  JS::RootedValue value(cx, JS::ObjectValue(*instance));
  bool present = false;
  if (!JS_AlreadyHasOwnUCProperty(cx, global, globalName.data(), globalName.size(), &present)) return fail();
  bool ok;
  if (present) {
    // The name now stands for this object; the object it stood for keeps its
    // script object (scripts may still hold it) but no longer this global.
    JS::RootedValue previous(cx);
    if (JS_GetUCProperty(cx, global, globalName.data(), globalName.size(), &previous) && previous.isObject()) {
      WrapperEntry* old = EntryOfInstance(&previous.toObject());
      if (old && old != entry) exportedCount_ -= static_cast<int>(std::erase(old->globals, globalName));
    }
    ok = JS_SetUCProperty(cx, global, globalName.data(), globalName.size(), value);
  } else {
    ok = JS_DefineUCProperty(cx, global, globalName.data(), globalName.size(), value, JSPROP_ENUMERATE);
  }
  if (!ok) return fail();
  // The count is of the names that stand for program objects: exporting an
  // object again under a name it already has adds nothing.
  if (std::find(entry->globals.begin(), entry->globals.end(), globalName) == entry->globals.end()) {
    entry->globals.push_back(globalName);
    ++exportedCount_;
  }
}

void TJavaScriptEngine::deleteGlobalsOf(WrapperEntry& entry) {
  JSContext* cx = realm_->cx();
  JSAutoRealm inRealm(cx, realm_->global());
  JS::RootedObject global(cx, realm_->global());
  // Every name the entry held stops counting; a global that a script has
  // since pointed elsewhere is left alone.
  for (const WideString& name : entry.globals) {
    --exportedCount_;
    // Unread (the script heap is full): the global may stay behind; a line says so.
    JS::RootedValue current(cx);
    if (!JS_GetUCProperty(cx, global, name.data(), name.size(), &current)) {
      JS_ClearPendingException(cx);
      LogError(u"Object can't deleted " + name);
      continue;
    }
    if (!current.isObject() || &current.toObject() != entry.object.get()) continue;
    JS::ObjectOpResult result;
    if (!JS_DeleteUCProperty(cx, global, name.data(), name.size(), result) || !result.ok()) {
      JS_ClearPendingException(cx);
      LogError(u"Object can't deleted " + name);
    }
  }
  entry.globals.clear();
}

void TJavaScriptEngine::removeObject(TObject* object) {
  if (!object) return;
  // The object is going away: every engine of the thread that knows it lets it go.
  for (JsRealm* realm : std::vector<JsRealm*>(ThreadRealms())) {
    WrapperEntry* entry = realm->entryOf(object);
    if (!entry) continue;
    realm->engine().deleteGlobalsOf(*entry);
    realm->detach(object);
  }
}

void TJavaScriptEngine::defineConstant(const WideString& name, int32_t value) {
  if (name.empty() || !realm_) return;
  JSContext* cx = realm_->cx();
  JSAutoRealm inRealm(cx, realm_->global());
  JS::RootedObject global(cx, realm_->global());
  JS::RootedValue number(cx, JS::Int32Value(value));
  if (!JS_DefineUCProperty(cx, global, name.data(), name.size(), number, JSPROP_ENUMERATE)) {
    BindingFailure::report(cx, u"Can't define constant " + name);
    SettleOutsideScripts();
  }
}

Variant TJavaScriptEngine::getGlobal(const WideString& name) {
  if (!realm_) return Variant();
  JSContext* cx = realm_->cx();
  JSAutoRealm inRealm(cx, realm_->global());
  JS::RootedObject global(cx, realm_->global());
  JS::RootedValue value(cx);
  Variant result;
  if (!JS_GetUCProperty(cx, global, name.data(), name.size(), &value) || !JsValueToVariant(cx, value, result)) {
    JS_ClearPendingException(cx);
    return Variant();
  }
  return result;
}

bool TJavaScriptEngine::hasScriptObject(TObject* object) const { return realm_ && realm_->entryOf(object); }

size_t TJavaScriptEngine::heapBytes() const { return realm_ ? JS_GetGCParameter(realm_->cx(), JSGC_BYTES) : 0; }

void TJavaScriptEngine::setHeapLimitForTest(size_t bytes) {
  if (!realm_) return;
  const size_t limit = bytes ? bytes : JS::DefaultHeapMaxBytes;
  JS_SetGCParameter(realm_->cx(), JSGC_MAX_BYTES, static_cast<uint32_t>(std::min<size_t>(limit, UINT32_MAX)));
}

size_t TJavaScriptEngine::wrapperCount() const { return realm_ ? realm_->wrapperCount() : 0; }

void TJavaScriptEngine::collectGarbage() {
  if (!realm_) return;
  auto start = std::chrono::steady_clock::now();
  // A shrinking collection also compacts the heap, so the memory of a level
  // left behind goes back.
  JS::PrepareForFullGC(realm_->cx());
  JS::NonIncrementalGC(realm_->cx(), JS::GCOptions::Shrink, JS::GCReason::API);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (const DebugValueSink& sink = debugValueSink()) {
    char elapsed[48];
    std::snprintf(elapsed, sizeof elapsed, "%8.6f", seconds);
    sink(u"JS GC:", AnsiToWide(elapsed));
    sink(u"JS Objects:", AnsiToWide(std::to_string(exportedCount_)));
  }
}

// ---- objects made by scripts ---------------------------------------------------------------------

BaseObject* TJavaScriptEngine::createScriptObject(const ClassInfo& cls, BaseObject* parent,
                                                  const WideString* fileName) {
  const ClassInfo& base = BaseObject::staticClassInfo();
  // The engine root is one per run: a second one would take the program's place.
  if (!cls.inheritsFrom(base) || cls.inheritsFrom(SomeEngine::staticClassInfo()) || (!fileName && cls.isAbstract())) {
    LogError(u"Create invalide object " + AnsiToWide(cls.name()));
    return nullptr;
  }
  if (!parent && owner() && owner()->inheritsFrom(base)) parent = static_cast<BaseObject*>(owner());
  // The object-file rule of every other factory: absolute names through the
  // engine's external manager, the result marked external.
  if (fileName) return NewObjectFromFile(*fileName, parent, true, nullptr);
  auto* created = static_cast<BaseObject*>(cls.create(parent));
  if (created) created->setComponentStyle(csExternal);
  return created;
}

// ---- registration ----------------------------------------------------------------------------------

void RegisterJavaScriptEngine() {
  RegisterScriptEngine(".js", TJavaScriptEngine::staticClassInfo());
  SetDefaultScriptEngineClass(&TJavaScriptEngine::staticClassInfo());
}
