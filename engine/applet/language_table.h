#pragma once
// The applet's language table. User-visible texts of widgets and scripts pass
// through `translate` before they are shown. A game ships one translation per
// language as "lang\<language>\text.txt" (a marked wide-string list file of
// "source=translation" lines); while no translation is loaded the table
// instead collects every text it is asked for, and `save` writes that
// collection to "lang\english\text.txt" as the template for translators.
//
// The applet owns one table and wires it up like this:
// - its published `lang` getter answers `language()`, and its setter calls
//   `setLanguage(resource manager, value)`. The resource managers insert the
//   owner's `lang` into every "lang..." name, so the getter must answer the
//   table's language: that is the folder the table is read from.
// - its published `translate` and `format` call the table's.
// - its destruction calls `save(resource manager)` before the manager goes.
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/objects/object.h"
#include "core/objects/variant.h"
#include "core/objects/wide_strings.h"
#include "core/text/text.h"

class TResourceMan;
class TStream;

class TLanguageTable {
 public:
  TLanguageTable();
  ~TLanguageTable();
  TLanguageTable(const TLanguageTable&) = delete;
  TLanguageTable& operator=(const TLanguageTable&) = delete;

  // The current language: empty until first set, then always a single folder
  // name (separators, drive colons and all-dot names neutralised), because
  // it becomes part of the path the managers resolve.
  const WideString& language() const { return language_; }
  // True until a table is loaded, and again after switching back to english.
  bool collecting() const { return collecting_; }
  // While collecting: the texts seen, in the order first seen. Otherwise the
  // loaded "source=translation" lines.
  const TWideStringList& list() const { return *list_; }

  // When the value differs from the current language: stores it; for a
  // language other than english (or empty) reads "lang\text.txt" through the
  // manager (which resolves the folder of the language now stored) and, when
  // it opens and is a language file, takes it as the table and stops
  // collecting. A missing or unusable file leaves the list and the flag as
  // they were. Switching to english (or empty) drops a loaded table and
  // starts collecting afresh, so texts come back unchanged again.
  void setLanguage(TResourceMan* manager, const WideString& value);

  // While collecting: remembers the text (once, ignoring case) and answers it
  // unchanged. Otherwise the translation of the first line whose source text
  // equals it ignoring case, or the text itself.
  WideString translate(const WideString& text);

  // Translates the format text, then fills its "%" directives with the values
  // (see FormatWithValues).
  WideString format(const WideString& text, const std::vector<Variant>& values);

  // Only while collecting: writes the collected texts to
  // "lang\english\text.txt" through the manager (created with its folders).
  // True when the file was written; an error is logged when it could not be.
  bool save(TResourceMan* manager);

  // Takes a language file's content as the table and stops collecting. False,
  // with the table and the flag as they were, when the data does not begin
  // with the byte-order mark of a wide-string list file.
  bool loadTable(TStream& stream);

 private:
  void startCollecting();
  void indexTable();
  void openTable(TResourceMan& manager);

  std::unique_ptr<TWideStringList, FreeDeleter> list_;
  WideString language_;
  bool collecting_ = true;
  // Lookups ignoring case in constant time: the upper-cased collected texts,
  // and the upper-cased source texts of a loaded table with their first line.
  std::unordered_set<WideString> collected_;
  std::unordered_map<WideString, int> sources_;
};

// The "%" directives of a format text filled with values, each a text or a
// number. A directive is "%" [index ":"] ["-"] [width] ["." precision] type;
// index, width and precision are decimal numbers or "*" (the next value, a
// number). Types, upper or lower case:
//   s  a text value; the precision is the most characters taken.
//   d  a number cut toward zero; the precision is the fewest digits.
//   u, x  the same, unsigned (negative numbers wrap as 32-bit values when
//      they fit, else as 64-bit), x in upper-case hexadecimal.
//   e  scientific: "-d.ddd...E+ddd", precision = all digits (default 15).
//   f  fixed, precision = digits after the point (default 2).
//   n  as f with "," between groups of three digits.
//   g  the shorter of fixed and scientific, precision = significant digits
//      (default 15), trailing zeros dropped.
// Floats use "." as the point, "NAN", "INF" and "-INF" for non-finite values
// and switch f and n to scientific from 1E18 up. The width pads with blanks
// on the left ("-": on the right). "%%" writes "%". Each directive takes the
// next value (after an index, the value at that index, counted from 0).
//
// Nothing is ever read past the values: a directive that is malformed (an
// unknown type, a width or precision above 1024, a "*" without a number)
// or that has no value left is written as it stands and takes no value; one
// whose value has the wrong type is written as it stands and the value is
// used up, so the directives after it keep their values.
WideString FormatWithValues(std::u16string_view format, const std::vector<Variant>& values);
