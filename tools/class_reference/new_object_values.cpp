#include "tools/class_reference/new_object_values.h"

#include <cstdio>

#include "core/objects/class_info.h"
#include "core/text/text.h"

namespace {
std::string Quoted(const std::string& text) { return text.empty() ? "empty" : "\"" + text + "\""; }

std::string FloatText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}
// "0, 1, 0" for a held value made only of numbers (a point, a coordinate,
// a rectangle); empty for anything else.
std::string NumbersText(TObject* held) {
  std::string text;
  for (const PropInfo* p : held->classInfo().properties()) {
    if (p->stored == StoredRule::Never) continue;
    if (p->kind() != TypeKind::Float) return {};
    text += (text.empty() ? "" : ", ") + FloatText(GetFloatProp(held, *p));
  }
  return text;
}
}  // namespace

std::string ReferenceValueText(const PropInfo& p, TObject* object) {
  switch (p.kind()) {
    case TypeKind::Integer: return std::to_string(GetOrdProp(object, p));
    case TypeKind::Int64: return std::to_string(GetInt64Prop(object, p));
    case TypeKind::Enumeration: {
      const std::string name = p.type.enumInfo->nameOf(GetOrdProp(object, p));
      return name.empty() ? std::to_string(GetOrdProp(object, p)) : name;
    }
    case TypeKind::Set: {
      const std::string text = WideToUtf8(SetToText(*p.type.enumInfo, static_cast<uint32_t>(GetOrdProp(object, p))));
      return text.empty() ? "none of them" : text;
    }
    case TypeKind::Float: return FloatText(GetFloatProp(object, p));
    case TypeKind::WideText: return Quoted(WideToUtf8(GetWideStrProp(object, p)));
    case TypeKind::AnsiText: return Quoted(GetStrProp(object, p));
    case TypeKind::Object: {
      TObject* held = GetObjectProp(object, p);
      if (!held) return "nil";
      const std::string values = NumbersText(held);
      return values.empty() ? "a `" + held->classInfo().name() + "`" : values;
    }
    case TypeKind::Callback: return "nil";
    case TypeKind::Variant: {
      const Variant value = GetPropVariant(object, p);
      return value.isEmpty() ? "empty" : Quoted(WideToUtf8(value.toText()));
    }
  }
  return {};
}

NewObjectValues::NewObjectValues(const std::vector<const ClassInfo*>& classes) {
  for (const ClassInfo* cls : classes) {
    TObject* object = cls->create(nullptr);
    if (!object) continue;
    for (const PropInfo* p : cls->properties()) values_[{cls, p}] = ReferenceValueText(*p, object);
    object->Free();
  }
}

std::string NewObjectValues::of(const ClassInfo& cls, const PropInfo& prop) const {
  const auto it = values_.find({&cls, &prop});
  if (it != values_.end()) return it->second;
  // A class that is not built shows what most new objects below it hold.
  std::map<std::string, int> held;
  for (const auto& [key, value] : values_) {
    if (key.second == &prop && key.first->inheritsFrom(cls)) ++held[value];
  }
  std::string most;
  int count = 0;
  for (const auto& [value, times] : held) {
    if (times > count) most = value, count = times;
  }
  return most;
}
