// TWideStrings: what every wide-string list shares, including its two file
// forms. The stored list is in wide_string_list.cpp.
#include "core/objects/wide_strings.h"

#include <algorithm>
#include <exception>

#include "core/objects/class_builder.h"
#include "core/resources/stream.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"

const ClassInfo& TWideStrings::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TWideStrings>("TWideStrings")
                                    .readOnly("count", &TWideStrings::count)
                                    .property("commaText", &TWideStrings::commaText, &TWideStrings::setCommaText)
                                    .property("caseSensitive", &TWideStrings::caseSensitive,
                                              &TWideStrings::setCaseSensitive)
                                    .property("text", &TWideStrings::text, &TWideStrings::setText)
                                    .property("sorted", &TWideStrings::sorted, &TWideStrings::setSorted)
                                    .method("add", &TWideStrings::addFromScript)
                                    .method("items", &TWideStrings::items)
                                    .method("clear", &TWideStrings::clear)
                                    .method("setItem", &TWideStrings::setItem)
                                    .method("delete", &TWideStrings::Delete)
                                    .build();
  return info;
}

namespace {

const WideString kListIndexError = u"list index error";

constexpr char16_t kCR = 0x0D;
constexpr char16_t kLF = 0x0A;

bool IsLineBreak(char16_t c) {
  return c == kLF || c == 0x0B || c == 0x0C || c == kCR || c == 0x2028 || c == 0x2029;
}

bool IsBlank(char16_t c) { return c >= 1 && c <= 32; }

// The text up to its first NUL: NUL ends the text for the text and
// comma-text setters alike.
std::u16string_view UpToNul(const WideString& s) {
  std::u16string_view view(s);
  return view.substr(0, std::min(view.find(u'\0'), view.size()));
}

}  // namespace

// ---- virtual operations -------------------------------------------------------------

int TWideStrings::compareStrings(const WideString&, const WideString&) const { return 0; }

ItemObject TWideStrings::getObject(int) const { return {}; }

WideString TWideStrings::getText() const {
  WideString text;
  int n = getCount();
  for (int i = 0; i < n; ++i) {
    text += get(i);
    text += u"\r\n";
  }
  return text;
}

void TWideStrings::put(int index, const WideString& s) {
  // Checked here: a delete that fails followed by an insert at the same
  // place would add an item instead of replacing one.
  if (index < 0 || index >= getCount()) {
    listError(kListIndexError);
    return;
  }
  ItemObject object = getObject(index);
  Delete(index);
  insertObject(index, s, object);
}

void TWideStrings::putObject(int, ItemObject) {}

void TWideStrings::setCapacity(int) {}

// A line ends at LF, VT, FF, CR, U+2028 or U+2029, CR LF counting as one
// break; NUL ends the text. Empty lines inside the text become empty items; a
// break at the very end adds no empty item.
void TWideStrings::setText(const WideString& s) {
  beginUpdate();
  clear();
  std::u16string_view text = UpToNul(s);
  size_t i = 0;
  while (i < text.size()) {
    size_t start = i;
    while (i < text.size() && !IsLineBreak(text[i])) ++i;
    add(WideString(text.substr(start, i - start)));
    if (i < text.size()) {
      bool crlf = text[i] == kCR && i + 1 < text.size() && text[i + 1] == kLF;
      i += crlf ? 2 : 1;
    }
  }
  endUpdate();
}

void TWideStrings::setUpdateState(bool) {}

int TWideStrings::addObject(const WideString& s, ItemObject object) {
  int index = add(s);
  putObject(index, object);
  return index;
}

void TWideStrings::addAnsiStrings(const AnsiStringItems& list) {
  beginUpdate();
  for (const AnsiStringItem& item : list) addObject(AnsiToWide(item.string), item.object);
  endUpdate();
}

void TWideStrings::addStrings(const TWideStrings& list) {
  // Taken first: the source may be this list, which grows (and, when sorted,
  // reorders) while the items go in.
  std::vector<std::pair<WideString, ItemObject>> source;
  int n = list.getCount();
  source.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) source.emplace_back(list.get(i), list.getObject(i));
  beginUpdate();
  for (const auto& [s, object] : source) addObject(s, object);
  endUpdate();
}

