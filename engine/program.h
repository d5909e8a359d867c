#pragma once
// The program's entry: installs the log writer and the step handler, creates
// the engine root, chooses the main file, pre-reads the applet, loads it and
// runs the main loop until no applet is left.
#include <string>
#include <vector>

// The main file: the first argument as it stands; else, with D the program
// file's path without its extension, D/main.qxml when the folder D exists;
// else D.qfs when that file exists; else game.qfs, else main.qfs beside the
// program; else empty.
std::string ChooseMainFile(const std::vector<std::string>& arguments, const std::string& programFile);

// Runs the whole program; answers the process exit code.
int RunProgram(int argc, char** argv);

// The main loop: steps every applet child of the engine, last to first, frees
// the terminated ones, and ends on the pass on which none is left.
void RunMainLoop();
