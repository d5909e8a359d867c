#pragma once
// Every class the program registers at start-up: the engine's subsystems and
// the libraries above it. The program and the class reference generator both
// register through this one function, so the reference lists exactly what a
// game can use.
void RegisterProgramClasses();
