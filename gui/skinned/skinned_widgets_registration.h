#pragma once
// Registers the skinned widgets: those built on the standard ones (Button,
// Edit, List, ObjectList, ImageList, Dropdown, ColorDropdown, Checkbox,
// TrackBar, Toggle), then those that draw without a standard widget below
// them (StaticText, Image, Background, Splash, Preview, Screen).
void RegisterSkinnedWidgets();
