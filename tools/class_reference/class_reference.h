#pragma once
// The class reference of docs/: every registered class with its ancestors,
// published properties (type, default, stored rule, access) and methods, the
// enumerations they use and the script constants, written as Markdown from
// the published descriptions alone.
#include <string>
#include <vector>

class ClassInfo;

// The reference for the classes registered so far, in name order.
std::string ClassReferenceMarkdown();
// The reference for the given classes; a class outside them is named without a link.
std::string ClassReferenceMarkdown(std::vector<const ClassInfo*> classes);

// The command that rewrites the committed reference, for messages.
constexpr const char* kRegenerateClassReference = "cmake --build build/test --target class_reference_docs";
