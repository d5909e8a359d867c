#include "engine/javascript/js_natives.h"

#include <exception>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include <js/Object.h>
#include <js/PropertyAndElement.h>
#include <jsfriendapi.h>

#include "core/objects/base_object.h"
#include "core/system/log.h"
#include "core/text/exceptions.h"
#include "engine/javascript/javascript_engine.h"
#include "engine/javascript/js_realm.h"
#include "engine/javascript/js_report.h"
#include "engine/javascript/js_values.h"

namespace {

// No C++ exception may cross the library's frames: a native reports it as a
// script error instead, which the script may catch.
template <typename Body>
bool Guarded(JSContext* cx, Body&& body) {
  try {
    return body();
  } catch (const std::exception& e) {
    JS_ReportErrorUTF8(cx, "%s", e.what());
  } catch (...) {
    JS_ReportErrorASCII(cx, "unknown error");
  }
  return false;
}

template <typename T>
const T* ReservedPointer(JSObject* function, size_t slot) {
  return static_cast<const T*>(js::GetFunctionNativeReserved(function, slot).toPrivate());
}

[[gnu::noinline]] TObject* LiveMemberTarget(const WrapperEntry& entry, const ClassInfo* cls) {
  TObject* object = NativeOfEntry(entry);
  if (!object || (cls && !object->classInfo().inheritsFrom(*cls))) return nullptr;
  return object;
}

// The live program object behind `self` when it is of (or descends from) the
// class; nil for any other object, and for one whose program object is gone.
// Inline: it is most of what a call of a published method does.
[[gnu::always_inline]] inline TObject* LiveTarget(JSObject* self, const ClassInfo* cls) {
  WrapperEntry* entry = EntryOfInstance(self);
  if (!entry) return nullptr;
  if (entry->nativeClass) {  // a direct entry: its object and class are known
    return !cls || entry->nativeClass->inheritsFrom(*cls) ? entry->native : nullptr;
  }
  return LiveMemberTarget(*entry, cls);
}

// ---- property accessors ---------------------------------------------------------------

bool GetPublished(JSContext* cx, unsigned argc, JS::Value* vp) {
  JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
  const auto* prop = ReservedPointer<PropInfo>(&args.callee(), 0);
  JsRealm* realm = JsRealm::current(cx);
  JS::RootedObject self(cx, args.thisv().isObject() ? &args.thisv().toObject() : nullptr);
  args.rval().setUndefined();
  if (!realm || !self) return true;
  bool ok = Guarded(cx, [&] {
    TObject* object = LiveTarget(self, prop->declaredBy);
    return !object || ReadPublishedProperty(cx, *realm, self, object, *prop, args.rval());
  });
  return BindingFailure::endNative(cx, ok, [&] { return u"Can't read property " + AnsiToWide(prop->name); });
}

bool SetPublished(JSContext* cx, unsigned argc, JS::Value* vp) {
  JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
  const auto* prop = ReservedPointer<PropInfo>(&args.callee(), 0);
  JS::RootedObject self(cx, args.thisv().isObject() ? &args.thisv().toObject() : nullptr);
  JS::RootedValue value(cx, args.get(0));
  args.rval().setUndefined();
  if (!self) return true;
  // Without a program object (a prototype, or an object that is gone) the
  // write is accepted and has no effect.
  bool ok = Guarded(cx, [&] {
    TObject* object = LiveTarget(self, prop->declaredBy);
    return !object || WritePublishedProperty(cx, object, *prop, value);
  });
  return BindingFailure::endNative(cx, ok, [&] { return u"Can't write property " + AnsiToWide(prop->name); });
}

// ---- published methods ------------------------------------------------------------------

// The converted arguments of one call. The outermost call's slots stay from
// call to call, so a text argument is copied into the storage the last one
// left instead of a new string; a call made while another runs (a method
// that runs a script) takes slots of its own. Scripts run on the logic thread
// alone, so the kept slots are a plain static: a thread-local would be looked
// up on every call.
std::vector<Variant> outermostSlots;
bool outermostInUse = false;

class ArgumentValues {
 public:
  explicit ArgumentValues(size_t count) : count_(count) {
    if (outermostInUse) nested_.emplace();
    std::vector<Variant>& slots = nested_ ? *nested_ : outermostSlots;
    if (slots.size() < count_) slots.resize(count_);
    slots_ = slots.data();
    ownsOutermost_ = !outermostInUse;
    outermostInUse = true;
  }
  ~ArgumentValues() {
    if (ownsOutermost_) outermostInUse = false;
  }
  ArgumentValues(const ArgumentValues&) = delete;
  ArgumentValues& operator=(const ArgumentValues&) = delete;

