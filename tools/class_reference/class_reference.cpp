#include "tools/class_reference/class_reference.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <sstream>
#include <vector>

#include "core/class_registry.h"
#include "core/text.h"
#include "core/text_helpers.h"
#include "engine/script_engine.h"

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

// The value the object writer leaves out: what a property holds unless the
// object file or a script sets it. "none" when the property is always
// written, "-" when it is never written.
std::string DefaultText(const PropInfo& p) {
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
  out << "| Property | Type | Default | Stored | Access |\n|---|---|---|---|---|\n";
  for (const PropInfo& p : cls.ownProperties()) {
    out << "| `" << p.name << "` | " << TypeText(p.type) << " | " << DefaultText(p) << " | " << StoredText(p)
        << " | " << (p.readOnly() ? "read-only" : "read/write") << " |\n";
  }
  out << "\n";
}

void WriteMethods(std::ostream& out, const ClassInfo& cls) {
  if (cls.ownMethods().empty()) return;
  out << "| Method | Parameters | Result |\n|---|---|---|\n";
  for (const MethodInfo& m : cls.ownMethods()) {
    std::string params;
    for (const TypeInfo& t : m.params) params += (params.empty() ? "" : ", ") + TypeText(t);
    out << "| `" << m.name << "` | " << (params.empty() ? "none" : params) << " | "
        << (m.hasResult ? TypeText(m.result) : "none") << " |\n";
  }
  out << "\n";
}

void WriteClass(std::ostream& out, const ClassInfo& cls) {
  out << "### " << cls.name() << "\n\n";
  WriteAncestors(out, cls);
  if (cls.isAbstract()) out << "Not created by name: a base of other classes, or made by the program itself.\n\n";
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
         "In an object file an enumerated property is written by its name, a set as \"[name1,name2]\"; "
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

std::string ClassReferenceMarkdown() { return ClassReferenceMarkdown(RegisteredClasses()); }

std::string ClassReferenceMarkdown(std::vector<const ClassInfo*> classes) {
  std::stable_sort(classes.begin(), classes.end(),
                   [](const ClassInfo* a, const ClassInfo* b) { return a->name() < b->name(); });
  listed = &classes;
  std::ostringstream out;
  out << "# Class reference\n\n"
         "Written by `tools/class_reference` from the published class descriptions: do not edit by hand. "
         "After changing a published property or method, or registering a class, run\n`"
      << kRegenerateClassReference
      << "`\nand commit the result; the suite fails while this file differs from what the program publishes.\n\n"
         "Each class lists the properties and methods it publishes itself; those of its ancestors apply too. "
         "Published names are both the object-file vocabulary (elements and attributes of \".qxml\") and the "
         "script API (found ignoring case). *Default* is the value the object writer leaves out, which a new "
         "object holds; *none* means the property is always written, *-* that it is never written. *Stored* "
         "says whether the property is written to object files at all; \"when the object says so\" depends "
         "on the object's state.\n\n"
         "## Classes\n\n";
  for (const ClassInfo* cls : classes) out << "- " << ClassLink(cls->name()) << "\n";
  out << "\n";
  for (const ClassInfo* cls : classes) WriteClass(out, *cls);
  WriteEnumerations(out, UsedEnumerations(classes));
  WriteConstants(out);
  listed = nullptr;
  return out.str();
}
