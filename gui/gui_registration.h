#pragma once
// Registers everything the program's lower folders register (RegisterAllClasses)
// and then the GUI: its classes, the layout the applet and its dummies use,
// and the GUI's applet parts. The program registers through it
// (RegisterProgramClasses), and so do tests of the GUI; calling it again does
// nothing.
void RegisterGuiClasses();
