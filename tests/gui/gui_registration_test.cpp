// Each GUI folder registers the classes it holds and none of another
// folder's: a program that takes one folder's classes gets exactly those.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/objects/class_registry.h"
#include "gui/console/console_registration.h"
#include "gui/design/design_registration.h"
#include "gui/forms/forms_registration.h"
#include "gui/gui_registration.h"
#include "gui/skinned/skinned_widgets_registration.h"
#include "gui/widgets/widgets_registration.h"

namespace {
struct FolderCase {
  const char* folder;
  void (*registerFolder)();
  std::vector<std::string> classes;
};

const std::vector<FolderCase>& Folders() {
  static const std::vector<FolderCase> folders = {
      {"widgets", RegisterStandardWidgets,
       {"TStdButton", "TStdEdit", "TStdList", "TStdDropdown", "TStdCheckBox", "TStdTrackbar", "TStdToggle"}},
      {"skinned", RegisterSkinnedWidgets,
       {"Button", "Edit", "List", "ObjectList", "ImageList", "Dropdown", "ColorDropdown", "Checkbox", "TrackBar",
        "Toggle", "StaticText", "Image", "Background", "Splash", "Preview", "Screen"}},
      {"forms", RegisterForms, {"Form", "ImageForm", "DebugForm", "Panel", "Painter", "EffectText", "CloseButton"}},
      {"console", RegisterConsole, {"TConsole", "TConsoleEdit"}},
      {"design", RegisterDesignTools, {"Frame", "Inspector", "InspectorForm"}},
  };
  return folders;
}

// In a fresh process: registers one folder, then exits 0 when it holds its
// own classes and no class another folder registers (its ancestors aside).
[[noreturn]] void RegisterOneFolderAndCheck(const FolderCase& row) {
  row.registerFolder();
  bool right = true;
  for (const std::string& name : row.classes) right = right && GetClass(name) != nullptr;
  for (const FolderCase& other : Folders()) {
    if (&other == &row) continue;
    for (const std::string& name : other.classes) {
      const ClassInfo* found = GetClass(name);
      bool ancestor = false;
      for (const std::string& own : row.classes) ancestor = ancestor || (found && GetClass(own)->inheritsFrom(*found));
      right = right && (!found || ancestor);
    }
  }
  std::exit(right ? 0 : 1);
}
}  // namespace

TEST(GuiRegistration, EachFolderRegistersItsOwnClasses) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const FolderCase& row : Folders()) {
    SCOPED_TRACE(row.folder);
    EXPECT_EXIT(RegisterOneFolderAndCheck(row), testing::ExitedWithCode(0), "");
  }
}

TEST(GuiRegistration, TheGuiRegistersEveryFolder) {
  RegisterGuiClasses();
  for (const FolderCase& row : Folders()) {
    for (const std::string& name : row.classes) EXPECT_NE(GetClass(name), nullptr) << row.folder << " " << name;
  }
}
