#pragma once
// Registers everything the program's lower folders register (RegisterAllClasses)
// and then the GUI: its classes, the layout the applet and its dummies use,
// and the GUI's applet parts. Every program that links the GUI calls this
// once at start-up instead of RegisterAllClasses; calling it again does nothing.
void RegisterGuiClasses();
