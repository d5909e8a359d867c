#pragma once
// Declaring a class description next to the class's code:
//
//   const ClassInfo& Button::staticClassInfo() {
//     static const ClassInfo info = ClassBuilder<Button>("Button")
//         .property("caption", &Button::caption, &Button::setCaption)
//         .property("down", &Button::down_).defaultValue(0)
//         .method("click", &Button::click)
//         .build();
//     return info;
//   }
//
// Property and parameter types map to kinds by their C++ type: int32_t ->
// integer, float -> float, bool and enums declared with Q_DECLARE_ENUM ->
// enumeration, SetOf<E> -> set, WideString -> wide text, AnsiString -> 8-bit
// text, pointers to TObject classes -> object, MethodRef -> callback.
#include <cstdint>
#include <optional>
#include <tuple>
#include <type_traits>
#include <utility>

#include "core/objects/class_info.h"
#include "core/text/exceptions.h"

// ---- enumerations and sets ------------------------------------------------

template <typename E>
struct EnumTraits;  // specialised by Q_DECLARE_ENUM: static const EnumInfo& info();

#define Q_DECLARE_ENUM(E)                \
  template <>                            \
  struct EnumTraits<E> {                 \
    static const EnumInfo& info();       \
  };

#define Q_DEFINE_ENUM(E, ...)                              \
  const EnumInfo& EnumTraits<E>::info() {                  \
    static const EnumInfo enumInfo(#E, {__VA_ARGS__});     \
    return enumInfo;                                       \
  }

// A set of up to 32 members of an enumeration, stored as a bit mask.
template <typename E>
class SetOf {
 public:
  constexpr SetOf() = default;
  constexpr explicit SetOf(uint32_t bits) : bits_(bits) {}
  constexpr SetOf(std::initializer_list<E> members) {
    for (E m : members) include(m);
  }
  constexpr bool contains(E m) const { return bits_ & bit(m); }
  constexpr void include(E m) { bits_ |= bit(m); }
  constexpr void exclude(E m) { bits_ &= ~bit(m); }
  constexpr uint32_t bits() const { return bits_; }
  constexpr bool operator==(const SetOf&) const = default;

 private:
  static constexpr uint32_t bit(E m) { return 1u << static_cast<unsigned>(m); }
  uint32_t bits_ = 0;
};

// ---- how a C++ type maps to a published kind --------------------------------

namespace published {

template <typename T>
struct IsSet : std::false_type {};
template <typename E>
struct IsSet<SetOf<E>> : std::true_type {
  using Element = E;
};

template <typename V>
using Plain = std::remove_cvref_t<V>;

template <typename V>
TypeInfo TypeOf() {
  using T = Plain<V>;
  if constexpr (std::is_same_v<T, bool>) {
    return {TypeKind::Enumeration, "Boolean", &BooleanEnumInfo(), nullptr};
  } else if constexpr (std::is_enum_v<T>) {
    const EnumInfo& e = EnumTraits<T>::info();
    return {TypeKind::Enumeration, e.name(), &e, nullptr};
  } else if constexpr (IsSet<T>::value) {
    const EnumInfo& e = EnumTraits<typename IsSet<T>::Element>::info();
    return {TypeKind::Set, "set of " + e.name(), &e, nullptr};
  } else if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, uint32_t>) {
    return {TypeKind::Integer, "Integer", nullptr, nullptr};
  } else if constexpr (std::is_same_v<T, int64_t>) {
    return {TypeKind::Int64, "Int64", nullptr, nullptr};
  } else if constexpr (std::is_floating_point_v<T>) {
    return {TypeKind::Float, "Single", nullptr, nullptr};
  } else if constexpr (std::is_same_v<T, WideString>) {
    return {TypeKind::WideText, "WideString", nullptr, nullptr};
  } else if constexpr (std::is_same_v<T, AnsiString>) {
    return {TypeKind::AnsiText, "AnsiString", nullptr, nullptr};
  } else if constexpr (std::is_same_v<T, MethodRef>) {
    return {TypeKind::Callback, "TMethod", nullptr, nullptr};
  } else if constexpr (std::is_same_v<T, Variant>) {
    return {TypeKind::Variant, "Variant", nullptr, nullptr};
  } else if constexpr (std::is_pointer_v<T>) {
    using C = std::remove_cv_t<std::remove_pointer_t<T>>;
    static_assert(std::is_base_of_v<TObject, C>, "object properties hold TObject classes");
    return {TypeKind::Object, std::string(), nullptr, &C::staticClassInfo};
  } else {
    static_assert(sizeof(T) == 0, "type has no published kind");
  }
}

// C++ value -> stored property value.
template <typename V>
PropValue ToPropValue(const V& v) {
  using T = Plain<V>;
  if constexpr (std::is_same_v<T, bool> || std::is_enum_v<T> || std::is_same_v<T, int32_t> ||
                std::is_same_v<T, uint32_t>) {
    return static_cast<int32_t>(v);
  } else if constexpr (IsSet<T>::value) {
    return static_cast<int32_t>(v.bits());
  } else if constexpr (std::is_floating_point_v<T>) {
    return static_cast<float>(v);
  } else if constexpr (std::is_pointer_v<T>) {
    return static_cast<TObject*>(const_cast<std::remove_cv_t<std::remove_pointer_t<T>>*>(v));
  } else {
    return v;
  }
}

// Stored property value -> C++ value. The caller has checked the kind.
template <typename V>
Plain<V> FromPropValue(const PropValue& p) {
  using T = Plain<V>;
  if constexpr (std::is_same_v<T, bool>) {
    return std::get<int32_t>(p) != 0;
  } else if constexpr (std::is_enum_v<T> || std::is_same_v<T, int32_t> || std::is_same_v<T, uint32_t>) {
    return static_cast<T>(std::get<int32_t>(p));
  } else if constexpr (IsSet<T>::value) {
    return T(static_cast<uint32_t>(std::get<int32_t>(p)));
  } else if constexpr (std::is_floating_point_v<T>) {
    return static_cast<T>(std::get<float>(p));
  } else if constexpr (std::is_pointer_v<T>) {
    using C = std::remove_cv_t<std::remove_pointer_t<T>>;
    TObject* o = std::get<TObject*>(p);
    return o ? dynamic_cast<C*>(o) : nullptr;
  } else {
    return std::get<T>(p);
  }
}

// Script argument -> C++ parameter; throws EConvertError when it does not fit.
template <typename V>
Plain<V> FromVariant(const Variant& v) {
  using T = Plain<V>;
  bool ok = true;
  T result{};
  if constexpr (std::is_same_v<T, Variant>) {
    return v;
  } else if constexpr (std::is_same_v<T, bool>) {
    result = v.toBool(&ok);
  } else if constexpr (std::is_enum_v<T> || std::is_same_v<T, int32_t> || std::is_same_v<T, uint32_t>) {
    result = static_cast<T>(v.toInt(&ok));
  } else if constexpr (IsSet<T>::value) {
    result = T(static_cast<uint32_t>(v.toInt(&ok)));
  } else if constexpr (std::is_same_v<T, int64_t>) {
    result = v.toInt64(&ok);
  } else if constexpr (std::is_floating_point_v<T>) {
    result = static_cast<T>(v.toDouble(&ok));
  } else if constexpr (std::is_same_v<T, WideString>) {
    if (v.isText()) return std::get<WideString>(v.value());
    result = v.toText();
  } else if constexpr (std::is_same_v<T, AnsiString>) {
    result = WideToAnsi(v.toText());
  } else if constexpr (std::is_pointer_v<T>) {
    using C = std::remove_cv_t<std::remove_pointer_t<T>>;
    TObject* o = v.toObject(&ok);
    result = o ? dynamic_cast<C*>(o) : nullptr;
    if (o && !result) ok = false;
  } else {
    static_assert(sizeof(T) == 0, "type cannot be a script argument");
  }
  if (!ok) throw EConvertError("Invalid argument");
  return result;
}

// Whether a parameter of that type takes a script's number.
template <typename V>
constexpr bool kIsNumber = std::is_arithmetic_v<Plain<V>> || std::is_enum_v<Plain<V>> || IsSet<Plain<V>>::value;

// A number that is not a whole 32-bit one, rounded as a Variant holding it
// rounds; out of line, so that the common case needs no Variant at all.
[[gnu::noinline]] inline int64_t RoundedNumber(double number) { return FromVariant<int64_t>(Variant(number)); }

// Script number -> C++ parameter, as FromVariant converts a Variant holding
// it; an enumeration takes only its own values, as a script's argument must.
// Throws EConvertError when it does not fit.
template <typename V>
Plain<V> FromNumber(double number) {
  using T = Plain<V>;
  if constexpr (std::is_floating_point_v<T>) {
    return static_cast<T>(number);
  } else if constexpr (std::is_same_v<T, bool>) {
    return number != 0;
  } else {
    // Whole numbers of 32 bits, what scripts pass most, need no rounding.
    const bool whole = number >= INT32_MIN && number <= INT32_MAX && static_cast<int32_t>(number) == number;
    const int64_t value = whole ? static_cast<int32_t>(number) : RoundedNumber(number);
    if constexpr (std::is_same_v<T, int64_t>) {
      return value;
    } else if constexpr (IsSet<T>::value) {
      return T(static_cast<uint32_t>(value));
    } else {
      if constexpr (std::is_enum_v<T>) {
        if (value < 0 || value >= EnumTraits<T>::info().count()) throw EConvertError("Invalid argument");
      }
      // Wider values wrap as a 32-bit integer cast does in scripts.
      return static_cast<T>(static_cast<int32_t>(static_cast<uint32_t>(value)));
    }
  }
}

// A converted argument as the method takes it. Text that a method takes by
// reference is passed straight from the argument when that already holds
// text, without a copy.
template <typename V>
class Argument {
 public:
  explicit Argument(const Variant& v) : value_(FromVariant<V>(v)) {}
  Plain<V>& get() { return value_; }

 private:
  Plain<V> value_;
};

template <>
class Argument<const WideString&> {
 public:
  explicit Argument(const Variant& v) : source_(&v) {
    if (!v.isText()) converted_ = FromVariant<WideString>(v);
  }
  const WideString& get() const { return converted_ ? *converted_ : std::get<WideString>(source_->value()); }

 private:
  const Variant* source_;
  std::optional<WideString> converted_;
};

template <typename V>
Variant ToVariant(const V& v) {
  using T = Plain<V>;
  if constexpr (std::is_same_v<T, Variant>) {
    return v;
  } else if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, int32_t> || std::is_same_v<T, int64_t> ||
                       std::is_same_v<T, WideString> || std::is_same_v<T, uint32_t>) {
    return Variant(v);
  } else if constexpr (std::is_enum_v<T>) {
    return Variant(static_cast<int32_t>(v));
  } else if constexpr (IsSet<T>::value) {
    return Variant(static_cast<int32_t>(v.bits()));
  } else if constexpr (std::is_floating_point_v<T>) {
    return Variant(static_cast<double>(v));
  } else if constexpr (std::is_same_v<T, AnsiString>) {
    return Variant(AnsiToWide(v));
  } else if constexpr (std::is_pointer_v<T>) {
    return Variant(static_cast<TObject*>(const_cast<std::remove_cv_t<std::remove_pointer_t<T>>*>(v)));
  } else {
    static_assert(sizeof(T) == 0, "type cannot be a script result");
  }
}

}  // namespace published

