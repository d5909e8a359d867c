#pragma once
// The small records through which input and timed actions reach an applet's
// event queue: key presses, mouse buttons and moves, wheel steps, scheduled
// actions on objects and window actions. The window procedure makes them from
// window messages; the event queue takes ownership when one is posted and
// frees it with Free() once it has been handled or dropped.
#include <cstdint>

#include "core/objects/object.h"
#include "core/text/text.h"

class TWindow;
class BaseObject;

// What a record stands for; the numbers are also its first field in the
// recording form.
enum TLowEventKind : uint8_t {
  lekKeyDown = 0,
  lekKeyUp = 1,
  lekMouseDown = 2,
  lekMouseUp = 3,
  lekMouseMove = 4,
  lekWheel = 5,
  lekSchedule = 6,
  lekWindowAction = 7,
};

// Bits of the shift byte that key, mouse and wheel records carry.
constexpr uint8_t kShiftShift = 1;
constexpr uint8_t kShiftAlt = 2;
constexpr uint8_t kShiftControl = 4;
constexpr uint8_t kShiftLeftButton = 8;
constexpr uint8_t kShiftRightButton = 16;
constexpr uint8_t kShiftMiddleButton = 32;

// Mouse buttons as records name them.
constexpr uint8_t kButtonLeft = 1;
constexpr uint8_t kButtonRight = 2;

// Actions of a scheduled action record.
constexpr uint8_t kScheduleHide = 0;
constexpr uint8_t kScheduleShow = 1;
constexpr uint8_t kScheduleFree = 2;
constexpr uint8_t kScheduleReload = 3;

// Codes of a window action record.
constexpr int32_t kActionClose = 0;
constexpr int32_t kActionActivated = 1;
constexpr int32_t kActionDeactivated = 2;

class TKeyEvent;
class TMouseEvent;
class TWheelEvent;
class TScheduleEvent;
class TScheduleActionEvent;
class TActionEvent;

class TLowEvent : public TObject {
 public:
  using TObject::Create;
  static TLowEvent* Create(uint8_t kind);

  uint8_t kind = 0;
  // Set by the dispatcher once the record has been consumed.
  uint8_t handled = 0;
  // Set by the queue while the record is being dispatched, so that a nested
  // pass over the same queue does not dispatch it again.
  uint8_t inDispatch = 0;

  // The record as its own class, or null when it is of another class.
  virtual TKeyEvent* asKey() { return nullptr; }
  virtual TMouseEvent* asMouse() { return nullptr; }
  virtual TWheelEvent* asWheel() { return nullptr; }
  virtual TScheduleEvent* asSchedule() { return nullptr; }
  virtual TScheduleActionEvent* asScheduleAction() { return nullptr; }
  virtual TActionEvent* asAction() { return nullptr; }

 protected:
  explicit TLowEvent(uint8_t eventKind) : kind(eventKind) {}
};

class TKeyEvent : public TLowEvent {
 public:
  using TObject::Create;
  static TKeyEvent* Create(uint8_t kind, uint16_t key, uint16_t character, uint8_t shift, TWindow* window);
  TKeyEvent* asKey() override { return this; }

  // Virtual-key code, 0 when the key typed a character.
  uint16_t key = 0;
  // UTF-16 code unit the key typed, 0 when none.
  uint16_t character = 0;
  uint8_t shift = 0;
  TWindow* window = nullptr;

 protected:
  explicit TKeyEvent(uint8_t eventKind) : TLowEvent(eventKind) {}
};

class TMouseEvent : public TLowEvent {
 public:
  using TObject::Create;
  static TMouseEvent* Create(uint8_t kind, uint8_t button, int32_t x, int32_t y, int32_t dx, int32_t dy,
                             uint8_t shift, TWindow* window);
  TMouseEvent* asMouse() override { return this; }

  uint8_t button = 0;
  int32_t x = 0;
  int32_t y = 0;
  // Movement since the previous mouse message.
  int32_t dx = 0;
  int32_t dy = 0;
  uint8_t shift = 0;
  TWindow* window = nullptr;

 protected:
  explicit TMouseEvent(uint8_t eventKind) : TLowEvent(eventKind) {}
};

class TWheelEvent : public TLowEvent {
 public:
  using TObject::Create;
  static TWheelEvent* Create(uint8_t kind, int32_t steps, uint8_t shift, TWindow* window);
  TWheelEvent* asWheel() override { return this; }

  // Notches; positive when the wheel is turned away from the user.
  int32_t steps = 0;
  uint8_t shift = 0;
  TWindow* window = nullptr;

 protected:
  explicit TWheelEvent(uint8_t eventKind) : TLowEvent(eventKind) {}
};

class TScheduleEvent : public TLowEvent {
 public:
  using TObject::Create;
  static TScheduleEvent* Create(uint8_t kind, float delay);
  TScheduleEvent* asSchedule() override { return this; }

  // Seconds counted so far and seconds to wait.
  float elapsed = 0;
  float delay = 0;

 protected:
  explicit TScheduleEvent(uint8_t eventKind) : TLowEvent(eventKind) {}
};

class TScheduleActionEvent : public TScheduleEvent {
 public:
  using TObject::Create;
  // Always of kind 6.
  static TScheduleActionEvent* Create(float delay, BaseObject* target, uint8_t action);
  TScheduleActionEvent* asScheduleAction() override { return this; }

  BaseObject* target = nullptr;
  uint8_t action = 0;

 protected:
  TScheduleActionEvent() : TScheduleEvent(lekSchedule) {}
};

class TActionEvent : public TLowEvent {
 public:
  using TObject::Create;
  static TActionEvent* Create(uint8_t kind, TWindow* window, int32_t code);
  TActionEvent* asAction() override { return this; }

  TWindow* window = nullptr;
  int32_t code = 0;

 protected:
  explicit TActionEvent(uint8_t eventKind) : TLowEvent(eventKind) {}
};

// The recording form: decimal fields, each followed by ",": the kind; for a key
// record key and character; for a mouse record button, x, y, dx and dy. Other
// records give the kind alone; shift and window are never written.
WideString EventToText(TLowEvent* event);

// A new record from its recording form, or null. Key and mouse kinds (0 to 4)
// come back; every other kind, and empty text, gives null. A field that is not
// a decimal integer (or a line cut short) is logged as an error and gives null,
// so that one damaged line of a recording cannot stop a replay.
TLowEvent* EventFromText(const WideString& text);
