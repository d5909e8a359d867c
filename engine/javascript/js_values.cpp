#include "engine/javascript/js_values.h"

#include <cmath>
#include <limits>
#include <variant>

#include <js/CharacterEncoding.h>
#include <js/Conversions.h>
#include <js/String.h>

#include "core/objects/base_object.h"
#include "core/system/log.h"
#include "engine/javascript/js_realm.h"
#include "engine/javascript/js_report.h"

// ---- texts -------------------------------------------------------------------------------

WideString JsStringToWide(JSContext* cx, JSString* text) {
  WideString out;
  if (!CopyJsString(cx, text, out)) JS_ClearPendingException(cx);
  return out;
}

// Read straight from the library's characters (one byte or two a character),
// without filling the text first: every text argument of a published method
// comes through here.
bool CopyJsString(JSContext* cx, JSString* text, WideString& out) {
  out.clear();
  if (!text) return true;
  JSLinearString* linear = JS_EnsureLinearString(cx, text);
  if (!linear) return false;
  const size_t length = JS::GetLinearStringLength(linear);
  JS::AutoCheckCannotGC noGC;
  if (JS::LinearStringHasLatin1Chars(linear)) {
    // Widened in place: assigning a range of another character type would
    // build a temporary text first.
    const JS::Latin1Char* chars = JS::GetLatin1LinearStringChars(noGC, linear);
    out.resize(length);
    for (size_t i = 0; i < length; ++i) out[i] = chars[i];
  } else {
    out.assign(JS::GetTwoByteLinearStringChars(noGC, linear), length);
  }
  return true;
}

JSString* NewJsString(JSContext* cx, std::u16string_view text) {
  return JS_NewUCStringCopyN(cx, text.data(), text.size());
}

bool JsValueToWide(JSContext* cx, JS::HandleValue value, WideString& text) {
  if (value.isString()) return CopyJsString(cx, value.toString(), text);
  JS::RootedString converted(cx, JS::ToString(cx, value));
  return converted && CopyJsString(cx, converted, text);
}

bool JsIdToAsciiName(JSContext* cx, JS::HandleId id, std::string& name) {
  if (!id.isString()) return false;
  JS::RootedString text(cx, id.toString());
  constexpr size_t kLongestName = 255;
  if (JS_GetStringLength(text) > kLongestName) return false;
  WideString wide = JsStringToWide(cx, text);
  name.clear();
  for (char16_t c : wide) {
    if (c == 0 || c > 0x7F) return false;
    name.push_back(static_cast<char>(c));
  }
  return !name.empty();
}

std::string JsIdToDisplayText(JSContext* cx, JS::HandleId id) {
  if (id.isInt()) return std::to_string(id.toInt());
  if (!id.isString()) return "(symbol)";
  JS::RootedString text(cx, id.toString());
  return WideToUtf8(JsStringToWide(cx, text));
}

// ---- variants -------------------------------------------------------------------------------

bool VariantToJsValue(JSContext* cx, JsRealm& realm, const Variant& value, JS::MutableHandleValue out) {
  const Variant::Value& v = value.value();
  if (std::holds_alternative<std::monostate>(v)) {
    out.setUndefined();
  } else if (std::holds_alternative<Variant::Null>(v)) {
    out.setNull();
  } else if (auto* b = std::get_if<bool>(&v)) {
    out.setBoolean(*b);
  } else if (auto* i = std::get_if<int32_t>(&v)) {
    out.setInt32(*i);
  } else if (auto* l = std::get_if<int64_t>(&v)) {
    out.setNumber(static_cast<double>(*l));
  } else if (auto* d = std::get_if<double>(&v)) {
    out.setNumber(*d);
  } else if (auto* s = std::get_if<WideString>(&v)) {
    JSString* text = NewJsString(cx, *s);
    if (!text) return false;
    out.setString(text);
  } else if (auto* o = std::get_if<TObject*>(&v)) {
    // Objects that scripts do not know stay unknown: void, as for a miss.
    WrapperEntry* entry = *o ? realm.entryOf(*o) : nullptr;
    if (entry && entry->object) {
      out.setObject(*entry->object.get());
    } else {
      out.setUndefined();
    }
  }
  return true;
}

bool JsValueToVariant(JSContext* cx, JS::HandleValue value, Variant& out) {
  if (value.isUndefined()) {
    out = Variant();
  } else if (value.isNull()) {
    out = Variant(Variant::Null{});
  } else if (value.isBoolean()) {
    out = Variant(value.toBoolean());
  } else if (value.isInt32()) {
    out = Variant(value.toInt32());
  } else if (value.isDouble()) {
    out = Variant(value.toDouble());
  } else if (value.isString()) {
    WideString text;
    if (!CopyJsString(cx, value.toString(), text)) return false;
    out = Variant(std::move(text));
  } else if (value.isObject() && IsProgramInstance(&value.toObject())) {
    out = Variant(NativeOfValue(value));
  } else if (value.isSymbol()) {
    out = Variant();
  } else {
    WideString text;
    if (!JsValueToWide(cx, value, text)) return false;
    out = Variant(std::move(text));
  }
  return true;
}

