#include "platform/input_records.h"

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
