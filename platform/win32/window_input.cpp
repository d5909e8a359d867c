#include "platform/win32/window_input.h"

TWindowInput& WindowInput() {
  static TWindowInput input;
  return input;
}
