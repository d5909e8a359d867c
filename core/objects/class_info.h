#pragma once
// Published class descriptions.
//
// Every class that can stand in an object file or be reached from a script
// declares once, next to its code, its published properties (kind, type,
// accessors, default, stored rule) and its published methods. The object
// streams, the script binding, the animation effects and the inspector all
// work from this one description; none of them keeps a list of its own.
#include <cstdint>
#include <cstring>
#include <functional>
#include <atomic>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "core/objects/object.h"
#include "core/objects/variant.h"
#include "core/text/ascii_name_map.h"
#include "core/text/text.h"

enum class TypeKind : uint8_t {
  Integer,
  Float,
  Enumeration,
  Set,
  WideText,
  AnsiText,
  Object,
  Callback,
  Int64,
  Variant,
};

// A set of kinds, for lookups and listings restricted to some kinds.
class KindSet {
 public:
  constexpr KindSet() = default;
  constexpr KindSet(std::initializer_list<TypeKind> kinds) {
    for (TypeKind k : kinds) bits_ |= 1u << static_cast<unsigned>(k);
  }
  static constexpr KindSet all() {
    KindSet s;
    s.bits_ = ~0u;
    return s;
  }
  constexpr bool contains(TypeKind k) const { return bits_ & (1u << static_cast<unsigned>(k)); }

 private:
  uint32_t bits_ = 0;
};

// The names of an enumeration type, value 0 first.
class EnumInfo {
 public:
  EnumInfo(std::string name, std::vector<std::string> names)
      : name_(std::move(name)), names_(std::move(names)) {}
  const std::string& name() const { return name_; }
  const std::vector<std::string>& names() const { return names_; }
  int count() const { return static_cast<int>(names_.size()); }
  // The name of a value; empty when the value is outside the type.
  std::string nameOf(int value) const;
  // The value of a name, compared ignoring ASCII case; -1 when absent.
  int valueOf(std::string_view name) const;

 private:
  std::string name_;
  std::vector<std::string> names_;
};

const EnumInfo& BooleanEnumInfo();

struct TypeInfo {
  TypeKind kind = TypeKind::Integer;
  std::string name;                    // "Integer", "Single", "Boolean", a class name ...
  const EnumInfo* enumInfo = nullptr;  // the enumeration, or a set's element type
  // What an object-kind value may hold. Asked lazily: a class may publish
  // properties and methods of its own class.
  const ClassInfo& (*objectClassOf)() = nullptr;
  const ClassInfo* objectClass() const { return objectClassOf ? &objectClassOf() : nullptr; }
  // The type's name; for objects, the class name.
  std::string typeName() const;
};

struct MethodInfo;

// The value of a callback property: a published method bound to an object.
struct MethodRef {
  TObject* object = nullptr;
  const MethodInfo* method = nullptr;
  explicit operator bool() const { return method != nullptr; }
  bool operator==(const MethodRef&) const = default;
};

using PropValue = std::variant<int32_t, float, AnsiString, WideString, TObject*, MethodRef, int64_t, Variant>;

enum class StoredRule : uint8_t { Always, Never, Predicate };

// The marker for "no default": an ordinal property with it is always written.
constexpr int32_t kNoDefault = INT32_MIN;
constexpr int32_t kNoIndex = INT32_MIN;

struct PropInfo {
  std::string name;
  TypeInfo type;
  std::function<PropValue(TObject*)> get;
  std::function<void(TObject*, const PropValue&)> set;  // empty: read-only
  StoredRule stored = StoredRule::Always;
  std::function<bool(TObject*)> storedPredicate;
  int32_t defaultValue = kNoDefault;
  // The value a float property is not written at. 0 for most; a property
  // whose own default is another value declares it, so that 0 is written.
  float floatDefault = 0.0f;
  int32_t index = kNoIndex;
  int position = 0;  // place in the full list of the declaring class
  const ClassInfo* declaredBy = nullptr;

  TypeKind kind() const { return type.kind; }
  bool readOnly() const { return !set; }
};

// How a published method is called. The callable (for a builder's method, a
// member pointer) lives inside the invoker and is reached through one plain
// function, so a call through a script allocates nothing, and a method
// without result builds no result value.
class MethodInvoker {
 public:
  MethodInvoker() = default;
  // Takes either `void(TObject*, std::span<const Variant> arguments, Variant* result)`,
  // which stores any result where `result` points unless it is nil, or
  // `Variant(TObject*, std::span<const Variant> arguments)`.
  template <typename F>
    requires(!std::is_same_v<F, MethodInvoker>)
  MethodInvoker(F callable) {  // NOLINT(google-explicit-constructor): assigned from lambdas
    if constexpr (std::is_invocable_v<const F&, TObject*, std::span<const Variant>, Variant*>) {
      store(std::move(callable));
    } else {
      store([f = std::move(callable)](TObject* object, std::span<const Variant> args, Variant* result) {
        Variant value = f(object, args);
        if (result) *result = std::move(value);
      });
    }
  }

