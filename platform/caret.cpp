#include "platform/caret.h"

#include "core/objects/class_builder.h"

const ClassInfo& TCaret::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TCaret>("TCaret").build();
  return info;
}

void TCaret::Blink(float deltaTime) {
  alpha += speed * deltaTime;
  if (alpha > 1) {
    alpha = 1;
    speed = -kCaretBlinkSpeed;
  } else if (alpha < 0) {
    alpha = 0;
    speed = kCaretBlinkSpeed;
  }
}

TColorARGB TCaret::CurrentColor() const {
  uint32_t a = static_cast<uint32_t>(static_cast<int32_t>(alpha * 255)) & 0xFF;
  return (a << 24) | (color & 0xFFFFFF);
}
