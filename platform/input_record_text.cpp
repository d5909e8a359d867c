// The recording form of input records: one line of decimal fields.
#include <charconv>
#include <optional>
#include <string>

#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "platform/input_records.h"

namespace {
void AppendField(WideString& text, int64_t value) { text += Utf8ToWide(std::to_string(value)) + u","; }

// One decimal integer, optionally signed, in the range of int32.
std::optional<int32_t> ParseDecimal(const WideString& field) {
  std::string ansi = WideToAnsi(field);
  std::string_view digits = ansi;
  bool plus = !digits.empty() && digits.front() == '+';
  if (plus) digits.remove_prefix(1);
  if (digits.empty() || (plus && (digits.front() < '0' || digits.front() > '9'))) return std::nullopt;
  int32_t value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

// Cuts the fields of a recording line one by one.
class FieldReader {
 public:
  explicit FieldReader(const WideString& text) : rest_(text) {}

  std::optional<int32_t> next() {
    WideString field = ExtractTokenW(rest_, u",");
    std::optional<int32_t> value = ParseDecimal(field);
    if (!value && !bad_) {
      bad_ = true;
      badField_ = field;
    }
    return value;
  }
  bool bad() const { return bad_; }
  const WideString& badField() const { return badField_; }

 private:
  WideString rest_;
  bool bad_ = false;
  WideString badField_;
};

TLowEvent* KeyFromFields(uint8_t kind, FieldReader& fields) {
  auto key = fields.next();
  auto character = fields.next();
  if (fields.bad()) return nullptr;
  return TKeyEvent::Create(kind, static_cast<uint16_t>(*key), static_cast<uint16_t>(*character), 0, nullptr);
}

TLowEvent* MouseFromFields(uint8_t kind, FieldReader& fields) {
  auto button = fields.next();
  auto x = fields.next();
  auto y = fields.next();
  auto dx = fields.next();
  auto dy = fields.next();
  if (fields.bad()) return nullptr;
  return TMouseEvent::Create(kind, static_cast<uint8_t>(*button), *x, *y, *dx, *dy, 0, nullptr);
}
}  // namespace

WideString EventToText(TLowEvent* event) {
  WideString text;
  if (!event) return text;
  AppendField(text, event->kind);
  if (TKeyEvent* key = event->asKey()) {
    AppendField(text, key->key);
    AppendField(text, key->character);
  } else if (TMouseEvent* mouse = event->asMouse()) {
    AppendField(text, mouse->button);
    AppendField(text, mouse->x);
    AppendField(text, mouse->y);
    AppendField(text, mouse->dx);
    AppendField(text, mouse->dy);
  }
  return text;
}

TLowEvent* EventFromText(const WideString& text) {
  if (text.empty()) return nullptr;
  FieldReader fields(text);
  TLowEvent* event = nullptr;
  if (auto kindValue = fields.next()) {
    // The kind is kept as a byte, whatever the field held.
    auto kind = static_cast<uint8_t>(*kindValue);
    if (kind == lekKeyDown || kind == lekKeyUp) {
      event = KeyFromFields(kind, fields);
    } else if (kind >= lekMouseDown && kind <= lekMouseMove) {
      event = MouseFromFields(kind, fields);
    }
  }
  if (fields.bad()) {
    LogError(u"'" + fields.badField() + u"' is not a valid integer value in event record \"" + text + u"\"");
  }
  return event;
}
