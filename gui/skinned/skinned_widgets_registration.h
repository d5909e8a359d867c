#pragma once
// Registers the skinned widgets built on the standard ones (Button, Edit,
// List, ObjectList, ImageList, Dropdown, ColorDropdown, Checkbox, TrackBar,
// Toggle), the forms' CloseButton, and the console's TConsole and
// TConsoleEdit.
void RegisterSkinnedStandardWidgets();
