#include "core/geometry/coordinates_stored.h"

#include "core/streams/object_reader.h"
#include "core/streams/object_writer.h"

void DefineZeroComponent(TGFiler* filer, const char* name, float value, bool stored,
                         const std::function<void(float)>& set) {
  if (!filer) return;
  filer->DefineProperty(
      name, [set](TGReader& reader) { set(static_cast<float>(reader.fetchFloat())); },
      [value](TGWriter& writer) { writer.emitSingle(value); }, stored && value == 0);
}
