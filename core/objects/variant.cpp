#include "core/objects/variant.h"

#include <cmath>
#include <limits>

#include "core/text/exceptions.h"
#include "core/text/text_helpers.h"

namespace {
template <typename... F>
struct Overload : F... {
  using F::operator()...;
};
template <typename... F>
Overload(F...) -> Overload<F...>;

bool ParseNumber(const WideString& text, double& out) {
  try {
    out = WideStrToFloat(text);
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}
}  // namespace

bool Variant::isNumber() const {
  return std::holds_alternative<int32_t>(value_) || std::holds_alternative<int64_t>(value_) ||
         std::holds_alternative<double>(value_);
}

double Variant::toDouble(bool* ok) const {
  bool good = true;
  double result = std::visit(
      Overload{[&](std::monostate) { return 0.0; },
               [&](Null) { return 0.0; },
               [&](bool b) { return b ? 1.0 : 0.0; },
               [&](int32_t i) { return static_cast<double>(i); },
               [&](int64_t i) { return static_cast<double>(i); },
               [&](double d) { return d; },
               [&](const WideString& s) {
                 double d = 0;
                 if (s.empty() || !ParseNumber(s, d)) good = false;
                 return d;
               },
               [&](TObject*) {
                 good = false;
                 return 0.0;
               }},
      value_);
  if (ok) *ok = good;
  return result;
}

int64_t Variant::toInt64(bool* ok) const {
  if (auto* i = std::get_if<int64_t>(&value_)) {
    if (ok) *ok = true;
    return *i;
  }
  bool good = true;
  double d = toDouble(&good);
  if (!std::isfinite(d) || d < -9.2e18 || d > 9.2e18) good = false;
  if (ok) *ok = good;
  return good ? static_cast<int64_t>(std::nearbyint(d)) : 0;
}

int32_t Variant::toInt(bool* ok) const {
  if (auto* i = std::get_if<int32_t>(&value_)) {  // what scripts pass most
    if (ok) *ok = true;
    return *i;
  }
  bool good = true;
  int64_t i = toInt64(&good);
  // Wider values wrap the way a 32-bit integer cast does in scripts.
  if (ok) *ok = good;
  return static_cast<int32_t>(static_cast<uint32_t>(i));
}

bool Variant::toBool(bool* ok) const {
  if (auto* s = std::get_if<WideString>(&value_)) {
    if (ok) *ok = true;
    if (SameTextAsciiW(*s, u"true")) return true;
    if (SameTextAsciiW(*s, u"false") || s->empty()) return false;
  }
  if (auto* o = std::get_if<TObject*>(&value_)) {
    if (ok) *ok = true;
    return *o != nullptr;
  }
  bool good = true;
  double d = toDouble(&good);
  if (ok) *ok = good;
  return good && d != 0;
}

WideString Variant::toText() const {
  return std::visit(Overload{[](std::monostate) { return WideString(); },
                             [](Null) { return WideString(u"null"); },
                             [](bool b) { return WideString(b ? u"True" : u"False"); },
                             [](int32_t i) { return AnsiToWide(std::to_string(i)); },
                             [](int64_t i) { return AnsiToWide(std::to_string(i)); },
                             [](double d) {
                               if (d == std::trunc(d) && std::fabs(d) < 1e15) {
                                 return AnsiToWide(std::to_string(static_cast<int64_t>(d)));
                               }
                               return FloatToWideStr(d);
                             },
                             [](const WideString& s) { return s; },
                             [](TObject*) { return WideString(u"[object]"); }},
                    value_);
}

TObject* Variant::toObject(bool* ok) const {
  if (auto* o = std::get_if<TObject*>(&value_)) {
    if (ok) *ok = true;
    return *o;
  }
  // nil, empty and null stand for "no object"; anything else is not one.
  if (ok) *ok = isEmpty() || isNull();
  return nullptr;
}
