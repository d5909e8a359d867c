#pragma once
// Registers the script console's classes: TConsole and TConsoleEdit.
void RegisterConsole();
