#pragma once
// The rows of the property inspector, made from the published descriptions
// alone: one row per listed property of an object, sorted by name, with the
// value as text; a property holding an owned sub-object (not a component of
// the tree) shows the sub-object's class in parentheses and is followed by
// the sub-object's own rows, one level deeper.
//
// A row names its object by the way from the root (the property names of the
// sub-objects passed through), not by address, so that a row never leads to
// a sub-object that was replaced or freed since the rows were made.
#include <string>
#include <vector>

#include "core/objects/class_info.h"
#include "core/text/text.h"

struct InspectorRow {
  WideString name;
  WideString value;
  // Property names from the root down to the object that owns the property;
  // empty for the root's own properties.
  std::vector<std::string> path;
  int depth() const { return static_cast<int>(path.size()); }
};

// The rows of `root` and of the sub-objects it owns (nested at most a few
// levels deep; a sub-object met twice on the way is not listed again).
std::vector<InspectorRow> BuildInspectorRows(TObject* root);

// The object a row's property belongs to, found anew from the root; nil when
// the way no longer leads to an object.
TObject* RowObject(TObject* root, const InspectorRow& row);
// The row's property in its object's description, or nil.
const PropInfo* RowProperty(TObject* object, const InspectorRow& row);

// The value of a property as a row shows it.
WideString RowValue(TObject* object, const PropInfo& prop);

// A row shows one line: a value's line breaks (CR LF, LF or CR) are shown as
// this mark, in the row and in its editor.
inline constexpr char16_t kLineBreakMark = u'\u00B6';
WideString OneLineText(const WideString& text);
// Back from one line: each mark becomes the line break `value` uses (CR LF
// when it holds none).
WideString LineBrokenText(const WideString& line, const WideString& value);

// Sets a property from typed text through the description's text
// conversion. Text that does not convert (text for a number, a name that is
// not the enumeration's, a set not written as "[member,...]") changes
// nothing and answers false.
bool ApplyRowText(TObject* object, const PropInfo& prop, const WideString& text);
