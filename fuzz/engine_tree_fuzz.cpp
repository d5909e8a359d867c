// Reads arbitrary bytes as an object file into the program's own classes
// (every registered scene, media and engine class, through the object-file
// reader): first as a binary object stream, then as text (XML or keyword
// form) converted the way a game's ".qxml" is. Nothing may crash or hang.
// An applet is the one class read as a plain grouping node here: it would
// open a window for every input.
#include <cstddef>
#include <cstdint>
#include <exception>

#include "core/objects/class_registry.h"
#include "core/resources/stream.h"
#include "core/streams/object_file.h"
#include "core/streams/object_text_form.h"
#include "core/system/log.h"
#include "engine/applet/applet.h"
#include "engine/registration.h"
#include "engine/scene/dummy.h"

namespace {
void ReadInto(TStream& stream) {
  BaseObject* root = New<Dummy>();
  {
    TSomeReader reader(&stream, "input.qxml", root);
    auto findClass = reader.events().onFindClass;
    reader.events().onFindClass = [findClass](const std::string& name, const ClassInfo*& cls) {
      if (findClass) findClass(name, cls);
      if (cls && cls->inheritsFrom(Applet::staticClassInfo())) cls = &Dummy::staticClassInfo();
    };
    try {
      reader.fetchRoot(root);
    } catch (const std::exception&) {
    }
  }
  root->Free();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (LogHandler() = [](const WideString&) {}, RegisterAllClasses(), true);
  (void)ready;
  {
    TReadOnlyMemoryStream binary(data, static_cast<int64_t>(size));
    ReadInto(binary);
  }
  TReadOnlyMemoryStream text(data, static_cast<int64_t>(size));
  TMemoryStream converted;
  try {
    convertTextForm(text, converted);
  } catch (const std::exception&) {
    return 0;
  }
  converted.SetPosition(0);
  ReadInto(converted);
  return 0;
}
