#pragma once
// One JavaScript engine's world inside the shared context: its global, the
// script classes built from published descriptions, and the script objects
// that stand for program objects. Internal to engine/javascript/.
//
// How program objects look to scripts:
// - every class gets one prototype (of the script class "object") holding a
//   function for each published method of the class and its ancestors, and
//   an accessor for each published property. Accessors are made on demand by
//   the prototype's resolve hook, for any spelling of the name that matches a
//   published property ignoring case, so `applet.Width` reads `width`;
// - a program object is an instance (of the script class "c") of its class's
//   prototype whose one reserved slot points at its `WrapperEntry`. Adding a
//   property to an instance fails, so writing a name that is not published
//   fails as well;
// - the class name is a global constructor: `new Sprite()`.
// Instances are plain objects with shapes, so the library's inline caches
// serve property reads and method calls at native-call speed.
#include <jsapi.h>
#include <js/Object.h>

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/objects/class_info.h"
#include "engine/javascript/js_natives.h"

class TJavaScriptEngine;

// What a script object stands for. A direct entry names its program object and
// is cut loose (its slot cleared) when that object goes away. A member entry
// stands for the object that a property of its holder's object holds and reads
// that property afresh on every use, so a sub-object its owner replaces or
// frees is never reached through a stale pointer.
struct WrapperEntry {
  TObject* native = nullptr;
  const ClassInfo* nativeClass = nullptr;  // of a direct entry's object
  WrapperEntry* holder = nullptr;
  const PropInfo* prop = nullptr;
  JS::Heap<JSObject*> object;
  std::vector<WideString> globals;  // the global names it was exported under
  std::unordered_map<const PropInfo*, std::unique_ptr<WrapperEntry>> members;
};

class JsRealm;

// What the function of a published method needs on every call, kept in its
// reserved slot.
struct MethodBinding {
  MethodBinding(const MethodInfo& method, const ClassInfo& declaring, JsRealm& realm);

  const MethodInfo* method = nullptr;
  const ClassInfo* declaring = nullptr;  // the class that publishes it
  JsRealm* realm = nullptr;
  size_t paramCount = 0;
  // Parameters that take any value may be left out at the end (`format` takes
  // one or two values); a call needs at least this many arguments.
  size_t requiredCount = 0;
};

struct ClassBinding {
  const ClassInfo* cls = nullptr;
  JS::Heap<JSObject*> prototype;
  JS::Heap<JSObject*> constructor;
  std::vector<std::unique_ptr<MethodBinding>> methods;
};

class JsRealm {
 public:
  // Nil when the global cannot be made.
  static std::unique_ptr<JsRealm> create(TJavaScriptEngine& engine, JSContext* cx);
  ~JsRealm();
  JsRealm(const JsRealm&) = delete;
  JsRealm& operator=(const JsRealm&) = delete;

  // The realm whose code runs on the context now, or nil.
  static JsRealm* current(JSContext* cx);

  JSContext* cx() const { return cx_; }
  JSObject* global() const { return global_; }
  TJavaScriptEngine& engine() const { return engine_; }

  // The class's prototype and constructor, built on first use; nil (the
  // failure reported) when they cannot be made.
  ClassBinding* bindClass(const ClassInfo& cls);
  const ClassBinding* findBinding(const ClassInfo& cls) const;
  // Scripts may name the class (`new Sprite()`): its constructor is made
  // when a script first names it, as most games use few of the classes.
  void exposeClass(const ClassInfo& cls);
  // The exposed class of exactly that name, or nil.
  const ClassInfo* exposedClass(std::string_view name) const;
  // Exposed classes whose constructor is not made yet.
  std::vector<const ClassInfo*> unboundExposedClasses() const;
  // The class is being bound now: defining its constructor on the global
  // asks the global to resolve the name first, which must then leave it.
  bool binding(const ClassInfo& cls) const {
    return std::find(binding_.begin(), binding_.end(), &cls) != binding_.end();
  }

  // The direct entry of a program object, or nil.
  WrapperEntry* entryOf(TObject* object) const;
  // The direct script object of a program object, made when it has none;
  // nil when it cannot be made (an exception pending, or the failure reported).
  JSObject* wrap(TObject* object);
  // The script object for the object held by `prop` of the holder's object;
  // nil for none, and when it cannot be made (the failure reported).
  JSObject* wrapMember(WrapperEntry& holder, const PropInfo& prop, TObject* value);
  size_t wrapperCount() const { return wrappers_.size(); }
  // Cuts the program object's script object loose and forgets it.
  void detach(TObject* object);

 private:
  JsRealm(TJavaScriptEngine& engine, JSContext* cx);
  bool makeGlobal();
  static void trace(JSTracer* trc, void* data);
  static void traceEntry(JSTracer* trc, WrapperEntry& entry);
  static void cutLoose(WrapperEntry& entry);
  JSObject* newInstance(const ClassInfo& cls, WrapperEntry& entry);

  TJavaScriptEngine& engine_;
  JSContext* cx_;
  JS::PersistentRootedObject global_;
  std::unordered_map<const ClassInfo*, std::unique_ptr<ClassBinding>> classes_;
  std::unordered_map<std::string_view, const ClassInfo*> exposed_;  // by exact name
  std::vector<const ClassInfo*> binding_;
  std::unordered_map<TObject*, std::unique_ptr<WrapperEntry>> wrappers_;
  bool tracing_ = false;
};

// ---- script objects and the program objects behind them --------------------------

// True for a script instance of a program object, live or cut loose.
inline bool IsProgramInstance(JSObject* object) { return object && JS::GetClass(object) == &kInstanceClass; }
// The entry behind a script instance; nil for other objects and for instances
// cut loose. Inline: every call of a published method asks it.
inline WrapperEntry* EntryOfInstance(JSObject* object) {
  if (!IsProgramInstance(object)) return nullptr;
  const JS::Value& slot = JS::GetReservedSlot(object, 0);
  return slot.isUndefined() ? nullptr : static_cast<WrapperEntry*>(slot.toPrivate());
}
// The program object an entry stands for now, or nil.
TObject* NativeOfEntry(const WrapperEntry& entry);
// The program object behind a script value, or nil.
TObject* NativeOfValue(const JS::Value& value);
