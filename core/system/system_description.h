#pragma once
// The two lines of a crash report that describe the machine: the operating
// system with its version and the processor with its speed and instruction-set
// extensions. They are made while the program runs normally (reading files and
// asking the processor), so that the crash path only copies them.
#include <string>

// "System   : Linux <distribution>, Version: <major>.<minor>, Build: <patch in
// hex>, \"<kernel build text>\""
std::string SystemDescriptionLine();
// "Processor: <vendor>, <name>, <MHz> MHz <extensions>"
std::string ProcessorDescriptionLine();
