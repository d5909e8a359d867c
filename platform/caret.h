#pragma once
// The text caret of a window: a blinking rectangle drawn last in every frame.
#include <cstdint>

#include "core/geometry/geometry.h"
#include "core/objects/component.h"

inline constexpr float kCaretBlinkSpeed = 3.0f;

class TCaret : public TSomePersistent {
  Q_OBJECT(TCaret, TSomePersistent)

 public:
  int32_t width = 0;
  int32_t height = 0;
  int32_t x = 0;
  int32_t y = 0;
  TMatrix4F worldMatrix = IdentityMatrix4F;
  TColorARGB color = 0;
  int32_t showCount = 0;
  float alpha = 0;                 // 0 to 1
  float speed = kCaretBlinkSpeed;  // alpha change a second; the sign is the direction

  // One blink step: alpha moves by speed x delta and bounces between 0 and 1.
  void Blink(float deltaTime);
  // The caret's colour at its current alpha.
  TColorARGB CurrentColor() const;
};