// ---- the builder -------------------------------------------------------------

template <typename T>
class ClassBuilder {
 public:
  explicit ClassBuilder(std::string name) : name_(std::move(name)) {}

  // Reads through a getter, writes through a setter.
  template <typename C, typename G, typename S>
  ClassBuilder& property(std::string name, G (C::*getter)() const, void (C::*setter)(S)) {
    static_assert(std::is_base_of_v<C, T>);
    PropInfo p = start<G>(std::move(name));
    p.get = [getter](TObject* o) { return published::ToPropValue<G>((self(o)->*getter)()); };
    p.set = [setter](TObject* o, const PropValue& v) { (self(o)->*setter)(published::FromPropValue<S>(v)); };
    return add(std::move(p));
  }

  // Reads through a getter, writes a field.
  template <typename C, typename G, typename F>
  ClassBuilder& property(std::string name, G (C::*getter)() const, F C::*field) {
    static_assert(std::is_base_of_v<C, T>);
    PropInfo p = start<G>(std::move(name));
    p.get = [getter](TObject* o) { return published::ToPropValue<G>((self(o)->*getter)()); };
    p.set = [field](TObject* o, const PropValue& v) { self(o)->*field = published::FromPropValue<F>(v); };
    return add(std::move(p));
  }

  // Reads and writes a field.
  template <typename C, typename F>
  ClassBuilder& property(std::string name, F C::*field) {
    static_assert(std::is_base_of_v<C, T>);
    PropInfo p = start<F>(std::move(name));
    p.get = [field](TObject* o) { return published::ToPropValue<F>(self(o)->*field); };
    p.set = [field](TObject* o, const PropValue& v) { self(o)->*field = published::FromPropValue<F>(v); };
    return add(std::move(p));
  }

