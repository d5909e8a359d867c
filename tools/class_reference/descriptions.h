#pragma once
// The one-line descriptions of the class reference: what each published
// class, property and method does, and the names of a method's parameters
// (the class descriptions know only their types). Kept in
// tools/class_reference/descriptions.txt, one entry a line:
//
//   Class = what the class is
//   Class.property = what the property holds
//   Class.method(x, y) = what the method does with x and y
//
// Blank lines and lines starting with "#" are skipped.
#include <map>
#include <string>
#include <vector>

class ClassInfo;

struct Description {
  std::string text;
  std::vector<std::string> parameters;  // methods only
};

class Descriptions {
 public:
  Descriptions() = default;
  // Reads the text of a descriptions file; a line it cannot read goes to `problems`.
  static Descriptions Parse(const std::string& text, std::vector<std::string>* problems = nullptr);

  // "Class", "Class.property" or "Class.method", compared as written.
  const Description* find(const std::string& key) const;

  // What the classes publish without a description, and methods whose
  // parameter names do not match their parameter count, one line each.
  std::vector<std::string> missing(const std::vector<const ClassInfo*>& classes) const;

 private:
  std::map<std::string, Description> entries_;
};

// The file beside the generator, for the tool and the tests.
std::string DescriptionsFileText();
