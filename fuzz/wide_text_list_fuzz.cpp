// Arbitrary bytes as both list file forms and as a run of typed stream
// values, followed by the lookups and edits that games make on loaded lists.
#include <cstddef>
#include <cstdint>

#include "core/objects/wide_strings.h"
#include "core/resources/stream.h"
#include "core/streams/stream_primitives.h"

namespace {

void ExerciseList(TWideStringList* list) {
  int n = list->count();
  if (n > 0) {
    WideString first = list->get(0);
    WideString name = list->getName(n - 1);
    list->indexOf(first);
    list->indexOfName(name);
    list->getValue(name);
    list->getValueAt(n / 2);
    list->setValue(name.empty() ? u"k" : name, u"v");
    list->exchange(0, n - 1);
    list->move(n - 1, 0);
  }
  WideString comma = list->commaText();
  list->setSorted(true);
  list->add(u"a");
  int index = 0;
  list->find(u"a", index);
  list->findObject(0, index);
  list->setSorted(false);
  list->setSortByObject(true);
  list->sort();
  list->setCommaText(comma);
  TMemoryStream out;
  list->saveToStream(out);
  out.SetPosition(0);
  list->loadFromStream(out);
}

void ReadValues(const uint8_t* data, size_t size) {
  TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
  // Every read takes at least its four count bytes, so this ends.
  while (stream.Remaining() > 0) {
    int32_t kind = 0;
    StreamReadInt(stream, kind);
    AnsiString text;
    float f[3];
    char16_t units[2];
    switch (kind & 3) {
      case 0: StreamReadString(stream, text); break;
      case 1: StreamReadDWords(stream, f, 3); break;
      case 2: StreamReadWords(stream, units, 2); break;
      default: StreamReadDouble(stream); break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
    THashedStringList* list = New<THashedStringList>();
    list->loadFromStream(stream);
    ExerciseList(list);
    list->Free();
  }
  {
    TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
    TWideStringList* list = New<TWideStringList>();
    list->loadScrambled(stream);
    ExerciseList(list);
    list->Free();
  }
  ReadValues(data, size);
  return 0;
}