  // Reads a field, writes through a setter.
  template <typename C, typename F, typename S>
  ClassBuilder& property(std::string name, F C::*field, void (C::*setter)(S)) {
    static_assert(std::is_base_of_v<C, T>);
    PropInfo p = start<F>(std::move(name));
    p.get = [field](TObject* o) { return published::ToPropValue<F>(self(o)->*field); };
    p.set = [setter](TObject* o, const PropValue& v) { (self(o)->*setter)(published::FromPropValue<S>(v)); };
    return add(std::move(p));
  }

  // A read-only property.
  template <typename C, typename G>
  ClassBuilder& readOnly(std::string name, G (C::*getter)() const) {
    static_assert(std::is_base_of_v<C, T>);
    PropInfo p = start<G>(std::move(name));
    p.get = [getter](TObject* o) { return published::ToPropValue<G>((self(o)->*getter)()); };
    return add(std::move(p));
  }

  // Modifiers of the property declared last.
  ClassBuilder& defaultValue(int32_t value) {
    last().defaultValue = value;
    return *this;
  }
  ClassBuilder& floatDefault(float value) {
    last().floatDefault = value;
    return *this;
  }
  ClassBuilder& stored(bool always) {
    last().stored = always ? StoredRule::Always : StoredRule::Never;
    return *this;
  }
  template <typename C>
  ClassBuilder& storedWhen(bool (C::*predicate)() const) {
    static_assert(std::is_base_of_v<C, T>);
    last().stored = StoredRule::Predicate;
    last().storedPredicate = [predicate](TObject* o) { return (self(o)->*predicate)(); };
    return *this;
  }
  ClassBuilder& index(int32_t value) {
    last().index = value;
    return *this;
  }