  // Calls the method; a result goes to `*result` when `result` is not nil.
  void call(TObject* object, std::span<const Variant> args, Variant* result) const {
    thunk_(storage_, object, args, result);
  }
  // Whether the method takes one text, which `callWithText` hands it as it
  // stands: scripts call such methods (finding objects by name, say) often.
  bool takesText() const { return textThunk_ != nullptr; }
  void callWithText(TObject* object, const WideString& text, Variant* result) const {
    textThunk_(storage_, object, text, result);
  }
  // Whether the method takes one number (an integer, float, Boolean,
  // enumeration or set), which `callWithNumber` hands it converted as a
  // Variant holding the number would be, without one: scripts pass numbers
  // to methods most of all.
  bool takesNumber() const { return numberThunk_ != nullptr; }
  void callWithNumber(TObject* object, double number, Variant* result) const {
    numberThunk_(storage_, object, number, result);
  }
  Variant operator()(TObject* object, std::span<const Variant> args) const {
    Variant result;
    call(object, args, &result);
    return result;
  }

 private:
  using Thunk = void (*)(const void* storage, TObject*, std::span<const Variant>, Variant*);
  using TextThunk = void (*)(const void* storage, TObject*, const WideString&, Variant*);
  using NumberThunk = void (*)(const void* storage, TObject*, double, Variant*);
  template <typename F>
  static constexpr bool kTakesText = std::is_invocable_v<const F&, TObject*, const WideString&, Variant*>;
  template <typename F>
  static constexpr bool kTakesNumber = std::is_invocable_v<const F&, TObject*, double, Variant*>;

  template <typename F>
  static const F& Stored(const void* storage) {
    if constexpr (kFitsInline<F>) {
      return *std::launder(static_cast<const F*>(storage));
    } else {
      const F* callable = nullptr;
      std::memcpy(&callable, storage, sizeof callable);
      return *callable;
    }
  }
  static constexpr size_t kInlineSize = 2 * sizeof(void*);

  template <typename F>
  static constexpr bool kFitsInline =
      sizeof(F) <= kInlineSize && alignof(F) <= alignof(void*) && std::is_trivially_copyable_v<F>;

  template <typename F>
  void store(F callable) {
    if constexpr (kFitsInline<F>) {
      new (storage_) F(std::move(callable));
    } else {
      // Larger callables live on the heap; the storage holds their address.
      auto owned = std::make_shared<const F>(std::move(callable));
      const F* address = owned.get();
      std::memcpy(storage_, &address, sizeof address);
      owner_ = std::move(owned);
    }
    thunk_ = [](const void* storage, TObject* object, std::span<const Variant> args, Variant* result) {
      Stored<F>(storage)(object, args, result);
    };
    if constexpr (kTakesText<F>) {
      textThunk_ = [](const void* storage, TObject* object, const WideString& text, Variant* result) {
        Stored<F>(storage)(object, text, result);
      };
    }
    if constexpr (kTakesNumber<F>) {
      numberThunk_ = [](const void* storage, TObject* object, double number, Variant* result) {
        Stored<F>(storage)(object, number, result);
      };
    }
  }

  [[noreturn]] static void NoMethod(const void*, TObject*, std::span<const Variant>, Variant*) {
    throw std::bad_function_call();
  }

  Thunk thunk_ = &NoMethod;
  TextThunk textThunk_ = nullptr;
  NumberThunk numberThunk_ = nullptr;
  alignas(void*) unsigned char storage_[kInlineSize] = {};
  std::shared_ptr<const void> owner_;
};

struct MethodInfo {
  std::string name;
  std::vector<TypeInfo> params;
  bool hasResult = false;
  TypeInfo result;
  // Calls the method with arguments already in the caller's hands; each is
  // converted to its parameter's type. Throws EConvertError on a bad argument.
  MethodInvoker invoke;
};

class ClassInfo {
 public:
  using Factory = TObject* (*)();

  ClassInfo(std::string name, const ClassInfo* parent, Factory factory,
            std::vector<PropInfo> properties, std::vector<MethodInfo> methods);
  ClassInfo(const ClassInfo&) = delete;
  ClassInfo(ClassInfo&&) = default;

