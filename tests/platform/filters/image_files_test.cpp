// PNG and JPEG files made by libpng and libjpeg themselves, loaded through
// the applet's filter: every PNG colour type gives its exact colours (a pure
// red word is 0xFFFF0000), JPEGs give theirs within the codec's loss,
// damaged files give nil with an error line, and written files read back
// the same in the libraries.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>


#include "core/resources/resource_man.h"
#include "core/resources/stream.h"
#include "platform/filters/filter_world.h"
#include "platform/filters/jpeg_coding.h"
#include "platform/filters/png_codec.h"
#include "platform/pixmap.h"

// After the program's headers: jpeglib.h defines TRUE and FALSE, which the
// system layer declares as constants. It needs FILE declared before it.
#include <jpeglib.h>

namespace {
constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;
constexpr uint32_t kClear = 0x00102030u, kHalf = 0x80C08040u;

// 4 x 2: red, green, blue, white / translucent, clear, grey, black.
const std::vector<uint32_t> kColours = {kRed, kGreen, kBlue, kWhite, kHalf, kClear, 0xFF808080u, 0xFF000000u};

// The colours a PNG of a kind can hold: no alpha means opaque, grey takes
// green.
uint32_t Expected(uint32_t p, PngKind kind) {
  if (kind == PngKind::Grey || kind == PngKind::GreyAlpha) {
    const uint32_t g = (p >> 8) & 0xFF;
    p = (p & 0xFF000000u) | (g << 16) | (g << 8) | g;
  }
  if (kind == PngKind::Rgb || kind == PngKind::Grey) p |= 0xFF000000u;
  return p;
}

TEST(PngFiles, EveryColourTypeLoadsWithItsExactColours) {
  const struct {
    const char* name;
    PngOptions options;
  } cases[] = {
      {"rgb", {PngKind::Rgb, 8, false}},          {"rgba", {PngKind::Rgba, 8, false}},
      {"palette", {PngKind::Palette, 8, false}},  {"grey", {PngKind::Grey, 8, false}},
      {"greyalpha", {PngKind::GreyAlpha, 8, false}}, {"deep", {PngKind::Rgba, 16, false}},
      {"interlaced", {PngKind::Rgba, 8, true}},   {"deepgrey", {PngKind::Grey, 16, true}},
  };
  FilterWorld world;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    world.dir.write(std::string(c.name) + ".png", PngFile(4, 2, kColours, c.options));
    TPixmap* pixmap = world.filter->loadPixmap(world.manager.get(), AnsiToWide(std::string(c.name) + ".png"));
    ASSERT_NE(pixmap, nullptr);
    EXPECT_EQ(pixmap->width(), 4);
    EXPECT_EQ(pixmap->height(), 2);
    const std::vector<uint32_t> got = world.pixels(pixmap);
    for (size_t i = 0; i < kColours.size(); ++i) EXPECT_EQ(got[i], Expected(kColours[i], c.options.kind)) << i;
  }
  EXPECT_TRUE(world.log.lines().empty());
}

TEST(JpegFiles, BaselineProgressiveAndGreyLoadNearTheirColours) {
  FilterWorld world;
  const std::vector<uint32_t> picture = Blocks(32, 16, 8, {kRed, kGreen, kBlue, kWhite, 0xFF000000u, 0xFF808080u});
  for (JpegKind kind : {JpegKind::Baseline, JpegKind::Progressive, JpegKind::Grey}) {
    SCOPED_TRACE(static_cast<int>(kind));
    world.dir.write("photo.jpg", JpegFile(32, 16, picture, kind));
    TPixmap* pixmap = world.filter->loadPixmap(world.manager.get(), u"photo.jpg");
    ASSERT_NE(pixmap, nullptr);
    const std::vector<uint32_t> got = world.pixels(pixmap);
    for (int y : {3, 12}) {
      for (int x : {3, 12, 20, 28}) {
        uint32_t want = picture[static_cast<size_t>(y * 32 + x)];
        if (kind == JpegKind::Grey) want = 0xFF000000u | ((want >> 8) & 0xFF) * 0x010101u;
        EXPECT_TRUE(NearArgb(got[static_cast<size_t>(y * 32 + x)], want, 12)) << std::hex << got[y * 32 + x];
      }
    }
    world.device->DestroyPixmap(pixmap);
  }
  // A JPEG is never given a raw copy.
  EXPECT_FALSE(world.manager->streamExists(u"photo.pixmap"));
}

