// The seeds of the filters' fuzz targets are files the libraries and the
// program's own writers make. This checks that every stored seed is still a
// file its reader takes whole; with Q_UPDATE_FUZZ_SEEDS=1 in the environment
// it writes them afresh first.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "core/resources/stream.h"
#include "platform/filters/filter_world.h"
#include "platform/filters/jpeg_coding.h"
#include "platform/filters/md3_file.h"
#include "platform/filters/mesh_3ds_filter.h"
#include "platform/filters/mesh_binary_filter.h"
#include "platform/filters/mesh_md3_filter.h"
#include "platform/filters/pixmap_binary_filter.h"
#include "platform/filters/pixmap_file_format.h"
#include "platform/filters/png_codec.h"

namespace {
std::string Bytes(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string MeshSeed(TVertexFormat format, int32_t vertices, int32_t indices, int32_t frames) {
  std::unique_ptr<TMesh, FreeDeleter> mesh(New<TMesh>());
  mesh->setShape(format, vertices, indices > 0, indices, false, frames > 1, frames);
  mesh->vertexData.resize(mesh->allFramesBytes());
  for (size_t i = 0; i < mesh->vertexData.size(); ++i) mesh->vertexData[i] = static_cast<uint8_t>(i * 7);
  for (int32_t i = 0; i < indices; ++i) mesh->indexData.push_back(static_cast<uint16_t>(i % vertices));
  if (frames > 1) mesh->animations = {{"walk", 0, frames / 2, 0.1f}, {"run", frames / 2, frames - 1, 0.05f}};
  std::vector<uint8_t> bytes;
  MeshFileBytes(*mesh, bytes);
  return Bytes(bytes);
}

struct Seed {
  std::string corpus, name;
  std::function<std::string()> make;
  std::function<bool(TStream&)> read;  // true when the reader takes the file whole
};

std::vector<Seed> Seeds() {
  const std::vector<uint32_t> colours = {0xFFFF0000u, 0x8000FF00u, 0x000000FFu, 0xFFFFFFFFu};
  const std::vector<uint32_t> blocks = Blocks(16, 16, 8, colours);
  auto pixmap = [](TStream& s) {
    TArgbImage image;
    return ReadPixmapFile(s, image) && !image.empty();
  };
  auto mesh = [](TStream& s) {
    TMeshFileData data;
    return ReadMeshFile(s, data);
  };
  auto md3 = [](TStream& s) {
    TFileMD3 file;
    file.read(s);
    CheckImportedModel(MergeMD3Surfaces(file));
    return true;
  };
  auto jpeg = [](TStream& s) { return !decodeJpeg(s).empty(); };
  auto png = [](TStream& s) { return !DecodePng(s).empty(); };
  return {
      {"pixmap", "raw.pixmap", [] { return Bytes(RawPixmapFile({3, 3, std::vector<uint32_t>(9, 0x80402010u)})); }, pixmap},
      {"pixmap", "planes.pixmap", [blocks] { return JpegPlanesPixmapFile({16, 16, blocks}, 90); }, pixmap},
      {"mesh", "static.mesh", [] { return MeshSeed(vfP, 3, 0, 1); }, mesh},
      {"mesh", "animated.mesh", [] { return MeshSeed(vfPNCT, 5, 9, 4); }, mesh},
      {"md3", "two_surfaces.md3", [] { return Md3File(3, {{4, {{0, 1, 2}, {1, 2, 3}}}, {3, {{0, 1, 2}}}}); }, md3},
      {"md3", "list.aaf", [] { return std::string("AAF\r\n2\r\nwalk,0,1\r\nrun,1,2\r\n"); }, nullptr},
      {"three_ds", "two_objects.3ds",
       [] {
         return ThreeDsFile({{"b", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 0}, {1, 0}, {0, 1}}, {{0, 1, 2}}},
                             {"a", {{0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}}, {}, {{0, 1, 2}, {1, 3, 2}}, true}});
       },
       [](TStream& s) { return build3DSArrays(s).vertexCount == 3; }},
      {"jpeg", "baseline.jpg", [blocks] { return JpegFile(16, 16, blocks, JpegKind::Baseline); }, jpeg},
      {"jpeg", "progressive.jpg", [blocks] { return JpegFile(16, 16, blocks, JpegKind::Progressive); }, jpeg},
      {"jpeg", "grey.jpg", [blocks] { return JpegFile(16, 16, blocks, JpegKind::Grey); }, jpeg},
      {"png", "palette.png", [blocks] { return PngFile(16, 16, blocks, {PngKind::Palette, 8, false}); }, png},
      {"png", "deep_interlaced.png", [blocks] { return PngFile(16, 16, blocks, {PngKind::Rgba, 16, true}); }, png},
      {"png", "grey_alpha.png", [blocks] { return PngFile(16, 16, blocks, {PngKind::GreyAlpha, 8, false}); }, png},
  };
}

TEST(FilterSeeds, EveryStoredSeedIsAFileItsReaderTakesWhole) {
  for (const Seed& seed : Seeds()) {
    SCOPED_TRACE(seed.corpus + "/" + seed.name);
    const std::string path = std::string(Q_SOURCE_DIR) + "/fuzz/corpus/" + seed.corpus + "/" + seed.name;
    if (std::getenv("Q_UPDATE_FUZZ_SEEDS")) {
      const std::string bytes = seed.make();
      ASSERT_TRUE(WriteWholeFile(path, bytes.data(), bytes.size()));
    }
    std::vector<uint8_t> stored;
    ASSERT_TRUE(ReadWholeFile(path, stored));
    if (!seed.read) continue;
    TReadOnlyMemoryStream stream(stored.data(), static_cast<int64_t>(stored.size()));
    EXPECT_TRUE(seed.read(stream));
    EXPECT_EQ(stream.Remaining(), 0);
  }
}
}  // namespace
