// A caret its device left on a window goes with the window.
#include <gtest/gtest.h>

#include "core/objects/class_builder.h"
#include "platform/caret.h"
#include "platform/win32/window.h"

namespace {
class TCountedCaret : public TCaret {
  Q_OBJECT(TCountedCaret, TCaret)

 public:
  static int freed;
  void Destroy() override {
    freed += 1;
    inherited::Destroy();
  }
};
int TCountedCaret::freed = 0;
}  // namespace

const ClassInfo& TCountedCaret::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TCountedCaret>("TCountedCaret").build();
  return info;
}

TEST(WindowCaret, IsFreedWithItsWindow) {
  auto* window = New<TWindow>(nullptr);
  window->caret = New<TCountedCaret>(nullptr);
  window->Free();
  EXPECT_EQ(TCountedCaret::freed, 1);
}
