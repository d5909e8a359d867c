#pragma once
// Registers the standard widget classes with the class registry.
void RegisterStandardWidgets();