  const std::string& name() const { return name_; }
  const ClassInfo* parent() const { return parent_; }
  // Constant time, inline: scripts ask it on every call of a published method.
  // An ancestor stands at the same place in the line of every class below it.
  bool inheritsFrom(const ClassInfo& ancestor) const {
    if (&ancestor == this) return true;
    const size_t level = ancestor.ancestors_.size();
    return level < ancestors_.size() && ancestors_[level] == &ancestor;
  }
  bool isAbstract() const { return factory_ == nullptr; }

  // Builds an instance with its defaults and runs its Create(owner); nil for
  // an abstract class.
  TObject* create(TObject* owner) const;
  // Builds an instance with its field defaults only; the caller runs its
  // Create(owner) after marking it (the object reader marks it loading).
  // Nil for an abstract class.
  TObject* allocate() const { return factory_ ? factory_() : nullptr; }

  const std::vector<PropInfo>& ownProperties() const { return ownProperties_; }
  const std::vector<MethodInfo>& ownMethods() const { return ownMethods_; }

  // All published properties, ancestors' first; a descendant's property of the
  // same name takes the place of the ancestor's.
  const std::vector<const PropInfo*>& properties() const { return allProperties_; }
  std::vector<const PropInfo*> properties(KindSet kinds) const;

  // Looks a property up by name, ignoring ASCII case, own class first.
  const PropInfo* findProperty(std::string_view name, KindSet kinds = KindSet::all()) const;
  const MethodInfo* findMethod(std::string_view name) const;

 private:
  std::string name_;
  const ClassInfo* parent_;
  Factory factory_;
  std::vector<PropInfo> ownProperties_;
  std::vector<MethodInfo> ownMethods_;
  std::vector<const PropInfo*> allProperties_;
  std::vector<const ClassInfo*> ancestors_;  // the root class first, the parent last
  // Every name findProperty and findMethod answer, own class first: object
  // files look a name up for every stored value. Made on the first lookup, as
  // most classes are never looked into in a given run.
  struct NameIndex {
    AsciiNameMap<const PropInfo*> properties;
    AsciiNameMap<const MethodInfo*> methods;
  };
  const NameIndex& nameIndex() const {
    if (indexed_.load(std::memory_order_acquire)) [[likely]] {
      return index_;
    }
    return buildNameIndex();
  }
  const NameIndex& buildNameIndex() const;
  void indexLocked() const;
  mutable std::atomic<bool> indexed_{false};
  mutable NameIndex index_;
};

// Typed access, by property. Reading calls the getter, writing the setter;
// writing a read-only property does nothing.
int32_t GetOrdProp(TObject* object, const PropInfo& prop);
void SetOrdProp(TObject* object, const PropInfo& prop, int32_t value);
float GetFloatProp(TObject* object, const PropInfo& prop);
void SetFloatProp(TObject* object, const PropInfo& prop, float value);
AnsiString GetStrProp(TObject* object, const PropInfo& prop);
void SetStrProp(TObject* object, const PropInfo& prop, const AnsiString& value);
WideString GetWideStrProp(TObject* object, const PropInfo& prop);
void SetWideStrProp(TObject* object, const PropInfo& prop, const WideString& value);
TObject* GetObjectProp(TObject* object, const PropInfo& prop);
void SetObjectProp(TObject* object, const PropInfo& prop, TObject* value);
MethodRef GetMethodProp(TObject* object, const PropInfo& prop);
void SetMethodProp(TObject* object, const PropInfo& prop, const MethodRef& value);
int64_t GetInt64Prop(TObject* object, const PropInfo& prop);
void SetInt64Prop(TObject* object, const PropInfo& prop, int64_t value);

// The stored test: always, never, or the instance's predicate.
bool IsStoredProp(TObject* object, const PropInfo& prop);
// The writer's rule: stored, and different from the default.
bool IsDefaultPropValue(TObject* object, const PropInfo& prop);

// Conversions for scripts and the inspector; they report failure instead of
// throwing. A read-only property or a value that does not convert answers false.
Variant GetPropVariant(TObject* object, const PropInfo& prop);
bool SetPropVariant(TObject* object, const PropInfo& prop, const Variant& value);
WideString GetPropText(TObject* object, const PropInfo& prop);
bool SetPropText(TObject* object, const PropInfo& prop, const WideString& text);

// Set values as text: "[name1,name2]".
WideString SetToText(const EnumInfo& element, uint32_t bits);
bool TextToSet(const EnumInfo& element, std::u16string_view text, uint32_t& bits);
