#include "gui/design/inspector_rows.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "core/objects/component.h"
#include "core/text/text_helpers.h"

namespace {
// Sub-objects nest a few levels (a font inside a widget, a rect inside a
// font); deeper nesting is cut here.
constexpr size_t kMaxDepth = 6;

// A number a float property can hold: nan, inf and values past the float
// range (1e40) would reach the object as sizes and positions nothing can
// draw. Text that reads as no number is left to the property's own rule.
bool FloatInRange(const WideString& text) {
  const std::string narrow = WideToAnsi(TrimW(text));
  char* end = nullptr;
  const double value = std::strtod(narrow.c_str(), &end);
  if (end == narrow.c_str()) return true;
  return std::isfinite(value) && std::fabs(value) <= FLT_MAX;
}

bool Listed(TObject* object, const PropInfo& prop) {
  return prop.kind() != TypeKind::Callback && IsStoredProp(object, prop);
}

void AppendRows(TObject* object, std::vector<std::string>& path, std::vector<TObject*>& visited,
                std::vector<InspectorRow>& rows) {
  std::vector<const PropInfo*> props = object->classInfo().properties();
  std::stable_sort(props.begin(), props.end(),
                   [](const PropInfo* a, const PropInfo* b) { return CompareTextW(AnsiToWide(a->name), AnsiToWide(b->name)) < 0; });
  for (const PropInfo* prop : props) {
    if (!Listed(object, *prop)) continue;
    TObject* nested = prop->kind() == TypeKind::Object ? GetObjectProp(object, *prop) : nullptr;
    if (prop->kind() == TypeKind::Object && !nested) continue;
    rows.push_back(InspectorRow{AnsiToWide(prop->name), RowValue(object, *prop), path});
    const bool owned = nested && !dynamic_cast<TGComponent*>(nested);
    if (!owned || path.size() >= kMaxDepth || std::find(visited.begin(), visited.end(), nested) != visited.end()) {
      continue;
    }
    visited.push_back(nested);
    path.push_back(prop->name);
    AppendRows(nested, path, visited, rows);
    path.pop_back();
  }
}
}  // namespace

std::vector<InspectorRow> BuildInspectorRows(TObject* root) {
  std::vector<InspectorRow> rows;
  if (!root) return rows;
  std::vector<std::string> path;
  std::vector<TObject*> visited{root};
  AppendRows(root, path, visited, rows);
  return rows;
}

TObject* RowObject(TObject* root, const InspectorRow& row) {
  TObject* object = root;
  for (const std::string& name : row.path) {
    if (!object) return nullptr;
    const PropInfo* prop = object->classInfo().findProperty(name, {TypeKind::Object});
    object = prop ? GetObjectProp(object, *prop) : nullptr;
  }
  return object;
}

const PropInfo* RowProperty(TObject* object, const InspectorRow& row) {
  return object ? object->classInfo().findProperty(WideToAnsi(row.name)) : nullptr;
}

WideString RowValue(TObject* object, const PropInfo& prop) {
  switch (prop.kind()) {
    case TypeKind::Object: {
      TObject* value = GetObjectProp(object, prop);
      if (!value) return WideString();
      if (auto* component = dynamic_cast<TGComponent*>(value)) return component->name();
      return AnsiToWide("(" + value->className() + ")");
    }
    case TypeKind::Callback: return WideString();
    default: return GetPropText(object, prop);
  }
}

bool ApplyRowText(TObject* object, const PropInfo& prop, const WideString& text) {
  if (prop.kind() == TypeKind::Set) {
    // A set is written whole, in brackets; an emptied edit is not an empty set.
    const WideString trimmed = TrimW(text);
    if (trimmed.size() < 2 || trimmed.front() != u'[' || trimmed.back() != u']') return false;
  }
  if (prop.kind() == TypeKind::Object || prop.kind() == TypeKind::Callback) return false;
  if (prop.kind() == TypeKind::Float && !FloatInRange(text)) return false;
  return SetPropText(object, prop, text);
}

WideString OneLineText(const WideString& text) {
  WideString line;
  line.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    line += text[i] == u'\r' || text[i] == u'\n' ? kLineBreakMark : text[i];
  }
  return line;
}

WideString LineBrokenText(const WideString& line, const WideString& value) {
  const size_t at = value.find_first_of(u"\r\n");
  const bool single = at != WideString::npos && value.compare(at, 2, u"\r\n") != 0;
  const WideString lineBreak = single ? value.substr(at, 1) : WideString(u"\r\n");
  WideString text;
  text.reserve(line.size());
  for (char16_t c : line) text += c == kLineBreakMark ? lineBreak : WideString(1, c);
  return text;
}