TEST(JpegFiles, CmykIsRefusedAndATruncatedFileDecodesAsFarAsItGoes) {
  FilterWorld world;
  const std::vector<uint32_t> picture = Blocks(64, 64, 32, {kRed, kRed, kBlue, kBlue});
  world.dir.write("cmyk.jpg", JpegFile(64, 64, picture, JpegKind::Cmyk));
  EXPECT_EQ(world.filter->loadPixmap(world.manager.get(), u"cmyk.jpg"), nullptr);
  ASSERT_EQ(world.log.messages().size(), 1u);
  EXPECT_EQ(world.log.messages()[0].rfind("(e) Can't load cmyk.jpg: JPEG ERROR -- #", 0), 0u);

  const std::string whole = JpegFile(64, 64, picture, JpegKind::Baseline);
  // Cut halfway through the compressed data, after the headers.
  const size_t scan = whole.find("\xFF\xDA");
  ASSERT_NE(scan, std::string::npos);
  world.dir.write("cut.jpg", whole.substr(0, scan + (whole.size() - scan) / 2));
  TPixmap* cut = world.filter->loadPixmap(world.manager.get(), u"cut.jpg");
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut->width(), 64);
  EXPECT_TRUE(NearArgb(world.pixels(cut)[5 * 64 + 5], kRed, 12));

  for (const char* junk : {"", "\xFF\xD8", "not a picture at all"}) {
    world.dir.write("junk.jpg", junk);
    world.dir.write("junk.png", junk);
    EXPECT_EQ(world.filter->loadPixmap(world.manager.get(), u"junk.jpg"), nullptr);
    EXPECT_EQ(world.filter->loadPixmap(world.manager.get(), u"junk.png"), nullptr);
  }
  EXPECT_EQ(world.log.count("(e) Can't load junk.png: PNG ERROR -- Not a PNG file"), 1);
}

TEST(ImageFiles, WrittenPngAndJpegReadBackInTheLibrariesWithTheirColours) {
  FilterWorld world;
  world.dir.write("in.png", PngFile(4, 2, kColours, {PngKind::Rgba, 8, false}));
  TPixmap* pixmap = world.filter->loadPixmap(world.manager.get(), u"in.png");
  ASSERT_NE(pixmap, nullptr);
  ASSERT_TRUE(world.filter->savePixmap(world.manager.get(), u"out.png", pixmap));
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  const std::string written = world.dir.read("out.png");
  ASSERT_TRUE(png_image_begin_read_from_memory(&png, written.data(), written.size()));
  png.format = PNG_FORMAT_BGRA;  // the words' own byte order
  std::vector<uint32_t> back(8);
  ASSERT_TRUE(png_image_finish_read(&png, nullptr, back.data(), 0, nullptr));
  EXPECT_EQ(back, kColours);

  // The JPEG, colour only, as libjpeg reads it: red blocks are red.
  world.dir.write("blocks.png", PngFile(32, 16, Blocks(32, 16, 16, {kRed, kBlue}), {PngKind::Rgb, 8, false}));
  TPixmap* blocks = world.filter->loadPixmap(world.manager.get(), u"blocks.png");
  ASSERT_TRUE(world.filter->savePixmap(world.manager.get(), u"out.jpg", blocks));
  const std::string jpeg = world.dir.read("out.jpg");
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size());
  ASSERT_EQ(jpeg_read_header(&cinfo, TRUE), JPEG_HEADER_OK);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  std::vector<JSAMPLE> row(32 * 3);
  JSAMPROW rows[1] = {row.data()};
  for (int y = 0; y <= 8; ++y) jpeg_read_scanlines(&cinfo, rows, 1);
  jpeg_abort_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  EXPECT_GT(row[8 * 3 + 0], 0xF0) << "red";
  EXPECT_LT(row[8 * 3 + 2], 0x10) << "no blue in red";
  EXPECT_GT(row[24 * 3 + 2], 0xF0) << "blue";
}
}  // namespace
