#pragma once
// A value of any script-visible type: what scripts pass to published methods
// and properties, and what the inspector edits.
#include <cstdint>
#include <variant>

#include "core/text/text.h"

class TObject;

class Variant {
 public:
  struct Null {
    bool operator==(const Null&) const = default;
  };
  using Value = std::variant<std::monostate, Null, bool, int32_t, int64_t, double, WideString, TObject*>;

  Variant() = default;
  Variant(Null) : value_(Null{}) {}
  Variant(bool v) : value_(v) {}
  Variant(int32_t v) : value_(v) {}
  Variant(int64_t v) : value_(v) {}
  Variant(uint32_t v) : value_(static_cast<int64_t>(v)) {}
  Variant(double v) : value_(v) {}
  Variant(float v) : value_(static_cast<double>(v)) {}
  Variant(WideString v) : value_(std::move(v)) {}
  Variant(const char16_t* v) : value_(WideString(v)) {}
  Variant(TObject* v) : value_(v) {}

  // Makes the value an empty text and hands it out to be filled in place; a
  // value that is a text already keeps its storage.
  WideString& emplaceText() {
    if (auto* text = std::get_if<WideString>(&value_)) {
      text->clear();
      return *text;
    }
    return value_.emplace<WideString>();
  }

  bool isEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  bool isNull() const { return std::holds_alternative<Null>(value_); }
  bool isText() const { return std::holds_alternative<WideString>(value_); }
  bool isObject() const { return std::holds_alternative<TObject*>(value_); }
  bool isNumber() const;
  const Value& value() const { return value_; }

  // Conversions; `ok` (when given) is set false when the value does not convert.
  bool toBool(bool* ok = nullptr) const;
  int32_t toInt(bool* ok = nullptr) const;
  int64_t toInt64(bool* ok = nullptr) const;
  double toDouble(bool* ok = nullptr) const;
  WideString toText() const;
  TObject* toObject(bool* ok = nullptr) const;

  bool operator==(const Variant&) const = default;

 private:
  Value value_;
};