  Variant& operator[](size_t i) { return slots_[i]; }
  std::span<const Variant> span() const { return {slots_, count_}; }

 private:
  size_t count_;
  Variant* slots_ = nullptr;
  bool ownsOutermost_ = false;
  std::optional<std::vector<Variant>> nested_;  // made only for a nested call
};

[[gnu::noinline, gnu::cold]] bool InvalidCall(const MethodInfo& method, JS::CallArgs& args) {
  LogError(u"Invalide function call " + AnsiToWide(method.name));
  args.rval().setUndefined();
  return true;
}

[[gnu::noinline, gnu::cold]] void LogCall(const MethodInfo& method, TObject& object) {
  LogInfo(u"Call method " + AnsiToWide(method.name) + u" of " + AnsiToWide(object.className()) + u" object");
}

// Runs the method on converted arguments. A method without result builds no
// result value: that is most calls, and the cheapest ones.
[[gnu::noinline]] bool RunWithResult(JSContext* cx, const MethodBinding& binding, TObject* object,
                                     std::span<const Variant> values, JS::CallArgs& args) {
  const MethodInfo& method = *binding.method;
  try {
    Variant result;
    method.invoke.call(object, values, &result);
    if (result.isEmpty()) return true;
    return VariantToJsValue(cx, *binding.realm, result, args.rval());
  } catch (const EConvertError&) {
    return InvalidCall(method, args);
  }
}

inline bool RunPublished(JSContext* cx, const MethodBinding& binding, TObject* object,
                         std::span<const Variant> values, JS::CallArgs& args) {
  const MethodInfo& method = *binding.method;
  if (method.hasResult) return RunWithResult(cx, binding, object, values, args);
  try {
    method.invoke.call(object, values, nullptr);
    return true;
  } catch (const EConvertError&) {
    return InvalidCall(method, args);
  }
}

[[gnu::noinline]] bool RunWithArguments(JSContext* cx, const MethodBinding& binding, TObject* object,
                                        JS::CallArgs& args) {
  const MethodInfo& method = *binding.method;
  if (args.length() < binding.requiredCount) return InvalidCall(method, args);
  const size_t count = binding.paramCount;
  ArgumentValues values(count);
  for (size_t i = 0; i < count; ++i) {
    if (i >= args.length()) {
      values[i] = Variant();  // not given
      continue;
    }
    switch (JsArgumentToVariant(cx, args[i], method.params[i], values[i])) {
      case ArgumentFit::Fits: break;
      case ArgumentFit::Unfit: return InvalidCall(method, args);
      case ArgumentFit::Thrown: return false;
    }
  }
  return RunPublished(cx, binding, object, values.span(), args);
}

// Hands a method of one text or one number its argument as it stands.
inline void CallDirect(const MethodInvoker& invoke, TObject* object, const WideString& text, Variant* result) {
  invoke.callWithText(object, text, result);
}
inline void CallDirect(const MethodInvoker& invoke, TObject* object, double number, Variant* result) {
  invoke.callWithNumber(object, number, result);
}

template <typename Argument>
[[gnu::noinline]] bool RunDirectWithResult(JSContext* cx, const MethodBinding& binding, TObject* object,
                                           const Argument& argument, JS::CallArgs& args) {
  const MethodInfo& method = *binding.method;
  try {
    Variant result;
    CallDirect(method.invoke, object, argument, &result);
    if (result.isEmpty()) return true;
    return VariantToJsValue(cx, *binding.realm, result, args.rval());
  } catch (const EConvertError&) {
    return InvalidCall(method, args);
  }
}

// A method without result builds no result value, as RunPublished.
template <typename Argument>
inline bool RunDirect(JSContext* cx, const MethodBinding& binding, TObject* object, const Argument& argument,
                      JS::CallArgs& args) {
  const MethodInfo& method = *binding.method;
  if (method.hasResult) return RunDirectWithResult(cx, binding, object, argument, args);
  try {
    CallDirect(method.invoke, object, argument, nullptr);
    return true;
  } catch (const EConvertError&) {
    return InvalidCall(method, args);
  }
}

// A method of one number called with a number: the number goes straight to
// the method's own conversion, which takes what a Variant holding it would.
inline bool RunWithNumber(JSContext* cx, const MethodBinding& binding, TObject* object, JS::CallArgs& args) {
  return RunDirect(cx, binding, object, args[0].toNumber(), args);
}

// A method of one text called with a string: the characters go into text
// storage kept from call to call and straight to the method, with no Variant
// between. A call made while another runs takes storage of its own.
WideString outermostText;
bool outermostTextInUse = false;

[[gnu::noinline]] bool RunWithText(JSContext* cx, const MethodBinding& binding, TObject* object,
                                   JS::CallArgs& args) {
  std::optional<WideString> nested;
  const bool outermost = !outermostTextInUse;
  WideString& text = outermost ? outermostText : nested.emplace();
  if (!CopyJsString(cx, args[0].toString(), text)) return false;
  outermostTextInUse = true;
  struct Release {
    bool outermost;
    ~Release() {
      if (outermost) outermostTextInUse = false;
    }
  } release{outermost};
  return RunDirect(cx, binding, object, text, args);
}

bool InvokePublished(JSContext* cx, const MethodBinding& binding, JS::CallArgs& args) {
  JS::HandleValue self = args.thisv();  // rooted by the call itself
  TObject* object = self.isObject() ? LiveTarget(&self.toObject(), binding.declaring) : nullptr;
  if (!object) return InvalidCall(*binding.method, args);
  if (binding.realm->engine().debugLevel() > 1) [[unlikely]] {
    LogCall(*binding.method, *object);
  }
  if (binding.paramCount == 1 && args.length() != 0) {
    const MethodInvoker& invoke = binding.method->invoke;
    if (args[0].isNumber() && invoke.takesNumber()) return RunWithNumber(cx, binding, object, args);
    if (args[0].isString() && invoke.takesText()) return RunWithText(cx, binding, object, args);
  }
  if (binding.paramCount != 0) return RunWithArguments(cx, binding, object, args);
  return RunPublished(cx, binding, object, {}, args);
}

bool CallPublishedMethod(JSContext* cx, unsigned argc, JS::Value* vp) {
  JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
  const auto* binding = ReservedPointer<MethodBinding>(&args.callee(), 0);
  args.rval().setUndefined();
  bool ok = Guarded(cx, [&] { return InvokePublished(cx, *binding, args); });
  return BindingFailure::endNative(cx, ok, [&] { return u"Can't call " + AnsiToWide(binding->method->name); });
}

// ---- constructors -------------------------------------------------------------------------

// `new ClassName()`, `new ClassName(parent)`, `new ClassName(fileName, parent)`:
// an object argument names the parent, a text the object file to load.
bool ConstructProgramObject(JSContext* cx, unsigned argc, JS::Value* vp) {
  JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
  const auto* cls = ReservedPointer<ClassInfo>(&args.callee(), 0);
  JsRealm* realm = JsRealm::current(cx);
  if (!realm) {
    JS_ReportErrorASCII(cx, "Can't create %s: no script engine", cls->name().c_str());
    return false;
  }
  bool ok = Guarded(cx, [&] {
    BaseObject* parent = nullptr;
    WideString fileName;
    bool fromFile = false;
    for (unsigned i = 0; i < 2 && i < args.length(); ++i) {
      if (args[i].isString()) {
        if (!CopyJsString(cx, args[i].toString(), fileName)) return false;
        fromFile = true;
      } else if (TObject* object = NativeOfValue(args[i])) {
        if (object->inheritsFrom(BaseObject::staticClassInfo())) parent = static_cast<BaseObject*>(object);
      }
    }
    TJavaScriptEngine& engine = realm->engine();
    BaseObject* created = engine.createScriptObject(*cls, parent, fromFile ? &fileName : nullptr);
    // Nothing made (the reason is logged): the script stops here.
    if (!created) return false;
    engine.exportObject(created->name(), AnsiToWide(created->className()), created);
    WrapperEntry* entry = realm->entryOf(created);
    // Not exported (the export said why): the script stops, and the object
    // it never got goes as any object a script disposes of.
    if (BindingFailure::pending() || !entry || !entry->object) {
      const WideString className = AnsiToWide(created->className());
      created->dispose();
      return BindingFailure::report(cx, u"Can't export object " + className);
    }
    args.rval().setObject(*entry->object.get());
    return true;
  });
  return BindingFailure::endNative(cx, ok, [&] { return u"Can't create " + AnsiToWide(cls->name()); });
}

// ---- the script classes ---------------------------------------------------------------------

// Writing a name that no published property of the class has fails.
bool RejectNewProperty(JSContext* cx, JS::HandleObject instance, JS::HandleId id, JS::HandleValue /*value*/) {
  JS::RootedObject prototype(cx);
  std::string className = "object";
  if (JS_GetPrototype(cx, instance, &prototype) && prototype) {
    if (const ClassInfo* cls = ClassOfPrototype(prototype)) className = cls->name();
  }
  JS_ReportErrorUTF8(cx, "\"%s\" is not a published property of %s", JsIdToDisplayText(cx, id).c_str(),
                     className.c_str());
  return false;
}

// Any spelling of a published property's name, ignoring case, resolves to
// that property's accessors; the declared spelling is the enumerable one.
bool ResolvePublished(JSContext* cx, JS::HandleObject prototype, JS::HandleId id, bool* resolved) {
  *resolved = false;
  const ClassInfo* cls = ClassOfPrototype(prototype);
  std::string name;
  if (!cls || !JsIdToAsciiName(cx, id, name)) return true;
  const PropInfo* prop = cls->findProperty(name);
  if (!prop || prop->kind() == TypeKind::Callback) return true;
  // Not made (the script heap is full): the script stops here rather than
  // read undefined.
  if (!DefinePublishedAccessor(cx, prototype, id, *prop)) {
    return BindingFailure::report(cx, u"Can't export property " + AnsiToWide(prop->name));
  }
  *resolved = true;
  return true;
}

bool MayResolvePublished(const JSAtomState& /*names*/, jsid id, JSObject* /*object*/) { return id.isString(); }

// for-in and Object.keys list the published properties under their own names.
bool EnumeratePublished(JSContext* cx, JS::HandleObject prototype) {
  const ClassInfo* cls = ClassOfPrototype(prototype);
  if (!cls) return true;
  for (const PropInfo* prop : cls->properties()) {
    if (prop->kind() == TypeKind::Callback) continue;
    JS::RootedString name(cx, JS_AtomizeString(cx, prop->name.c_str()));
    JS::RootedId id(cx);
    bool present = false;
    if (!name || !JS_StringToId(cx, name, &id) || !JS_AlreadyHasOwnPropertyById(cx, prototype, id, &present) ||
        (!present && !DefinePublishedAccessor(cx, prototype, id, *prop))) {
      return BindingFailure::report(cx, u"Can't export property " + AnsiToWide(prop->name));
    }
  }
  return true;
}

constexpr JSClassOps kPrototypeOps = {
    nullptr, nullptr, EnumeratePublished, nullptr, ResolvePublished, MayResolvePublished,
    nullptr, nullptr, nullptr,            nullptr,
};

constexpr JSClassOps kInstanceOps = {
    RejectNewProperty, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

// ---- the global ------------------------------------------------------------------------

// The global makes the standard classes and the exposed program classes when
// a script first names them.
struct NameHash {
  using is_transparent = void;
  size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
};
using NameSet = std::unordered_set<std::string, NameHash, std::equal_to<>>;

NameSet& ExposedNames() {
  static NameSet names;
  return names;
}

JsRealm* RealmOfGlobal(JSObject* global) {
  JS::Realm* realm = JS::GetObjectRealmOrNull(global);
  return realm ? static_cast<JsRealm*>(JS::GetRealmPrivate(realm)) : nullptr;
}

bool ResolveGlobal(JSContext* cx, JS::HandleObject global, JS::HandleId id, bool* resolved) {
  if (!JS_ResolveStandardClass(cx, global, id, resolved)) return false;
  if (*resolved || !id.isString()) return true;
  JsRealm* realm = RealmOfGlobal(global);
  std::string name;
  if (!realm || !JsIdToAsciiName(cx, id, name)) return true;
  const ClassInfo* cls = realm->exposedClass(name);
  if (!cls || realm->binding(*cls)) return true;
  if (!realm->bindClass(*cls)) return false;  // reported; the script stops
  *resolved = true;
  return true;
}

// Without a collection: the name's characters are read in place.
bool MayResolveGlobal(const JSAtomState& names, jsid id, JSObject* global) {
  if (JS_MayResolveStandardClass(names, id, global)) return true;
  if (!id.isAtom()) return false;
  JSLinearString* text = JS::AtomToLinearString(id.toAtom());
  if (!JS::LinearStringHasLatin1Chars(text)) return false;
  JS::AutoCheckCannotGC noGC;
  const auto* chars = reinterpret_cast<const char*>(JS::GetLatin1LinearStringChars(noGC, text));
  return ExposedNames().count(std::string_view(chars, JS::GetLinearStringLength(text))) != 0;
}

// Object.getOwnPropertyNames(this) lists the classes not yet made too (their
// constructors are not enumerable, so for-in does not).
bool EnumerateGlobal(JSContext* cx, JS::HandleObject global, JS::MutableHandleIdVector properties,
                     bool enumerableOnly) {
  if (!JS_NewEnumerateStandardClasses(cx, global, properties, enumerableOnly)) return false;
  JsRealm* realm = RealmOfGlobal(global);
  if (enumerableOnly || !realm) return true;
  for (const ClassInfo* cls : realm->unboundExposedClasses()) {
    JS::RootedString name(cx, JS_AtomizeString(cx, cls->name().c_str()));
    JS::RootedId id(cx);
    if (!name || !JS_StringToId(cx, name, &id) || !properties.append(id)) {
      return BindingFailure::report(cx, u"Can't export class " + AnsiToWide(cls->name()));
    }
  }
  return true;
}

constexpr JSClassOps kGlobalOps = {
    nullptr, nullptr, nullptr, EnumerateGlobal, ResolveGlobal, MayResolveGlobal,
    nullptr, nullptr, nullptr, JS_GlobalObjectTraceHook,
};

JSFunction* NewReservedFunction(JSContext* cx, JSNative native, unsigned argCount, unsigned flags,
                                const std::string& name, const void* data) {
  JSFunction* function = js::NewFunctionWithReserved(cx, native, argCount, flags, name.c_str());
  if (!function) return nullptr;
  js::SetFunctionNativeReserved(JS_GetFunctionObject(function), 0, JS::PrivateValue(const_cast<void*>(data)));
  return function;
}

}  // namespace

const JSClass kGlobalClass = {"global", JSCLASS_GLOBAL_FLAGS, &kGlobalOps, nullptr, nullptr, nullptr};

void NoteExposedClassName(const std::string& name) { ExposedNames().insert(name); }
const JSClass kPrototypeClass = {"object", JSCLASS_HAS_RESERVED_SLOTS(1), &kPrototypeOps, nullptr, nullptr, nullptr};
const JSClass kInstanceClass = {"c", JSCLASS_HAS_RESERVED_SLOTS(1), &kInstanceOps, nullptr, nullptr, nullptr};

const ClassInfo* ClassOfPrototype(JSObject* prototype) {
  if (!prototype || JS::GetClass(prototype) != &kPrototypeClass) return nullptr;
  const JS::Value& slot = JS::GetReservedSlot(prototype, 0);
  return slot.isUndefined() ? nullptr : static_cast<const ClassInfo*>(slot.toPrivate());
}

bool DefinePublishedAccessor(JSContext* cx, JS::HandleObject prototype, JS::HandleId id, const PropInfo& prop) {
  JSFunction* getter = NewReservedFunction(cx, GetPublished, 0, 0, prop.name, &prop);
  if (!getter) return false;
  JS::RootedObject getterObject(cx, JS_GetFunctionObject(getter));
  JSFunction* setter = NewReservedFunction(cx, SetPublished, 1, 0, prop.name, &prop);
  if (!setter) return false;
  JS::RootedObject setterObject(cx, JS_GetFunctionObject(setter));
  std::string spelled;
  bool declared = JsIdToAsciiName(cx, id, spelled) && spelled == prop.name;
  return JS_DefinePropertyById(cx, prototype, id, getterObject, setterObject, declared ? JSPROP_ENUMERATE : 0);
}

bool DefinePublishedMethod(JSContext* cx, JS::HandleObject prototype, const MethodBinding& binding) {
  const MethodInfo& method = *binding.method;
  auto argCount = static_cast<unsigned>(method.params.size());
  JSFunction* function = NewReservedFunction(cx, CallPublishedMethod, argCount, 0, method.name, &binding);
  if (!function) return false;
  JS::RootedObject functionObject(cx, JS_GetFunctionObject(function));
  return JS_DefineProperty(cx, prototype, method.name.c_str(), functionObject, 0);
}

JSObject* NewClassConstructor(JSContext* cx, const ClassInfo& cls) {
  JSFunction* function = NewReservedFunction(cx, ConstructProgramObject, 2, JSFUN_CONSTRUCTOR, cls.name(), &cls);
  return function ? JS_GetFunctionObject(function) : nullptr;
}
