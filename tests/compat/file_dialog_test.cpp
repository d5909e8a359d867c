// The file-open dialog through the desktop's dialog programs.
#include <gtest/gtest.h>

#include "compat/win32/file_dialog.h"
#include "tests/compat/fake_program.h"

namespace {
constexpr char16_t kFilter[] = u"all files\0*.qxml;*.qfs\0images\0*.png\0";

bool Ask(char16_t* buffer, DWORD capacity) {
  OPENFILENAMEW dialog;
  dialog.lpstrFilter = kFilter;
  dialog.lpstrFile = buffer;
  dialog.nMaxFile = capacity;
  dialog.lpstrTitle = u"Open";
  return GetOpenFileNameW(&dialog) == TRUE;
}

TEST(compatFileDialog, ZenityChoiceBecomesThePath) {
  FakePrograms programs;
  programs.add("zenity", "/home/player/Spiele/größe.qxml\n");
  char16_t chosen[260] = {0};
  ASSERT_TRUE(Ask(chosen, 260));
  EXPECT_EQ(std::u16string(chosen), u"/home/player/Spiele/größe.qxml");
  EXPECT_EQ(programs.arguments("zenity"),
            "--file-selection\n--title=Open\n--file-filter=all files | *.qxml *.qfs\n--file-filter=images | *.png\n");
}

TEST(compatFileDialog, CancelledDialogChoosesNothing) {
  FakePrograms programs;
  programs.add("zenity", "", 1);
  char16_t chosen[260] = u"unchanged";
  EXPECT_FALSE(Ask(chosen, 260));
  EXPECT_EQ(std::u16string(chosen), u"unchanged");
}

TEST(compatFileDialog, KdialogIsTheSecondChoice) {
  FakePrograms programs;
  programs.add("kdialog", "/tmp/x.qfs\n");
  char16_t chosen[260] = {0};
  ASSERT_TRUE(Ask(chosen, 260));
  EXPECT_EQ(std::u16string(chosen), u"/tmp/x.qfs");
  EXPECT_EQ(programs.arguments("kdialog"),
            "--getopenfilename\n.\n*.qxml *.qfs|all files\n*.png|images\n--title\nOpen\n");
}

TEST(compatFileDialog, NoDialogProgramChoosesNothing) {
  FakePrograms programs;
  char16_t chosen[260] = {0};
  EXPECT_FALSE(Ask(chosen, 260));
}

TEST(compatFileDialog, APathLongerThanTheBufferIsRefused) {
  FakePrograms programs;
  programs.add("zenity", "/a/very/long/path.qxml");
  char16_t chosen[8] = {0};
  EXPECT_FALSE(Ask(chosen, 8));
  EXPECT_EQ(chosen[0], 0);
}
}  // namespace
