#pragma once
// The file-system boundary. Inside the program resource names keep "\" as the
// separator; ToSystemPath turns such a name into a Linux path. Game data is
// authored on a file system that ignores case, so when the exact path does not
// exist each component is matched without regard to case.
#include <string>
#include <string_view>

std::string ToSystemPath(std::string_view name);

bool FileExists(const std::string& name);
bool DirectoryExists(const std::string& name);
// Creates the folder and all missing parents; true when it exists afterwards.
bool ForceDirectories(const std::string& name);
bool DeleteFileAt(const std::string& name);
// True when the file exists and may not be written by this process.
bool IsFileReadOnly(const std::string& name);