void TWideStrings::exchange(int index1, int index2) {
  beginUpdate();
  WideString s = get(index1);
  ItemObject object = getObject(index1);
  put(index1, get(index2));
  putObject(index1, getObject(index2));
  put(index2, s);
  putObject(index2, object);
  endUpdate();
}

int TWideStrings::indexOf(const WideString& s) {
  int n = getCount();
  for (int i = 0; i < n; ++i) {
    if (CompareTextW(get(i), s) == 0) return i;
  }
  return -1;
}

int TWideStrings::indexOfName(const WideString& name) {
  int n = getCount();
  for (int i = 0; i < n; ++i) {
    WideString item = get(i);
    size_t equals = item.find(u'=');
    if (equals != WideString::npos && CompareTextW(std::u16string_view(item).substr(0, equals), name) == 0) {
      return i;
    }
  }
  return -1;
}

void TWideStrings::loadFromFile(const std::string& path) {
  try {
    TFileStream in(path, FileMode::OpenRead);
    if (!in.IsOpen()) return;
    loadFromStream(in);
  } catch (const std::exception&) {
    // A file that cannot be read leaves the list as it was.
  }
}

// The mark is read as a little-endian 16-bit value; U+FEFF and U+FFFE are
// both taken, and in both cases the rest is read as UTF-16LE (the files the
// system writes always carry FF FE).
void TWideStrings::loadFromStream(TStream& stream) {
  beginUpdate();
  uint8_t mark[2];
  if (stream.Read(mark, 2) == 2) {
    uint16_t value = static_cast<uint16_t>(mark[0] | mark[1] << 8);
    if (value == 0xFEFF || value == 0xFFFE) setText(readUnits(stream, 0));
  }
  endUpdate();
}

void TWideStrings::loadScrambled(TStream& stream) {
  beginUpdate();
  setText(readUnits(stream, kScrambleKey));
  endUpdate();
}

void TWideStrings::move(int fromIndex, int toIndex) {
  if (fromIndex == toIndex) return;
  // Both places are checked before the item leaves: an insert that failed
  // after the delete would lose it.
  int n = getCount();
  if (fromIndex < 0 || fromIndex >= n || toIndex < 0 || toIndex >= n) {
    listError(kListIndexError);
    return;
  }
  beginUpdate();
  WideString s = get(fromIndex);
  ItemObject object = getObject(fromIndex);
  Delete(fromIndex);
  insertObject(toIndex, s, object);
  endUpdate();
}

bool TWideStrings::saveToFile(const std::string& path) {
  TFileStream out(path, FileMode::Create);
  if (!out.IsOpen()) return false;
  saveToStream(out);
  return out.Close();
}

void TWideStrings::saveToStream(TStream& stream) { writeUnits(stream, true, 0); }

void TWideStrings::saveScrambled(TStream& stream) { writeUnits(stream, false, kScrambleKey); }

void TWideStrings::setTextBuffer(const WideChar* text) { setText(text ? WideString(text) : WideString()); }

int TWideStrings::add(const WideString& s) {
  int index = getCount();
  insert(index, s);
  return index;
}

// ---- file forms ---------------------------------------------------------------------

WideString TWideStrings::readUnits(TStream& stream, uint16_t key) {
  int64_t remaining = stream.Remaining();
  if (remaining < 2) return {};
  int64_t units = remaining / 2;
  WideString text;
  text.reserve(static_cast<size_t>(std::min<int64_t>(units, 65536)));
  uint8_t buffer[16384];
  while (units > 0) {
    int64_t wanted = std::min<int64_t>(units, sizeof(buffer) / 2);
    int64_t got = stream.Read(buffer, wanted * 2) / 2;
    for (int64_t i = 0; i < got; ++i) {
      uint16_t unit = static_cast<uint16_t>(buffer[2 * i] | buffer[2 * i + 1] << 8);
      text.push_back(static_cast<char16_t>(unit ^ key));
    }
    if (got < wanted) break;
    units -= got;
  }
  return text;
}

