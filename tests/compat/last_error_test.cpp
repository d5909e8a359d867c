// Error codes and their texts.
#include <gtest/gtest.h>

#include "compat/win32/last_error.h"

namespace {
TEST(compatLastError, KnownCodesHaveATextWithoutLineEnd) {
  char text[200];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_CLASS_ALREADY_EXISTS, 0, text, sizeof(text),
                           nullptr);
  EXPECT_EQ(n, 21u);
  EXPECT_STREQ(text, "Class already exists.");
}

TEST(compatLastError, TextIsCutToTheBuffer) {
  char text[6];
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_CLASS_ALREADY_EXISTS, 0, text, 6, nullptr), 5u);
  EXPECT_STREQ(text, "Class");
}

TEST(compatLastError, UnknownCodesHaveNoText) {
  char text[100];
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 987654, 0, text, sizeof(text), nullptr), 0u);
}

TEST(compatLastError, LastErrorIsKeptUntilSetAgain) {
  SetLastError(1234);
  EXPECT_EQ(GetLastError(), 1234u);
  SetLastError(0);
  EXPECT_EQ(GetLastError(), 0u);
}
}  // namespace
