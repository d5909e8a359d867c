#pragma once
// Script values and program values: texts, variants, method arguments and
// published property values. Internal to engine/javascript/.
#include <jsapi.h>

#include <string>

#include "core/objects/class_info.h"

class JsRealm;

// ---- texts -------------------------------------------------------------------------

// A script string as text; empty when it cannot be read (names and messages).
WideString JsStringToWide(JSContext* cx, JSString* text);
// The same into a text the caller holds; false with the exception pending
// when the string cannot be read (out of memory).
bool CopyJsString(JSContext* cx, JSString* text, WideString& out);
JSString* NewJsString(JSContext* cx, std::u16string_view text);
// The value as text, the way scripts convert it (numbers as "3.5"); false
// with an exception pending when the conversion throws.
bool JsValueToWide(JSContext* cx, JS::HandleValue value, WideString& text);
// A property key as an ASCII name; false for symbols, indexes and names with
// other characters (which no published name can match).
bool JsIdToAsciiName(JSContext* cx, JS::HandleId id, std::string& name);
// A property key as display text, for error messages.
std::string JsIdToDisplayText(JSContext* cx, JS::HandleId id);

// ---- variants ------------------------------------------------------------------------

// Program value -> script value. Objects become their script objects in this
// realm, or undefined when they have none.
bool VariantToJsValue(JSContext* cx, JsRealm& realm, const Variant& value, JS::MutableHandleValue out);
// Script value -> program value: undefined is empty, null is Null, program
// instances their objects (nil when cut loose), other objects their text.
bool JsValueToVariant(JSContext* cx, JS::HandleValue value, Variant& out);

// ---- method arguments -------------------------------------------------------------------

enum class ArgumentFit { Fits, Unfit, Thrown };

// Converts one script argument for a parameter of the given type. Unfit:
// undefined, null where no object is expected, an object where none is
// expected, an object that is not a live program object where one is. A
// parameter of any value (Variant) takes every argument, undefined as empty.
ArgumentFit JsArgumentToVariant(JSContext* cx, JS::HandleValue value, const TypeInfo& param, Variant& out);

// ---- published properties -----------------------------------------------------------------

// Reads a published property of `object` (behind the script object `self`).
// False when the read fails: with an exception pending, or without one when
// the script is stopped ("Need to create object").
bool ReadPublishedProperty(JSContext* cx, JsRealm& realm, JS::HandleObject self, TObject* object,
                           const PropInfo& prop, JS::MutableHandleValue out);
// Writes a published property; false with an exception pending when the value
// does not convert. A read-only property ignores the write.
bool WritePublishedProperty(JSContext* cx, TObject* object, const PropInfo& prop, JS::HandleValue value);
