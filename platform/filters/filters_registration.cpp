#include "platform/filters/filters_registration.h"

#include "core/objects/class_registry.h"
#include "platform/filters/filter.h"
#include "platform/filters/filter_registry.h"
#include "platform/filters/jpeg_filter.h"
#include "platform/filters/mesh_3ds_filter.h"
#include "platform/filters/mesh_binary_filter.h"
#include "platform/filters/mesh_md3_filter.h"
#include "platform/filters/pixmap_binary_filter.h"
#include "platform/filters/png_filter.h"

void RegisterFilters() {
  constexpr uint8_t kReadWrite = kFilterCanRead | kFilterCanWrite;
  RegisterFilter({&TPixmapBinaryFilter::staticClassInfo(), ".pixmap", kReadWrite});
  RegisterFilter({&TMeshBinaryFilter::staticClassInfo(), ".mesh", kReadWrite});
  RegisterFilter({&TMesh3DSFilter::staticClassInfo(), ".3ds", kFilterCanRead});
  RegisterFilter({&TMeshMD3Filter::staticClassInfo(), ".md3", kFilterCanRead});
  RegisterFilter({&TJpegFilter::staticClassInfo(), ".jpg", kReadWrite});
  RegisterFilter({&TPngFilter::staticClassInfo(), ".png", kReadWrite});
  RegisterClass(TFilter::staticClassInfo());
}
