#pragma once
// Running the desktop's helper programs (the opener, the dialog programs).
#include <optional>
#include <string>
#include <vector>

// The full path of a program found on the PATH, or empty.
std::string FindOnPath(const std::string& program);
// Runs the program with the arguments, waits for it, and answers what it wrote
// to standard output when it ended with status 0; nullopt otherwise.
std::optional<std::string> RunAndRead(const std::string& path, const std::vector<std::string>& arguments);
// Starts the program and does not wait for it (nor leave it behind unreaped).
bool StartDetached(const std::string& path, const std::vector<std::string>& arguments);
