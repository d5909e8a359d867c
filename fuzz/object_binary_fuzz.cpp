// Feeds arbitrary bytes to the binary object reader (into a new root and into
// a given one) and to the binary-to-XML conversion, whose XML output is then
// read back when the conversion finished.
#include <cstddef>
#include <cstdint>

#include "core/objects/base_object.h"
#include "core/resources/stream.h"
#include "core/streams/object_reader.h"
#include "core/streams/object_xml.h"
#include "core/text/exceptions.h"
#include "tests/core/object_test_classes.h"

namespace {
void ReadInto(const uint8_t* data, size_t size, TGComponent* given) {
  TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
  TGReader reader(&stream, kFileFilerBufferSize);
  try {
    TGComponent* root = reader.fetchRoot(given);
    if (root && root != given) root->Free();
  } catch (const std::exception&) {
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RegisterObjectTestClasses();
  RegisterClass(BaseObject::staticClassInfo());
  ReadInto(data, size, nullptr);

  TTestList* given = New<TTestList>(nullptr);
  ReadInto(data, size, given);
  given->Free();

  TReadOnlyMemoryStream source(data, static_cast<int64_t>(size));
  TMemoryStream xml;
  if (binaryToXml(source, xml)) {
    xml.SetPosition(0);
    TMemoryStream binary;
    try {
      xmlToBinary(xml, binary);
    } catch (const std::exception&) {
    }
  }
  return 0;
}
