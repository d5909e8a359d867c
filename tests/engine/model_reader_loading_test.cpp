// The ".3ds" reader's library is mapped when the first model is read, not
// when the program starts: most games have no such model.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "core/resources/stream.h"
#include "platform/filters/mesh_3ds_filter.h"

namespace {
bool Mapped(const std::string& library) {
  std::ifstream maps("/proc/self/maps");
  const std::string text((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
  return text.find(library) != std::string::npos;
}

TEST(ModelReaderLoading, TheThreeDsLibraryIsMappedOnlyOnceAModelIsRead) {
  EXPECT_FALSE(Mapped("lib3ds")) << "mapped at start";
  std::ifstream file(Q_SOURCE_DIR "/fuzz/corpus/three_ds/two_objects.3ds", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(bytes.empty());
  TReadOnlyMemoryStream stream(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int64_t>(bytes.size()));
  const TImportedModel model = build3DSArrays(stream);
  EXPECT_GT(model.vertexCount, 0);
  EXPECT_TRUE(Mapped("lib3ds"));
}
}  // namespace
