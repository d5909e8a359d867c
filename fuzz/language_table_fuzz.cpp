// Arbitrary bytes as a language file: the table is loaded from them, then
// every line is translated and used as a format text (translations are
// format texts too) with value lists of every shape; the bytes themselves,
// read as wide text, are formatted as well.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "core/resources/stream.h"
#include "engine/applet/language_table.h"

namespace {

// Value lists a script can hand over: none, texts, numbers of every kind,
// values of the wrong kinds.
std::vector<std::vector<Variant>> ValueLists(const WideString& text, double number) {
  const double inf = std::numeric_limits<double>::infinity();
  return {
      {},
      {Variant(text)},
      {Variant(number)},
      {Variant(text), Variant(number)},
      {Variant(number), Variant(text), Variant(int32_t{-1}), Variant(int64_t{1} << 62)},
      {Variant(1e300), Variant(-inf), Variant(std::numeric_limits<double>::quiet_NaN()), Variant(-0.0)},
      {Variant(true), Variant(), Variant(Variant::Null{}), Variant(static_cast<TObject*>(nullptr))},
      {Variant(2000.0), Variant(1024.0), Variant(-3.0), Variant(text)},
  };
}

double NumberFrom(const uint8_t* data, size_t size) {
  uint64_t bits = 0;
  for (size_t i = 0; i < size && i < 8; ++i) bits |= static_cast<uint64_t>(data[i]) << (8 * i);
  double value;
  static_assert(sizeof value == sizeof bits);
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

WideString WideFrom(const uint8_t* data, size_t size) {
  WideString text;
  for (size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  return text;
}

void Exercise(TLanguageTable& table, const double number) {
  const TWideStringList& list = table.list();
  const int lines = list.count() < 64 ? list.count() : 64;
  for (int i = 0; i < lines; ++i) {
    WideString line = list.get(i);
    WideString name = list.getName(i);
    table.translate(line);
    WideString translated = table.translate(name);
    for (const std::vector<Variant>& values : ValueLists(translated, number)) {
      table.format(name, values);
      FormatWithValues(line, values);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const double number = NumberFrom(data, size);
  {
    TLanguageTable table;
    TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
    table.loadTable(stream);
    Exercise(table, number);
  }
  {
    // Collecting: the same lines become the collected texts.
    TLanguageTable collecting;
    TLanguageTable source;
    TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
    if (source.loadTable(stream)) {
      for (int i = 0; i < source.list().count() && i < 64; ++i) collecting.translate(source.list().get(i));
    }
    Exercise(collecting, number);
  }
  WideString text = WideFrom(data, size);
  for (const std::vector<Variant>& values : ValueLists(text, number)) FormatWithValues(text, values);
  return 0;
}
