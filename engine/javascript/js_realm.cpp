#include "engine/javascript/js_realm.h"

#include <algorithm>

#include <js/GlobalObject.h>
#include <js/Object.h>
#include <js/Realm.h>
#include <js/TracingAPI.h>

#include "core/system/log.h"
#include "engine/javascript/js_natives.h"
#include "engine/javascript/js_report.h"
#include "engine/javascript/js_runtime.h"

namespace {
// Member script objects nest as deep as scripts walk sub-object properties;
// past this depth a walk such as `x = x.next` in a loop gets undefined
// instead of an ever longer chain.
constexpr int kMaxMemberDepth = 16;

int DepthOf(const WrapperEntry& entry) {
  int depth = 0;
  for (const WrapperEntry* e = entry.holder; e; e = e->holder) ++depth;
  return depth;
}
}  // namespace

// ---- the realm ------------------------------------------------------------------------

std::unique_ptr<JsRealm> JsRealm::create(TJavaScriptEngine& engine, JSContext* cx) {
  std::unique_ptr<JsRealm> realm(new JsRealm(engine, cx));
  if (!realm->makeGlobal()) return nullptr;
  return realm;
}

JsRealm::JsRealm(TJavaScriptEngine& engine, JSContext* cx) : engine_(engine), cx_(cx), global_(cx) {}

bool JsRealm::makeGlobal() {
  JS::RealmOptions options;
  JSObject* global = JS_NewGlobalObject(cx_, &kGlobalClass, nullptr, JS::FireOnNewGlobalHook, options);
  if (!global) {
    JS_ClearPendingException(cx_);
    return false;
  }
  global_ = global;
  JSAutoRealm inRealm(cx_, global_);
  // The standard classes (Math, Date, JSON, Intl...) are made when a script
  // first names one: the global's class resolves them, as most games use few.
  JS::SetRealmPrivate(JS::GetObjectRealmOrNull(global_), this);
  if (!JS_AddExtraGCRootsTracer(cx_, &JsRealm::trace, this)) return false;
  tracing_ = true;
  ThreadRealms().push_back(this);
  return true;
}

JsRealm::~JsRealm() {
  auto& realms = ThreadRealms();
  realms.erase(std::remove(realms.begin(), realms.end(), this), realms.end());
  // Script objects may outlive the realm until the next collection; none of
  // them may still point into the program.
  for (auto& [object, entry] : wrappers_) cutLoose(*entry);
  wrappers_.clear();
  classes_.clear();
  if (tracing_) JS_RemoveExtraGCRootsTracer(cx_, &JsRealm::trace, this);
  if (global_) JS::SetRealmPrivate(JS::GetObjectRealmOrNull(global_), nullptr);
}

JsRealm* JsRealm::current(JSContext* cx) {
  JS::Realm* realm = JS::GetCurrentRealmOrNull(cx);
  return realm ? static_cast<JsRealm*>(JS::GetRealmPrivate(realm)) : nullptr;
}

void JsRealm::trace(JSTracer* trc, void* data) {
  auto* realm = static_cast<JsRealm*>(data);
  for (auto& [cls, binding] : realm->classes_) {
    JS::TraceEdge(trc, &binding->prototype, "class prototype");
    JS::TraceEdge(trc, &binding->constructor, "class constructor");
  }
  for (auto& [object, entry] : realm->wrappers_) traceEntry(trc, *entry);
}

void JsRealm::traceEntry(JSTracer* trc, WrapperEntry& entry) {
  JS::TraceEdge(trc, &entry.object, "program object");
  for (auto& [prop, member] : entry.members) traceEntry(trc, *member);
}

// ---- classes ------------------------------------------------------------------------------

MethodBinding::MethodBinding(const MethodInfo& method, const ClassInfo& declaring, JsRealm& realm)
    : method(&method), declaring(&declaring), realm(&realm), paramCount(method.params.size()) {
  for (size_t i = 0; i < paramCount; ++i) {
    if (method.params[i].kind != TypeKind::Variant) requiredCount = i + 1;
  }
}

const ClassBinding* JsRealm::findBinding(const ClassInfo& cls) const {
  auto it = classes_.find(&cls);
  return it == classes_.end() ? nullptr : it->second.get();
}

void JsRealm::exposeClass(const ClassInfo& cls) {
  exposed_.emplace(cls.name(), &cls);
  NoteExposedClassName(cls.name());
}

const ClassInfo* JsRealm::exposedClass(std::string_view name) const {
  auto it = exposed_.find(name);
  return it == exposed_.end() ? nullptr : it->second;
}

std::vector<const ClassInfo*> JsRealm::unboundExposedClasses() const {
  std::vector<const ClassInfo*> unbound;
  for (const auto& [name, cls] : exposed_) {
    if (!classes_.count(cls)) unbound.push_back(cls);
  }
  return unbound;
}

