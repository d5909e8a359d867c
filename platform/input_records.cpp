#include "platform/input_records.h"

#include <charconv>
#include <optional>
#include <string>

#include "core/log.h"
#include "core/text_helpers.h"

namespace {
template <typename T>
T* Constructed(T* record) {
  record->TObject::Create(nullptr);
  return record;
}

// Public construction from the factory functions only: the queue frees
// records with Free(), never with delete.
template <typename T, typename... Args>
T* MakeRecord(Args... args) {
  struct Open : T {
    explicit Open(Args... a) : T(a...) {}
  };
  return Constructed<T>(new Open(args...));
}

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

TLowEvent* TLowEvent::Create(uint8_t kind) { return MakeRecord<TLowEvent>(kind); }

TKeyEvent* TKeyEvent::Create(uint8_t kind, uint16_t key, uint16_t character, uint8_t shift, TWindow* window) {
  TKeyEvent* event = MakeRecord<TKeyEvent>(kind);
  event->key = key;
  event->character = character;
  event->shift = shift;
  event->window = window;
  return event;
}

TMouseEvent* TMouseEvent::Create(uint8_t kind, uint8_t button, int32_t x, int32_t y, int32_t dx, int32_t dy,
                                 uint8_t shift, TWindow* window) {
  TMouseEvent* event = MakeRecord<TMouseEvent>(kind);
  event->button = button;
  event->x = x;
  event->y = y;
  event->dx = dx;
  event->dy = dy;
  event->shift = shift;
  event->window = window;
  return event;
}

TWheelEvent* TWheelEvent::Create(uint8_t kind, int32_t steps, uint8_t shift, TWindow* window) {
  TWheelEvent* event = MakeRecord<TWheelEvent>(kind);
  event->steps = steps;
  event->shift = shift;
  event->window = window;
  return event;
}

TScheduleEvent* TScheduleEvent::Create(uint8_t kind, float delay) {
  TScheduleEvent* event = MakeRecord<TScheduleEvent>(kind);
  event->delay = delay;
  return event;
}

TScheduleActionEvent* TScheduleActionEvent::Create(float delay, BaseObject* target, uint8_t action) {
  TScheduleActionEvent* event = MakeRecord<TScheduleActionEvent>();
  event->delay = delay;
  event->target = target;
  event->action = action;
  return event;
}

TActionEvent* TActionEvent::Create(uint8_t kind, TWindow* window, int32_t code) {
  TActionEvent* event = MakeRecord<TActionEvent>(kind);
  event->window = window;
  event->code = code;
  return event;
}

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
