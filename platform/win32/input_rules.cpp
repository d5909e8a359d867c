#include "platform/win32/input_rules.h"

#include "compat/win32/keyboard.h"
#include "compat/win32/window_messages.h"
#include "platform/input_records.h"

namespace {
bool Down(const BYTE* keyState, int virtualKey) { return (keyState[virtualKey] & 0x80) != 0; }

uint8_t ShiftAndControl(const BYTE* keyState) {
  uint8_t shift = 0;
  if (Down(keyState, VK_SHIFT)) shift |= kShiftShift;
  if (Down(keyState, VK_CONTROL)) shift |= kShiftControl;
  return shift;
}
}  // namespace

uint8_t KeyShiftState(LPARAM keyData, const BYTE* keyState) {
  uint8_t shift = ShiftAndControl(keyState);
  if (static_cast<uint32_t>(keyData) & KF_ALTDOWN_BIT) shift |= kShiftAlt;
  return shift;
}

uint8_t WheelShiftState(const BYTE* keyState) { return ShiftAndControl(keyState); }

uint8_t MouseShiftState(WPARAM flags, const BYTE* keyState) {
  uint8_t shift = 0;
  if (flags & MK_LBUTTON) shift |= kShiftLeftButton;
  if (flags & MK_RBUTTON) shift |= kShiftRightButton;
  if (flags & MK_MBUTTON) shift |= kShiftMiddleButton;
  if (flags & MK_SHIFT) shift |= kShiftShift;
  if (flags & MK_CONTROL) shift |= kShiftControl;
  if (Down(keyState, VK_MENU)) shift |= kShiftAlt;
  return shift;
}

TKeyFields KeyFieldsOf(UINT virtualKey, const char16_t* units, int count) {
  TKeyFields fields;
  if (count != 1) {
    fields.key = static_cast<uint16_t>(virtualKey);
    return fields;
  }
  char16_t unit = units[0];
  if (unit == 8 || unit == 9 || unit == 13 || unit == 27) {
    fields.key = unit;
  } else {
    fields.character = unit;
  }
  return fields;
}

int32_t WheelSteps(WPARAM wParam) { return GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA; }