  // A published method; its arguments are converted from script values.
  // A std::function form serves methods whose C++ signature differs.
  template <typename C, typename R, typename... A>
  ClassBuilder& method(std::string name, R (C::*m)(A...)) {
    static_assert(std::is_base_of_v<C, T>);
    return addMethod<R, A...>(std::move(name), [m](T* t, A... a) -> R { return (t->*m)(std::forward<A>(a)...); });
  }
  template <typename C, typename R, typename... A>
  ClassBuilder& method(std::string name, R (C::*m)(A...) const) {
    static_assert(std::is_base_of_v<C, T>);
    return addMethod<R, A...>(std::move(name), [m](T* t, A... a) -> R { return (t->*m)(std::forward<A>(a)...); });
  }

  ClassInfo build() {
    using Parent = typename T::inherited;
    ClassInfo::Factory factory = nullptr;
    if constexpr (!std::is_abstract_v<T> && std::is_default_constructible_v<T>) {
      factory = []() -> TObject* { return new T(); };
    }
    return ClassInfo(name_, &Parent::staticClassInfo(), factory, std::move(properties_), std::move(methods_));
  }

 private:
  static T* self(TObject* o) { return static_cast<T*>(o); }

  template <typename V>
  PropInfo start(std::string name) {
    PropInfo p;
    p.name = std::move(name);
    p.type = published::TypeOf<V>();
    return p;
  }
  ClassBuilder& add(PropInfo p) {
    properties_.push_back(std::move(p));
    return *this;
  }
  PropInfo& last() { return properties_.back(); }

