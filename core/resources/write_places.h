#pragma once
// Where a running game may write: its own folder (the folder of its main
// file) and its data folder (under the user's application-data folder).
// Saves, stored objects, compiled caches, screenshots and converted copies
// are written only there; a name that leads anywhere else, through "..", a
// symbolic link, or an absolute path, is refused with a log line. The
// program's own folder (its libraries and modules) is never a write place,
// whichever manager a write goes through: only a game folder below it is.
#include <string>

// Adds a folder that the running games may write into (the engine adds the
// game's folder when it loads a game; the applet adds its data folder).
void AddWritePlace(const std::string& folder);
// Forgets every place (the engine's end).
void ClearWritePlaces();

// True when a file at `path` (UTF-8, "\" or "/") lies inside one of the
// places. Otherwise logs the error "Write refused outside the game's folders: "
// followed by the path, and answers false. Every writer of game-named files
// that does not go through a game's own resource manager asks this first.
bool MayWriteFile(const std::string& path);

// The one check of every resource manager that writes: the file lies below
// the manager's root (links followed) and not in the program's own folder.
// Otherwise logs the refusal and answers false.
bool MayWriteBelow(const std::string& path, const std::string& root);
