// Feeds arbitrary text to the form dispatcher (keyword form or XML) and reads
// what it produced as an object tree.
#include <cstddef>
#include <cstdint>

#include "core/objects/base_object.h"
#include "core/resources/stream.h"
#include "core/streams/object_reader.h"
#include "core/streams/object_text_form.h"
#include "core/text/exceptions.h"
#include "tests/core/object_test_classes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RegisterObjectTestClasses();
  RegisterClass(BaseObject::staticClassInfo());
  TReadOnlyMemoryStream source(data, static_cast<int64_t>(size));
  TMemoryStream binary;
  try {
    convertTextForm(source, binary);
  } catch (const std::exception&) {
    return 0;
  }
  binary.SetPosition(0);
  TGReader reader(&binary, kFileFilerBufferSize);
  try {
    if (TGComponent* root = reader.fetchRoot()) root->Free();
  } catch (const std::exception&) {
  }
  return 0;
}