// ---- method arguments ----------------------------------------------------------------------------

namespace {
bool IsNumberKind(TypeKind kind) {
  return kind == TypeKind::Integer || kind == TypeKind::Set || kind == TypeKind::Enumeration ||
         kind == TypeKind::Int64 || kind == TypeKind::Float;
}

ArgumentFit ObjectArgument(JS::HandleValue value, Variant& out) {
  if (value.isNull()) {
    out = Variant(Variant::Null{});
    return ArgumentFit::Fits;
  }
  TObject* object = NativeOfValue(value);
  if (!object) return ArgumentFit::Unfit;
  out = Variant(object);
  return ArgumentFit::Fits;
}

// An enumeration holds only its own values: any other would be undefined
// behaviour in the program (Booleans read any number as false or true).
bool IsPlainEnumeration(const TypeInfo& type) {
  return type.kind == TypeKind::Enumeration && type.enumInfo && type.enumInfo != &BooleanEnumInfo();
}

bool InEnumeration(const TypeInfo& type, int64_t value) {
  return value >= 0 && value < type.enumInfo->count();
}

ArgumentFit NumberArgument(JSContext* cx, JS::HandleValue value, const TypeInfo& param, Variant& out) {
  if (value.isBoolean()) {
    out = Variant(value.toBoolean());
  } else if (value.isInt32()) {
    out = Variant(value.toInt32());
  } else if (value.isDouble()) {
    out = Variant(value.toDouble());
  } else if (value.isString()) {
    WideString text;
    if (!CopyJsString(cx, value.toString(), text)) return ArgumentFit::Thrown;
    int named = param.kind == TypeKind::Enumeration && param.enumInfo ? param.enumInfo->valueOf(WideToAnsi(text)) : -1;
    out = named >= 0 ? Variant(static_cast<int32_t>(named)) : Variant(text);
  } else {
    return ArgumentFit::Unfit;
  }
  if (IsPlainEnumeration(param)) {
    bool ok = false;
    int64_t ordinal = out.toInt64(&ok);
    if (!ok || !InEnumeration(param, ordinal)) return ArgumentFit::Unfit;
  }
  return ArgumentFit::Fits;
}
}  // namespace

ArgumentFit JsArgumentToVariant(JSContext* cx, JS::HandleValue value, const TypeInfo& param, Variant& out) {
  if (param.kind == TypeKind::Variant) {
    return JsValueToVariant(cx, value, out) ? ArgumentFit::Fits : ArgumentFit::Thrown;
  }
  if (value.isUndefined()) return ArgumentFit::Unfit;
  switch (param.kind) {
    case TypeKind::Object: return ObjectArgument(value, out);
    case TypeKind::Callback: return ArgumentFit::Unfit;
    default: break;
  }
  if (value.isNull() || value.isSymbol()) return ArgumentFit::Unfit;
  if (IsNumberKind(param.kind)) return NumberArgument(cx, value, param, out);
  if (value.isString()) {  // the text goes straight into the argument
    return CopyJsString(cx, value.toString(), out.emplaceText()) ? ArgumentFit::Fits : ArgumentFit::Thrown;
  }
  WideString text;
  if (!JsValueToWide(cx, value, text)) return ArgumentFit::Thrown;
  out = Variant(std::move(text));
  return ArgumentFit::Fits;
}

// ---- published properties ----------------------------------------------------------------------

namespace {
bool ReadObjectProperty(JsRealm& realm, JS::HandleObject self, TObject* object, const PropInfo& prop,
                        JS::MutableHandleValue out) {
  TObject* value = GetObjectProp(object, prop);
  if (!value) {
    out.setNull();
    return true;
  }
  if (WrapperEntry* direct = realm.entryOf(value)) {
    out.setObject(*direct->object.get());
    return true;
  }
  // An object of the tree is reachable once it has been exported; until then
  // the script stops here, as it always has.
  if (value->inheritsFrom(BaseObject::staticClassInfo())) {
    LogError(u"Need to create object");
    return false;
  }
  WrapperEntry* holder = EntryOfInstance(self);
  JSObject* member = holder && !value->inheritsFrom(TGComponent::staticClassInfo())
                         ? realm.wrapMember(*holder, prop, value)
                         : nullptr;
  if (member) {
    out.setObject(*member);
  } else {
    out.setUndefined();
  }
  return member || !BindingFailure::pending();
}

bool ReportNotInteger(JSContext* cx, JS::HandleValue value) {
  WideString text;
  if (!JsValueToWide(cx, value, text)) return false;
  JS_ReportErrorUTF8(cx, "can't convert %s to an integer", WideToUtf8(text).c_str());
  return false;
}

bool ReportNotNumber(JSContext* cx, JS::HandleValue value) {
  WideString text;
  if (!JsValueToWide(cx, value, text)) return false;
  JS_ReportErrorUTF8(cx, "can't convert %s to a number", WideToUtf8(text).c_str());
  return false;
}

// Ordinal values round to the nearest integer; whole numbers up to 2^32 - 1
// wrap as in the system's 32-bit integers, so colours written as 0xFF000000
// fit. Enumerations also take their value names.
bool ValueToOrdinal(JSContext* cx, JS::HandleValue value, const PropInfo& prop, int32_t& out) {
  if (value.isString() && prop.kind() == TypeKind::Enumeration && prop.type.enumInfo) {
    int named = prop.type.enumInfo->valueOf(WideToAnsi(JsStringToWide(cx, value.toString())));
    if (named >= 0) {
      out = named;
      return true;
    }
  }
  double number = 0;
  if (!JS::ToNumber(cx, value, &number)) return false;
  double rounded = std::floor(number + 0.5);
  if (!std::isfinite(number) || rounded < std::numeric_limits<int32_t>::min() ||
      rounded > std::numeric_limits<uint32_t>::max()) {
    return ReportNotInteger(cx, value);
  }
  out = static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(rounded)));
  if (prop.kind() == TypeKind::Enumeration && prop.type.enumInfo == &BooleanEnumInfo()) out = out != 0;
  if (IsPlainEnumeration(prop.type) && !InEnumeration(prop.type, out)) {
    WideString text;
    if (!JsValueToWide(cx, value, text)) return false;
    JS_ReportErrorUTF8(cx, "%s is not a value of %s", WideToUtf8(text).c_str(), prop.type.enumInfo->name().c_str());
    return false;
  }
  return true;
}