void TWideStrings::writeUnits(TStream& stream, bool marked, uint16_t key) const {
  WideString text = getText();
  std::vector<uint8_t> bytes;
  bytes.reserve(text.size() * 2 + 2);
  if (marked) {
    bytes.push_back(0xFF);
    bytes.push_back(0xFE);
  }
  for (char16_t c : text) {
    uint16_t unit = static_cast<uint16_t>(c) ^ key;
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  stream.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// ---- updates ------------------------------------------------------------------------

void TWideStrings::beginUpdate() {
  if (updateCount_ == 0) setUpdateState(true);
  ++updateCount_;
}

void TWideStrings::endUpdate() {
  // An unmatched end would leave the count below zero and silence the
  // list's events for good.
  if (updateCount_ <= 0) return;
  --updateCount_;
  if (updateCount_ == 0) setUpdateState(false);
}

// ---- names and values ---------------------------------------------------------------

WideString TWideStrings::getName(int index) const {
  WideString item = get(index);
  size_t equals = item.find(u'=');
  return equals == WideString::npos ? WideString() : item.substr(0, equals);
}

WideString TWideStrings::getValueAt(int index) const {
  if (index < 0) return {};
  WideString item = get(index);
  size_t equals = item.find(u'=');
  return equals == WideString::npos ? WideString() : item.substr(equals + 1);
}

WideString TWideStrings::getValue(const WideString& name) {
  int index = indexOfName(name);
  if (index < 0) return {};
  WideString item = get(index);
  size_t from = name.size() + 1;
  return from >= item.size() ? WideString() : item.substr(from);
}

void TWideStrings::setValue(const WideString& name, const WideString& value) {
  int index = indexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  if (index < 0) index = add(WideString());
  put(index, name + u"=" + value);
}

int TWideStrings::indexOfObject(ItemObject object) const {
  int n = getCount();
  for (int i = 0; i < n; ++i) {
    if (getObject(i) == object) return i;
  }
  return -1;
}

void TWideStrings::insertObject(int index, const WideString& s, ItemObject object) {
  // Only an insert that happened may set the object: a refused one must not
  // overwrite the item that already stands there.
  int before = getCount();
  insert(index, s);
  if (getCount() > before) putObject(index, object);
}

// ---- comma text ---------------------------------------------------------------------

WideString TWideStrings::commaText() const {
  WideString text;
  int n = getCount();
  for (int i = 0; i < n; ++i) {
    if (i > 0) text += u',';
    text += get(i);
  }
  return text;
}

// Items end at a comma or at any character up to U+0020; quotes have no
// meaning, so an item that begins with one is taken like any other.
void TWideStrings::setCommaText(const WideString& value) {
  beginUpdate();
  clear();
  std::u16string_view text = UpToNul(value);
  size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && IsBlank(text[i])) ++i;
  };
  skipBlanks();
  while (i < text.size()) {
    size_t start = i;
    while (i < text.size() && text[i] > 32 && text[i] != u',') ++i;
    add(WideString(text.substr(start, i - start)));
    skipBlanks();
    if (i < text.size() && text[i] == u',') {
      ++i;
      skipBlanks();
    }
  }
  endUpdate();
}

// ---- flags --------------------------------------------------------------------------

void TWideStrings::setSorted(bool value) {
  if (value == sorted_) return;
  if (value) sort();
  sorted_ = value;
}

void TWideStrings::setCaseSensitive(bool value) {
  if (value == caseSensitive_) return;
  caseSensitive_ = value;
  if (sorted_) sort();
}

// ---- assignment ---------------------------------------------------------------------

void TWideStrings::Assign(const TWideStrings& source) {
  if (&source == this) return;
  beginUpdate();
  clear();
  addStrings(source);
  endUpdate();
}

void TWideStrings::Assign(const AnsiStringItems& source) {
  beginUpdate();
  clear();
  addAnsiStrings(source);
  endUpdate();
}

void TWideStrings::AssignTo(AnsiStringItems& destination) const {
  destination.clear();
  int n = getCount();
  destination.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) destination.push_back({WideToAnsi(get(i)), getObject(i)});
}

void TWideStrings::listError(const WideString& message) const { LogError(message); }
