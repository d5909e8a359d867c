#pragma once
// The rules that turn the parts of a window message into the fields of an
// input record: the shift byte, the key and character of a key, the steps of
// the wheel. They take the keyboard state as the system gives it (256 bytes,
// 0x80 for a key that is down), so each rule reads as the table it follows.
#include <cstdint>

#include "compat/win32/win_types.h"

// Key messages: 1 shift and 4 control from the keyboard state, 2 when the key
// data says that alt is held (bit 29).
uint8_t KeyShiftState(LPARAM keyData, const BYTE* keyState);
// Wheel messages: 1 shift and 4 control from the keyboard state; never 2.
uint8_t WheelShiftState(const BYTE* keyState);
// Mouse messages: the message's own flags (left button 8, right button 16,
// middle button 32, shift 1, control 4), plus 2 when alt is down.
uint8_t MouseShiftState(WPARAM flags, const BYTE* keyState);

struct TKeyFields {
  uint16_t key = 0;
  uint16_t character = 0;
};
// From what the keyboard layout made of a key: exactly one code unit gives the
// character (backspace, tab, return and escape give their code as the key
// instead); none or several give the virtual-key code alone.
TKeyFields KeyFieldsOf(UINT virtualKey, const char16_t* units, int count);

// The wheel distance of a wheel message in notches, cut toward zero; positive
// away from the user.
int32_t WheelSteps(WPARAM wParam);
