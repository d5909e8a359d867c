#pragma once
// What a new object holds: each class that can be built by name is built, and
// each of its published properties read back through the property's getter,
// so the reference shows what an author finds, not what the writer leaves out.
#include <map>
#include <string>
#include <vector>

class ClassInfo;
struct PropInfo;

class NewObjectValues {
 public:
  // Builds each concrete class of the list once and reads all its properties.
  explicit NewObjectValues(const std::vector<const ClassInfo*>& classes);

  // The value a new object of `cls` holds in `prop`, as the reference shows it.
  // For a class that cannot be built, what most new objects of its descendants
  // hold; empty when none could be built.
  std::string of(const ClassInfo& cls, const PropInfo& prop) const;

 private:
  std::map<std::pair<const ClassInfo*, const PropInfo*>, std::string> values_;
};

// A property's value read from an object, in the reference's words: numbers
// as written, enumerations by name, texts in quotes ("empty" for none), an
// object by its class ("nil" for none).
std::string ReferenceValueText(const PropInfo& prop, class TObject* object);
