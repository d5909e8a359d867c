#pragma once
// The class reference of docs/: every registered class with its ancestors,
// published properties (type, default, stored rule, access) and methods, the
// enumerations they use and the script constants, written as Markdown from
// the published descriptions, the one-line descriptions beside the generator
// and the values new objects hold.
#include <string>
#include <vector>

class ClassInfo;
class Descriptions;
class NewObjectValues;

// The classes the reference lists: those registered so far, and the sound
// engine's, which scripts reach as "soundEngine" but the program makes itself.
std::vector<const ClassInfo*> ReferenceClasses();

// The reference for ReferenceClasses(), in name order, described by
// tools/class_reference/descriptions.txt.
std::string ClassReferenceMarkdown();
// The reference for the given classes; a class outside them is named without a link.
std::string ClassReferenceMarkdown(std::vector<const ClassInfo*> classes, const Descriptions& descriptions,
                                   const NewObjectValues& values);

// The command that rewrites the committed reference, for messages.
constexpr const char* kRegenerateClassReference = "cmake --build build/test --target class_reference_docs";
