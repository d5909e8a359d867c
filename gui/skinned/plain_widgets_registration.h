#pragma once
// Registers the widgets that draw without a standard widget below them:
// StaticText, Image, Background, Splash, Preview and Screen.
void RegisterPlainWidgets();
