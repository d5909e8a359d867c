#include "tools/class_reference/class_reference.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <sstream>
#include <vector>

#include "core/objects/class_registry.h"
#include "core/text/text.h"
#include "core/text/text_helpers.h"
#include "engine/script_engine.h"
#include "platform/sound/sound_engine.h"
#include "tools/class_reference/descriptions.h"
#include "tools/class_reference/new_object_values.h"

namespace {
// GitHub's anchor of a heading: lower case, spaces to dashes, the rest of the
// punctuation dropped.
std::string Anchor(const std::string& heading) {
  std::string anchor;
  for (char c : heading) {
    if (c == ' ') {
      anchor += '-';
    } else if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-') {
      anchor += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  return anchor;
}

// The classes the reference lists; a class outside it is named, not linked.
const std::vector<const ClassInfo*>* listed = nullptr;
const Descriptions* descriptions = nullptr;
const NewObjectValues* newValues = nullptr;

std::string DescriptionOf(const std::string& key) {
  const Description* d = descriptions->find(key);
  return d ? d->text : "(not described yet)";
}

std::string ClassLink(const std::string& name) {
  const bool inList = std::any_of(listed->begin(), listed->end(), [&](const ClassInfo* c) { return c->name() == name; });
  if (!inList) return "`" + name + "`";
  return "[" + name + "](#" + Anchor(name) + ")";
}

std::string EnumHeading(const EnumInfo& e) { return "enum " + e.name(); }

std::string TypeText(const TypeInfo& type) {
  switch (type.kind) {
    case TypeKind::Object: return ClassLink(type.typeName());
    case TypeKind::Enumeration:
      if (type.enumInfo == &BooleanEnumInfo()) return "Boolean";
      return "[" + type.name + "](#" + Anchor(EnumHeading(*type.enumInfo)) + ")";
    case TypeKind::Set: return "set of [" + type.enumInfo->name() + "](#" + Anchor(EnumHeading(*type.enumInfo)) + ")";
    default: return type.name;
  }
}

std::string FloatText(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

// The value the object writer leaves out, for a class no object of which can
// be built by name. "none" when the property is always written, "-" when it
// is never written.
std::string DeclaredDefaultText(const PropInfo& p) {
  if (p.stored == StoredRule::Never) return "-";
  switch (p.kind()) {
    case TypeKind::Integer:
    case TypeKind::Int64: return p.defaultValue == kNoDefault ? "none" : std::to_string(p.defaultValue);
    case TypeKind::Enumeration:
      if (p.defaultValue == kNoDefault) return "none";
      return p.type.enumInfo->nameOf(p.defaultValue);
    case TypeKind::Set:
      if (p.defaultValue == kNoDefault) return "none";
      return WideToUtf8(SetToText(*p.type.enumInfo, static_cast<uint32_t>(p.defaultValue)));
    case TypeKind::Float: return FloatText(p.floatDefault);
    case TypeKind::WideText:
    case TypeKind::AnsiText: return "empty";
    case TypeKind::Object:
    case TypeKind::Callback: return "nil";
    case TypeKind::Variant: return "empty";
  }
  return {};
}

// What a new object of the class holds, else what the writer leaves out.
std::string DefaultText(const ClassInfo& cls, const PropInfo& p) {
  const std::string read = newValues->of(cls, p);
  return read.empty() ? DeclaredDefaultText(p) : read;
}

std::string StoredText(const PropInfo& p) {
  switch (p.stored) {
    case StoredRule::Always: return "yes";
    case StoredRule::Never: return "no";
    case StoredRule::Predicate: return "when the object says so";
  }
  return {};
}

void WriteAncestors(std::ostream& out, const ClassInfo& cls) {
  std::vector<std::string> line;
  for (const ClassInfo* c = cls.parent(); c; c = c->parent()) line.push_back(ClassLink(c->name()));
  if (line.empty()) {
    out << "Root class.\n\n";
    return;
  }
  out << "Ancestors: ";
  for (size_t i = 0; i < line.size(); ++i) out << (i ? " → " : "") << line[i];
  out << ".\n\n";
}

void WriteProperties(std::ostream& out, const ClassInfo& cls) {
  if (cls.ownProperties().empty()) return;
  out << "| Property | Type | Default | Stored | Access | What it is |\n|---|---|---|---|---|---|\n";
  for (const PropInfo& p : cls.ownProperties()) {
    out << "| `" << p.name << "` | " << TypeText(p.type) << " | " << DefaultText(cls, p) << " | " << StoredText(p)
        << " | " << (p.readOnly() ? "read-only" : "read/write") << " | " << DescriptionOf(cls.name() + "." + p.name)
        << " |\n";
  }
  out << "\n";
}

// Inherited properties a new object of this class holds otherwise than its
// parent says (in its table or in this same line).
void WriteInheritedDefaults(std::ostream& out, const ClassInfo& cls) {
  std::vector<std::string> changed;
  for (const PropInfo* p : cls.properties()) {
    if (p->declaredBy == &cls || !p->declaredBy) continue;
    const std::string here = newValues->of(cls, *p);
    const std::string parents = p->declaredBy == cls.parent() ? DefaultText(*cls.parent(), *p)
                                                              : newValues->of(*cls.parent(), *p);
    if (!here.empty() && here != parents) changed.push_back("`" + p->name + "` " + here);
  }
  if (changed.empty()) return;
  out << "A new " << cls.name() << " holds ";
  for (size_t i = 0; i < changed.size(); ++i) out << (i ? ", " : "") << changed[i];
  out << ".\n\n";
}

// "explode(x, y)", the parameter names from the descriptions.
std::string CallText(const ClassInfo& cls, const MethodInfo& m) {
  const Description* d = descriptions->find(cls.name() + "." + m.name);
  std::string call = m.name + "(";
  for (size_t i = 0; i < m.params.size(); ++i) {
    const bool named = d && i < d->parameters.size();
    call += (i ? ", " : "") + (named ? d->parameters[i] : "arg" + std::to_string(i + 1));
  }
  return call + ")";
}

void WriteMethods(std::ostream& out, const ClassInfo& cls) {
  if (cls.ownMethods().empty()) return;
  out << "| Method | Parameters | Result | What it does |\n|---|---|---|---|\n";
  for (const MethodInfo& m : cls.ownMethods()) {
    const Description* d = descriptions->find(cls.name() + "." + m.name);
    std::string params;
    for (size_t i = 0; i < m.params.size(); ++i) {
      const bool named = d && i < d->parameters.size();
      params += (i ? ", " : "") + (named ? d->parameters[i] + ": " : "") + TypeText(m.params[i]);
    }
    out << "| `" << CallText(cls, m) << "` | " << (params.empty() ? "none" : params) << " | "
        << (m.hasResult ? TypeText(m.result) : "none") << " | " << DescriptionOf(cls.name() + "." + m.name)
        << " |\n";
  }
  out << "\n";
}

void WriteClass(std::ostream& out, const ClassInfo& cls) {
  out << "### " << cls.name() << "\n\n" << DescriptionOf(cls.name()) << "\n\n";
  WriteAncestors(out, cls);
  if (cls.isAbstract()) out << "Not created by name: a base of other classes, or made by the program itself.\n\n";
  WriteInheritedDefaults(out, cls);
  if (cls.ownProperties().empty() && cls.ownMethods().empty()) {
    out << "Publishes nothing of its own.\n\n";
    return;
  }
  WriteProperties(out, cls);
  WriteMethods(out, cls);
}

// The enumerations the classes' properties and methods use, by name.
std::map<std::string, const EnumInfo*> UsedEnumerations(const std::vector<const ClassInfo*>& classes) {
  std::map<std::string, const EnumInfo*> used;
  auto note = [&](const TypeInfo& t) {
    if (t.enumInfo && t.enumInfo != &BooleanEnumInfo()) used[t.enumInfo->name()] = t.enumInfo;
  };
  for (const ClassInfo* cls : classes) {
    for (const PropInfo& p : cls->ownProperties()) note(p.type);
    for (const MethodInfo& m : cls->ownMethods()) {
      for (const TypeInfo& t : m.params) note(t);
      if (m.hasResult) note(m.result);
    }
  }
  return used;
}

void WriteEnumerations(std::ostream& out, const std::map<std::string, const EnumInfo*>& enums) {
  out << "## Enumerations\n\n"
         "In an object file an enumerated property is written by its name, a set as its names separated by "
         "commas, \"name1, name2\"; "
         "scripts read the value's number and write the number or the name.\n\n";
  for (const auto& [name, info] : enums) {
    out << "### " << EnumHeading(*info) << "\n\n| Value | Name |\n|---|---|\n";
    for (int i = 0; i < info->count(); ++i) out << "| " << i << " | `" << info->nameOf(i) << "` |\n";
    out << "\n";
  }
}

void WriteConstants(std::ostream& out) {
  out << "## Script constants\n\n"
         "Every script sees these names as integer globals: the key codes of `event.paramKey` and the "
         "modal results.\n\n| Name | Value |\n|---|---|\n";
  for (const ScriptConstant& c : ScriptConstants()) out << "| `" << WideToUtf8(c.name) << "` | " << c.value << " |\n";
  out << "\n";
}
}  // namespace

std::vector<const ClassInfo*> ReferenceClasses() {
  std::vector<const ClassInfo*> classes = RegisteredClasses();
  // The sound engine is made by the applet, not by name, yet scripts reach it as "soundEngine".
  for (const ClassInfo* c = SoundEngineClass(); c; c = c->parent()) {
    if (std::find(classes.begin(), classes.end(), c) == classes.end()) classes.push_back(c);
  }
  return classes;
}

std::string ClassReferenceMarkdown() {
  const std::vector<const ClassInfo*> classes = ReferenceClasses();
  std::vector<const ClassInfo*> built;
  // The sound engine's own class would open the sound device; its base holds the same values.
  for (const ClassInfo* c : classes) if (c != SoundEngineClass()) built.push_back(c);
  return ClassReferenceMarkdown(classes, Descriptions::Parse(DescriptionsFileText()), NewObjectValues(built));
}

std::string ClassReferenceMarkdown(std::vector<const ClassInfo*> classes, const Descriptions& described,
                                   const NewObjectValues& values) {
  std::stable_sort(classes.begin(), classes.end(),
                   [](const ClassInfo* a, const ClassInfo* b) { return a->name() < b->name(); });
  listed = &classes;
  descriptions = &described;
  newValues = &values;
  std::ostringstream out;
  out << "# Class reference\n\n"
         "Written by `tools/class_reference` from the published class descriptions: do not edit by hand. "
         "After changing a published property or method, or registering a class, run\n`"
      << kRegenerateClassReference
      << "`\nand commit the result; the suite fails while this file differs from what the program publishes.\n\n"
         "Each class lists the properties and methods it publishes itself; those of its ancestors apply too. "
         "Published names are both the object-file vocabulary (elements and attributes of \".qxml\") and the "
         "script API (found ignoring case). *Default* is what a new object holds, read back from one "
         "the program builds; a class that cannot be built by name shows the value the object writer leaves "
         "out instead (*none*: always written, *-*: never written), and each class below it says where a new "
         "object of its own holds otherwise. The parameter names of methods are those a script passes. *Stored* "
         "says whether the property is written to object files at all; \"when the object says so\" depends "
         "on the object's state.\n\n"
         "## Classes\n\n";
  for (const ClassInfo* cls : classes) out << "- " << ClassLink(cls->name()) << "\n";
  out << "\n";
  for (const ClassInfo* cls : classes) WriteClass(out, *cls);
  WriteEnumerations(out, UsedEnumerations(classes));
  WriteConstants(out);
  listed = nullptr;
  descriptions = nullptr;
  newValues = nullptr;
  return out.str();
}
