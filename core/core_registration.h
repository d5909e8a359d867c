#pragma once
// Registers the object core's classes and class references. The program calls
// the subsystems' registration functions once at start-up, in a fixed order:
// registration order decides which of two same-named classes is found.
void RegisterCoreClasses();
