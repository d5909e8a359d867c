// PNG encoding of rendered frames, read back through libpng.
#include <gtest/gtest.h>
#include <png.h>

#include <vector>

#include "platform/filters/png_codec.h"

namespace {
struct Decoded {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
};

Decoded Decode(const std::vector<uint8_t>& bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Decoded out;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return out;
  image.format = PNG_FORMAT_RGBA;
  out.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) return Decoded{};
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  return out;
}

TEST(platformPng, PixelsComeBackExactly) {
  const int w = 5, h = 3;
  std::vector<uint32_t> pixels(w * h);
  for (int i = 0; i < w * h; ++i) pixels[i] = static_cast<uint32_t>(i * 0x01030507u + 0x10203040u);
  pixels[0] = 0xFF112233;  // opaque: A FF, R 11, G 22, B 33
  pixels[1] = 0x00ABCDEF;  // fully transparent, colour kept
  std::vector<uint8_t> png;
  ASSERT_TRUE(EncodePng(w, h, pixels, png));
  Decoded decoded = Decode(png);
  ASSERT_EQ(decoded.width, w);
  ASSERT_EQ(decoded.height, h);
  EXPECT_EQ(decoded.rgba[0], 0x11);
  EXPECT_EQ(decoded.rgba[1], 0x22);
  EXPECT_EQ(decoded.rgba[2], 0x33);
  EXPECT_EQ(decoded.rgba[3], 0xFF);
  for (int i = 0; i < w * h; ++i) {
    uint32_t p = pixels[i];
    EXPECT_EQ(decoded.rgba[i * 4 + 0], (p >> 16) & 0xFF) << i;
    EXPECT_EQ(decoded.rgba[i * 4 + 1], (p >> 8) & 0xFF) << i;
    EXPECT_EQ(decoded.rgba[i * 4 + 2], p & 0xFF) << i;
    EXPECT_EQ(decoded.rgba[i * 4 + 3], p >> 24) << i;
  }
}

TEST(platformPng, FewerPixelsThanTheSizeAreRefused) {
  std::vector<uint32_t> pixels(5 * 3 - 1, 0xFFFFFFFF);
  std::vector<uint8_t> png{1, 2, 3};
  EXPECT_FALSE(EncodePng(5, 3, pixels, png));
  EXPECT_TRUE(png.empty());
}

TEST(platformPng, SizesOfZeroOrBelowAreRefused) {
  std::vector<uint32_t> pixels(16, 0);
  std::vector<uint8_t> png;
  EXPECT_FALSE(EncodePng(0, 4, pixels, png));
  EXPECT_FALSE(EncodePng(4, -1, pixels, png));
}

TEST(platformPng, ALargeFrameEncodes) {
  std::vector<uint32_t> pixels(640 * 480);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint32_t>(i * 2654435761u);
  std::vector<uint8_t> png;
  ASSERT_TRUE(EncodePng(640, 480, pixels, png));
  Decoded decoded = Decode(png);
  ASSERT_EQ(decoded.width, 640);
  EXPECT_EQ(decoded.rgba[(479 * 640 + 639) * 4 + 3], pixels.back() >> 24);
}
}  // namespace
