#pragma once
// The program's entry: installs the log writer and the step handler, creates
// the engine root, chooses the main file, pre-reads the applet, loads it and
// runs the main loop until no applet is left.
#include <string>
#include <vector>

#include "core/text/text.h"

// The one-line usage `qplay --help` prints.
extern const char* const kUsage;

// The main file: the first argument as it stands (a folder: its main.qxml);
// else, with D the program file's path without its extension, D/main.qxml
// when the folder D exists; else D.qfs when that file exists; else game.qfs,
// else main.qfs beside the program; else empty.
std::string ChooseMainFile(const std::vector<std::string>& arguments, const std::string& programFile);

// A game is its folder's main file: for an object file named otherwise
// ("level2.qxml"), its name, which the program refuses to run; else empty.
std::string NotTheMainFile(const std::string& mainFile);

// Whether there is a game at the main file: the file itself, or for a folder
// game its main.qxml or main.qbin.
bool MainFileFound(const std::string& mainFile);

// The log folder's name for a game without a title: the name of the folder
// that holds its main file, or the archive's name without its extension.
WideString GameLogName(const std::string& mainFile);

// From now on a request to end that the main thread does not honour within a
// few seconds ends the process, with the log's closing line.
void ArmProgramCloseWatch();

// Runs the whole program; answers the process exit code: 0 when the game
// ran, 1 when there was none to run or it failed.
int RunProgram(int argc, char** argv);

// The main loop: steps every applet child of the engine, last to first, frees
// the terminated ones, and ends on the pass on which none is left.
void RunMainLoop();