  template <typename R, typename... A, typename Call>
  ClassBuilder& addMethod(std::string name, Call call) {
    MethodInfo info;
    info.name = std::move(name);
    (info.params.push_back(published::TypeOf<A>()), ...);
    if constexpr (!std::is_void_v<R>) {
      info.hasResult = true;
      info.result = published::TypeOf<R>();
    }
    if constexpr (sizeof...(A) == 1 && (std::is_same_v<published::Plain<A>, WideString> && ...)) {
      info.invoke = TextCall<R, Call>{call};
    } else if constexpr (sizeof...(A) == 1 && (published::kIsNumber<A> && ...)) {
      info.invoke = NumberCall<R, A..., Call>{call};
    } else {
      info.invoke = [call](TObject* o, std::span<const Variant> args, Variant* result) {
        if (args.size() < sizeof...(A)) throw EConvertError("Not enough arguments");
        invokeWith<R, A...>(call, self(o), args, result, std::index_sequence_for<A...>{});
      };
    }
    methods_.push_back(std::move(info));
    return *this;
  }

  // A method of one text: called with converted arguments as any other, or
  // with the text itself, no Variant in between.
  template <typename R, typename Call>
  struct TextCall {
    Call call;
    void operator()(TObject* o, std::span<const Variant> args, Variant* result) const {
      if (args.empty()) throw EConvertError("Not enough arguments");
      published::Argument<const WideString&> text(args[0]);
      (*this)(o, text.get(), result);
    }
    void operator()(TObject* o, const WideString& text, Variant* result) const {
      if constexpr (std::is_void_v<R>) {
        call(self(o), text);
      } else {
        decltype(auto) value = call(self(o), text);
        if (result) *result = published::ToVariant<R>(value);
      }
    }
  };

  // A method of one number: called with converted arguments as any other, or
  // with the script's number itself, no Variant in between.
  template <typename R, typename A, typename Call>
  struct NumberCall {
    Call call;
    void operator()(TObject* o, std::span<const Variant> args, Variant* result) const {
      if (args.empty()) throw EConvertError("Not enough arguments");
      finish(o, published::FromVariant<A>(args[0]), result);
    }
    void operator()(TObject* o, double number, Variant* result) const {
      finish(o, published::FromNumber<A>(number), result);
    }
    void finish(TObject* o, published::Plain<A> value, Variant* result) const {
      if constexpr (std::is_void_v<R>) {
        call(self(o), value);
      } else {
        decltype(auto) answer = call(self(o), value);
        if (result) *result = published::ToVariant<R>(answer);
      }
    }
  };

  template <typename R, typename... A, typename Call, size_t... I>
  static void invokeWith(const Call& call, T* t, [[maybe_unused]] std::span<const Variant> args,
                         [[maybe_unused]] Variant* result, std::index_sequence<I...>) {
    // Convert every argument first, in order, so a bad one stops the call.
    std::tuple<published::Argument<A>...> converted{published::Argument<A>(args[I])...};
    if constexpr (std::is_void_v<R>) {
      call(t, std::get<I>(converted).get()...);
    } else {
      decltype(auto) value = call(t, std::get<I>(converted).get()...);
      if (result) *result = published::ToVariant<R>(value);
    }
  }

  std::string name_;
  std::vector<PropInfo> properties_;
  std::vector<MethodInfo> methods_;
};
