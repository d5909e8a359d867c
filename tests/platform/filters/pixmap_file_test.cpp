// ".pixmap" files: the raw form byte for byte, the JPEG-plane form with its
// alpha from the second plane, damaged files refused with an error line
// (a different signature silently), and the built-in pixmaps, which are
// carried in the JPEG-plane form.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "core/resources/embedded_res_man.h"
#include "core/resources/stream.h"
#include "platform/filters/filter_world.h"
#include "platform/filters/pixmap_binary_filter.h"
#include "platform/filters/pixmap_file_format.h"
#include "platform/pixmap.h"

namespace {
std::string Int32(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

std::string Header(int32_t width, int32_t height, int32_t compressed) {
  return "PIXMAPB" + Int32(width) + Int32(height) + Int32(compressed) + std::string(508, '\0');
}

TPixmap* Load(FilterWorld& world, const std::string& name) {
  return world.filter->loadPixmap(world.manager.get(), AnsiToWide(name));
}

TEST(PixmapFile, ThreeByThreeRawIs563BytesAndRoundTripsBitForBit) {
  FilterWorld world;
  TPixmap* pixmap = world.device->CreatePixmap(3, 3);
  const std::vector<uint32_t> words = {0xFFFF0000u, 0x00000000u, 0x80112233u, 0x7F000001u, 0xFFFFFFFFu,
                                       0x01020304u, 0xDEADBEEFu, 0x00FFFFFFu, 0xFF00FF00u};
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  ASSERT_TRUE(world.device->LockPixmapRectARGB(pixmap, {0, 0, 3, 3}, false, bits, pitch));
  std::memcpy(bits, words.data(), 36);
  world.device->UnlockPixmap(pixmap);

  ASSERT_TRUE(world.filter->savePixmap(world.manager.get(), u"small.pixmap", pixmap));
  const std::string file = world.dir.read("small.pixmap");
  ASSERT_EQ(file.size(), 563u);
  EXPECT_EQ(file.substr(0, 527), Header(3, 3, 0));
  EXPECT_EQ(file.substr(527), std::string(reinterpret_cast<const char*>(words.data()), 36));  // B, G, R, A each
  TPixmap* back = Load(world, "small.pixmap");
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(world.pixels(back), words);
  EXPECT_TRUE(world.log.lines().empty());
}

TEST(PixmapFile, JpegPlanesGiveTheColourAndTheAlphaOfTheSecondPlanesGreen) {
  FilterWorld world;
  // Planes written by libjpeg: a colour whose components are bytes 0, 1 and
  // 2 of the word, and an "alpha" whose red, green and blue differ, so that
  // only its green can give 200.
  const std::string colour = JpegFile(3, 2, std::vector<uint32_t>(6, 0xFF4080C0u), JpegKind::Baseline);
  const std::string alpha = JpegFile(3, 2, std::vector<uint32_t>(6, 0xFF20C840u), JpegKind::Baseline);
  world.dir.write("planes.pixmap", Header(3, 2, 1) + Int32(static_cast<int32_t>(colour.size())) + colour +
                                       Int32(static_cast<int32_t>(alpha.size())) + alpha);
  TPixmap* pixmap = Load(world, "planes.pixmap");
  ASSERT_NE(pixmap, nullptr);
  EXPECT_EQ(pixmap->width(), 3);
  EXPECT_EQ(pixmap->height(), 2);
  for (uint32_t p : world.pixels(pixmap)) EXPECT_TRUE(NearArgb(p, 0xC8C08040u, 3)) << std::hex << p;

  // The form the built-in pixmaps are made in reads back as drawn.
  const TArgbImage image{16, 8, Blocks(16, 8, 8, {0xFFFF0000u, 0x400000FFu})};
  world.dir.write("made.pixmap", JpegPlanesPixmapFile(image, 95));
  const std::vector<uint32_t> made = world.pixels(Load(world, "made.pixmap"));
  ASSERT_EQ(made.size(), 128u);
  EXPECT_TRUE(NearArgb(made[2 * 16 + 2], 0xFFFF0000u, 8)) << std::hex << made[34];
  EXPECT_TRUE(NearArgb(made[5 * 16 + 13], 0x400000FFu, 8)) << std::hex << made[93];
}

TEST(PixmapFile, DamagedFilesGiveNilWithAnErrorLineAndOtherSignaturesSilently) {
  FilterWorld world;
  const std::string good = Header(2, 1, 0) + Int32(-1) + Int32(0x01020304);
  for (size_t i = 0; i < 7; ++i) {
    std::string other = good;
    other[i] ^= 0x20;
    world.dir.write("other.pixmap", other);
    EXPECT_EQ(Load(world, "other.pixmap"), nullptr) << i;
  }
  EXPECT_TRUE(world.log.lines().empty());

  const TArgbImage wide{6, 1, std::vector<uint32_t>(6, 0xFF00FF00u)};
  const std::string planes = JpegPlanesPixmapFile(wide, 90);
  const std::string narrow = JpegPlanesPixmapFile(TArgbImage{5, 1, std::vector<uint32_t>(5, 0x80FFFFFFu)}, 90);
  auto colourPlaneBytes = [](const std::string& file) {
    int32_t size = 0;
    std::memcpy(&size, file.data() + 527, 4);
    return static_cast<size_t>(size) + 4;
  };
  const std::string mixed =
      Header(6, 1, 1) + planes.substr(527, colourPlaneBytes(planes)) + narrow.substr(527 + colourPlaneBytes(narrow));
  const struct {
    const char* name;
    std::string bytes;
    const char* error;
  } cases[] = {
      {"short.pixmap", good.substr(0, good.size() - 1), "file truncated"},
      {"header.pixmap", good.substr(0, 20), "file truncated"},
      {"huge.pixmap", Header(100000, 100000, 0), "bad pixmap size"},
      {"overflow.pixmap", Header(65536, 65536, 0), "bad pixmap size"},
      {"zero.pixmap", Header(0, 5, 0), "bad pixmap size"},
      {"count.pixmap", Header(6, 1, 1) + Int32(-5), "file truncated"},
      {"plane.pixmap", Header(5, 1, 1) + planes.substr(527), "plane size differs from the header"},
      {"noalpha.pixmap", planes.substr(0, planes.size() - 8), "file truncated"},
      {"alphasize.pixmap", mixed, "plane size differs from the header"},
  };
  for (const auto& c : cases) {
    world.log.clear();
    world.dir.write(c.name, c.bytes);
    EXPECT_EQ(Load(world, c.name), nullptr) << c.name;
    EXPECT_EQ(world.log.messages(), std::vector<std::string>{std::string("(e) Can't load ") + c.name + ": " + c.error});
  }
}

TEST(PixmapFile, BuiltInPixmapsDecodeAtTheirSizesWithOpaqueWhiteForFills) {
  FilterWorld world;
  std::unique_ptr<TEmbeddedResMan, FreeDeleter> builtIn(New<TEmbeddedResMan>());
  std::unique_ptr<TPixmapBinaryFilter, FreeDeleter> reader(New<TPixmapBinaryFilter>());
  TArgbImage skin, icon, particle;
  ASSERT_TRUE(reader->readRGBA(builtIn.get(), u"defaultskin.pixmap", skin));
  ASSERT_TRUE(reader->readRGBA(builtIn.get(), u"defaulticon.pixmap", icon));
  ASSERT_TRUE(reader->readRGBA(builtIn.get(), u"defaultpfx.pixmap", particle));
  EXPECT_EQ(std::pair(skin.width, skin.height), std::pair(512, 512));
  EXPECT_EQ(std::pair(icon.width, icon.height), std::pair(128, 128));
  EXPECT_EQ(std::pair(particle.width, particle.height), std::pair(256, 256));
  auto at = [](const TArgbImage& image, int x, int y) { return image.pixels[static_cast<size_t>(y * image.width + x)]; };
  // Plain fills are tinted by the skin's top-left texel: opaque white.
  EXPECT_EQ(at(skin, 0, 0) >> 24, 0xFFu);
  EXPECT_TRUE(NearArgb(at(skin, 0, 0), 0xFFFFFFFFu, 8)) << std::hex << at(skin, 0, 0);
  // Elements are opaque at their centres, each in its own colour; space
  // between them is transparent.
  const std::set<uint32_t> buttons = {at(skin, 77, 233), at(skin, 77, 273), at(skin, 77, 416)};
  EXPECT_EQ(buttons.size(), 3u);
  for (int y : {233, 273, 416}) EXPECT_GE(at(skin, 77, y) >> 24, 0xF0u);
  EXPECT_LE(at(skin, 300, 420) >> 24, 4u);
  // The particle glows from an opaque white centre to nothing at the rim.
  EXPECT_TRUE(NearArgb(at(particle, 128, 128), 0xFFFFFFFFu, 16));
  EXPECT_LE(at(particle, 0, 0) >> 24, 4u);
  EXPECT_GE(at(icon, 64, 20) >> 24, 0xF0u);
  EXPECT_LE(at(icon, 0, 0) >> 24, 4u);
}
}  // namespace