void LogBadObjectValue(const PropInfo& prop) { LogError(u"invalide propert type " + AnsiToWide(prop.name)); }
}  // namespace

bool ReadPublishedProperty(JSContext* cx, JsRealm& realm, JS::HandleObject self, TObject* object,
                           const PropInfo& prop, JS::MutableHandleValue out) {
  switch (prop.kind()) {
    case TypeKind::Integer:
    case TypeKind::Set:
    case TypeKind::Enumeration: out.setInt32(GetOrdProp(object, prop)); return true;
    case TypeKind::Float: out.setNumber(static_cast<double>(GetFloatProp(object, prop))); return true;
    case TypeKind::Int64: out.setNumber(static_cast<double>(GetInt64Prop(object, prop))); return true;
    case TypeKind::WideText:
    case TypeKind::AnsiText: {
      WideString text =
          prop.kind() == TypeKind::WideText ? GetWideStrProp(object, prop) : AnsiToWide(GetStrProp(object, prop));
      JSString* string = NewJsString(cx, text);
      if (!string) return false;
      out.setString(string);
      return true;
    }
    case TypeKind::Variant: return VariantToJsValue(cx, realm, GetPropVariant(object, prop), out);
    case TypeKind::Object: return ReadObjectProperty(realm, self, object, prop, out);
    case TypeKind::Callback: out.setUndefined(); return true;
  }
  out.setUndefined();
  return true;
}

bool WritePublishedProperty(JSContext* cx, TObject* object, const PropInfo& prop, JS::HandleValue value) {
  if (prop.readOnly()) return true;
  switch (prop.kind()) {
    case TypeKind::Integer:
    case TypeKind::Set:
    case TypeKind::Enumeration: {
      int32_t ordinal = 0;
      if (!ValueToOrdinal(cx, value, prop, ordinal)) return false;
      SetOrdProp(object, prop, ordinal);
      return true;
    }
    case TypeKind::Float: {
      double number = 0;
      if (!JS::ToNumber(cx, value, &number)) return false;
      // Text that is no number ('wide'), undefined and numbers past the float
      // range would leave NaN or infinity in sizes and positions: refused,
      // the property keeps its value.
      if (!std::isfinite(static_cast<float>(number))) return ReportNotNumber(cx, value);
      SetFloatProp(object, prop, static_cast<float>(number));
      return true;
    }
    case TypeKind::Int64: {
      double number = 0;
      if (!JS::ToNumber(cx, value, &number)) return false;
      if (!std::isfinite(number) || std::fabs(number) > 9.2e18) return ReportNotInteger(cx, value);
      SetInt64Prop(object, prop, static_cast<int64_t>(std::llround(number)));
      return true;
    }
    case TypeKind::WideText:
    case TypeKind::AnsiText: {
      WideString text;
      if (!JsValueToWide(cx, value, text)) return false;
      if (prop.kind() == TypeKind::WideText) {
        SetWideStrProp(object, prop, text);
      } else {
        SetStrProp(object, prop, WideToAnsi(text));
      }
      return true;
    }
    case TypeKind::Variant: {
      Variant converted;
      if (!JsValueToVariant(cx, value, converted)) return false;
      prop.set(object, converted);
      return true;
    }
    case TypeKind::Object: {
      if (value.isNull()) {
        SetObjectProp(object, prop, nullptr);
        return true;
      }
      TObject* target = NativeOfValue(value);
      const ClassInfo* expected = prop.type.objectClass();
      if (!target || (expected && !target->inheritsFrom(*expected))) {
        LogBadObjectValue(prop);
        return true;
      }
      SetObjectProp(object, prop, target);
      return true;
    }
    case TypeKind::Callback: LogBadObjectValue(prop); return true;
  }
  return true;
}