ClassBinding* JsRealm::bindClass(const ClassInfo& cls) {
  auto it = classes_.find(&cls);
  if (it != classes_.end()) return it->second.get();

  // A class is made whole or not at all, so a class that could not be made
  // (the script heap is full) is made afresh on its next use.
  JSAutoRealm inRealm(cx_, global_);
  binding_.push_back(&cls);
  struct Done {
    std::vector<const ClassInfo*>& binding;
    ~Done() { binding.pop_back(); }
  } done{binding_};
  const WideString className = AnsiToWide(cls.name());
  JS::RootedObject prototype(cx_, JS_NewObject(cx_, &kPrototypeClass));
  if (!prototype) {
    BindingFailure::report(cx_, u"Can't export class " + className);
    return nullptr;
  }
  JS_SetReservedSlot(prototype, 0, JS::PrivateValue(const_cast<ClassInfo*>(&cls)));

  // Every published method of the class and its ancestors; a descendant's
  // method hides an ancestor's of the same name.
  auto binding = std::make_unique<ClassBinding>();
  binding->cls = &cls;
  for (const ClassInfo* c = &cls; c; c = c->parent()) {
    for (const MethodInfo& method : c->ownMethods()) {
      bool hidden = std::any_of(binding->methods.begin(), binding->methods.end(),
                                [&](const auto& m) { return m->method->name == method.name; });
      if (hidden) continue;
      binding->methods.push_back(std::make_unique<MethodBinding>(method, *c, *this));
      if (!DefinePublishedMethod(cx_, prototype, *binding->methods.back())) {
        BindingFailure::report(cx_, u"Can't export method " + AnsiToWide(method.name) + u" of " + className);
        return nullptr;
      }
    }
  }

  JS::RootedObject constructor(cx_, NewClassConstructor(cx_, cls));
  if (!constructor || !JS_LinkConstructorAndPrototype(cx_, constructor, prototype) ||
      !JS_DefineProperty(cx_, global_, cls.name().c_str(), constructor, 0)) {
    BindingFailure::report(cx_, u"Can't export class " + className);
    return nullptr;
  }

  binding->prototype = prototype;
  binding->constructor = constructor;
  ClassBinding* result = binding.get();
  classes_.emplace(&cls, std::move(binding));
  return result;
}

// ---- script objects of program objects ------------------------------------------------------

WrapperEntry* JsRealm::entryOf(TObject* object) const {
  auto it = wrappers_.find(object);
  return it == wrappers_.end() ? nullptr : it->second.get();
}

JSObject* JsRealm::newInstance(const ClassInfo& cls, WrapperEntry& entry) {
  ClassBinding* binding = bindClass(cls);
  if (!binding) return nullptr;
  JSAutoRealm inRealm(cx_, global_);
  JS::RootedObject prototype(cx_, binding->prototype);
  JSObject* instance = JS_NewObjectWithGivenProto(cx_, &kInstanceClass, prototype);
  if (!instance) return nullptr;
  JS_SetReservedSlot(instance, 0, JS::PrivateValue(&entry));
  entry.object = instance;
  return instance;
}

JSObject* JsRealm::wrap(TObject* object) {
  if (!object) return nullptr;
  if (WrapperEntry* existing = entryOf(object)) return existing->object;
  auto entry = std::make_unique<WrapperEntry>();
  entry->native = object;
  entry->nativeClass = &object->classInfo();
  JSObject* instance = newInstance(object->classInfo(), *entry);
  if (!instance) return nullptr;
  wrappers_.emplace(object, std::move(entry));
  return instance;
}

JSObject* JsRealm::wrapMember(WrapperEntry& holder, const PropInfo& prop, TObject* value) {
  auto it = holder.members.find(&prop);
  if (it != holder.members.end()) return it->second->object;
  if (!value || DepthOf(holder) >= kMaxMemberDepth) return nullptr;
  auto entry = std::make_unique<WrapperEntry>();
  entry->holder = &holder;
  entry->prop = &prop;
  JSObject* instance = newInstance(value->classInfo(), *entry);
  if (!instance) {
    BindingFailure::report(cx_, u"Can't export property " + AnsiToWide(prop.name));
    return nullptr;
  }
  holder.members.emplace(&prop, std::move(entry));
  return instance;
}

void JsRealm::detach(TObject* object) {
  auto it = wrappers_.find(object);
  if (it == wrappers_.end()) return;
  std::unique_ptr<WrapperEntry> entry = std::move(it->second);
  wrappers_.erase(it);
  cutLoose(*entry);
}

void JsRealm::cutLoose(WrapperEntry& entry) {
  if (JSObject* instance = entry.object) JS_SetReservedSlot(instance, 0, JS::UndefinedValue());
  for (auto& [prop, member] : entry.members) cutLoose(*member);
}

// ---- from script objects to program objects -------------------------------------------------

TObject* NativeOfEntry(const WrapperEntry& entry) {
  if (!entry.holder) return entry.native;
  TObject* holder = NativeOfEntry(*entry.holder);
  if (!holder || !entry.prop->declaredBy || !holder->classInfo().inheritsFrom(*entry.prop->declaredBy)) {
    return nullptr;
  }
  return GetObjectProp(holder, *entry.prop);
}

TObject* NativeOfValue(const JS::Value& value) {
  if (!value.isObject()) return nullptr;
  WrapperEntry* entry = EntryOfInstance(&value.toObject());
  return entry ? NativeOfEntry(*entry) : nullptr;
}
