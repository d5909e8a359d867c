// Pictures made to cost. PNG chunks that declare gigabytes are not
// allocated. JPEG frame headers that claim thousands of pixels a
// side with no scan data behind them (through ".jpg" and through a ".pixmap"
// plane) are refused with the file named, no copy written and little memory
// taken; a file of endless empty scans stops early; the library's errors say
// what went wrong. Also the ".pixmap" JPEG planes' component order, checked
// against libjpeg itself.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <zlib.h>

#include "core/resources/stream.h"
#include "platform/filters/filter_world.h"
#include "platform/filters/jpeg_coding.h"
#include "platform/filters/pixmap_file_format.h"
#include "platform/pixmap.h"

#include <jpeglib.h>
#include <jerror.h>
#include "support/largest_allocation.h"


namespace {

std::string Int32(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

std::string PixmapWithPlanes(int32_t width, int32_t height, const std::string& colour, const std::string& alpha) {
  return "PIXMAPB" + Int32(width) + Int32(height) + Int32(1) + std::string(508, '\0') +
         Int32(static_cast<int32_t>(colour.size())) + colour + Int32(static_cast<int32_t>(alpha.size())) + alpha;
}

// A libjpeg file of 16 x 16 whose frame header is made to claim `side` x
// `side`, cut after its first scan header: headers only, no scan data.
std::string HeaderOnlyJpeg(int side, JpegKind kind) {
  std::string file = JpegFile(16, 16, std::vector<uint32_t>(256, 0xFF336699u), kind);
  const size_t frame = file.find(kind == JpegKind::Progressive ? "\xFF\xC2" : "\xFF\xC0");
  const size_t scan = file.find("\xFF\xDA");
  for (size_t at : {frame + 5, frame + 7}) {
    file[at] = static_cast<char>(side >> 8);
    file[at + 1] = static_cast<char>(side & 0xFF);
  }
  const size_t scanHeader = 2 + ((static_cast<uint8_t>(file[scan + 2]) << 8) | static_cast<uint8_t>(file[scan + 3]));
  return file.substr(0, scan + scanHeader) + "\xFF\xD9";
}

// A grey progressive file of `side` x `side` with `scans` AC scans that carry
// no data at all.
std::string EmptyScansJpeg(int side, int scans) {
  auto segment = [](uint8_t marker, const std::string& body) {
    const size_t length = body.size() + 2;
    return std::string{'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8), static_cast<char>(length & 0xFF)} +
           body;
  };
  std::string file = "\xFF\xD8";
  file += segment(0xDB, std::string(1, '\0') + std::string(64, '\1'));  // quantisation table 0, all ones
  const char s0 = static_cast<char>(side >> 8), s1 = static_cast<char>(side & 0xFF);
  file += segment(0xC2, std::string{8, s0, s1, s0, s1, 1, 1, 0x11, 0});  // one component, table 0
  std::string counts(16, '\0');
  counts[0] = 1;
  file += segment(0xC4, std::string(1, '\x10') + counts + std::string(1, '\0'));  // AC table 0: one 1-bit code
  for (int i = 0; i < scans; ++i) file += segment(0xDA, std::string{1, 1, 0, 1, 63, 0});
  return file + "\xFF\xD9";
}

// How much the resident memory rose above its level before `work` ran, in
// megabytes: `work` runs in a child process, whose high-water mark starts at
// the memory it shares with this one.
long PeakGrowthMegabytes(const std::function<void()>& work) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    auto statusKb = [](const std::string& field) {
      std::ifstream status("/proc/self/status");
      std::string line;
      while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(field.size()));
      }
      return 0L;
    };
    const long before = statusKb("VmRSS:");
    work();
    const long growth = (statusKb("VmHWM:") - before) / 1024;
    (void)!write(pipeEnds[1], &growth, sizeof growth);
    _exit(0);
  }
  close(pipeEnds[1]);
  long growth = -1;
  if (read(pipeEnds[0], &growth, sizeof growth) != sizeof growth) growth = -1;
  close(pipeEnds[0]);
  waitpid(child, nullptr, 0);
  return growth;
}

// The file through plain libjpeg: its components in stream order.
std::vector<uint8_t> LibjpegComponents(const std::string& file, int& width) {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(file.data()), file.size());
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  width = static_cast<int>(cinfo.output_width);
  std::vector<uint8_t> samples(static_cast<size_t>(cinfo.output_width) * cinfo.output_height * 3);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = samples.data() + static_cast<size_t>(cinfo.output_scanline) * cinfo.output_width * 3;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return samples;
}

std::string PngChunk(const std::string& type, const std::string& data, uint32_t declared) {
  std::string chunk;
  for (int shift : {24, 16, 8, 0}) chunk.push_back(static_cast<char>(declared >> shift));
  const std::string body = type + data;
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
  chunk += body;
  for (int shift : {24, 16, 8, 0}) chunk.push_back(static_cast<char>(crc >> shift));
  return chunk;
}

TEST(HostilePng, ChunksDeclaringGigabytesAreNotAllocated) {
  const std::string header = PngChunk("IHDR", std::string("\0\0\0\1\0\0\0\1\x08\x06\0\0\0", 13), 13);
  const bool watched = WatchLargestAllocation();
  for (const char* type : {"tEXt", "zTXt", "iTXt", "iCCP", "sPLT", "eXIf", "pCAL", "sCAL"}) {
    SCOPED_TRACE(type);
    FilterWorld world;
    world.dir.write("claim.png", "\x89PNG\r\n\x1a\n" + header + PngChunk(type, "abcdefgh", 0x7FFFFFF0u) + std::string(40, 'x'));
    ResetLargestAllocation();
    EXPECT_EQ(world.filter->loadPixmap(world.manager.get(), u"claim.png"), nullptr);
    if (watched) {
      EXPECT_LT(LargestAllocation(), size_t{16} << 20);
    }
    EXPECT_EQ(world.log.count("(e) Can't load claim.png: PNG ERROR -- Read Error: file truncated"), 1);
  }
}

TEST(HostilePictures, APictureTheDeviceCannotHoldIsNamedWithItsSize) {
  FilterWorld world;
  world.dir.write("wide.png", PngFile(5000, 2, std::vector<uint32_t>(10000, 0xFF00FF00u), {}));
  EXPECT_EQ(world.filter->loadPixmap(world.manager.get(), u"wide.png"), nullptr);
  EXPECT_EQ(world.log.messages(), std::vector<std::string>{"(e) Can't load wide.png: the device cannot hold 5000 x 2"});
  EXPECT_FALSE(std::filesystem::exists(world.dir.file("wide.pixmap")));
}

TEST(HostileJpeg, HeadersClaimingHugeSizesAreRefusedWithTheFileNamedNoCopyAndLittleMemory) {
  struct Case {
    int side;
    JpegKind kind;
    bool inPixmap;
  };
  for (const Case c : {Case{6000, JpegKind::Baseline, false}, Case{16000, JpegKind::Progressive, false},
                       Case{6000, JpegKind::Progressive, true}, Case{16000, JpegKind::Baseline, true}}) {
    SCOPED_TRACE(std::to_string(c.side) + (c.inPixmap ? " pixmap" : " jpg"));
    FilterWorld world;
    const std::string jpeg = HeaderOnlyJpeg(c.side, c.kind);
    const std::string name = c.inPixmap ? "huge.pixmap" : "huge.jpg";
    world.dir.write(name, c.inPixmap ? PixmapWithPlanes(c.side, c.side, jpeg, jpeg) : jpeg);
    const long growth = PeakGrowthMegabytes([&] {
      TPixmap* pixmap = world.filter->loadPixmap(world.manager.get(), AnsiToWide(name));
      if (pixmap) _exit(1);
    });
    EXPECT_GE(growth, 0);  // the child did not find a picture
    EXPECT_LT(growth, 32);
    EXPECT_EQ(world.filter->loadPixmap(world.manager.get(), AnsiToWide(name)), nullptr);
    const std::string size = std::to_string(c.side);
    const std::string line = "(e) Can't load " + name + ": JPEG ERROR -- #" + std::to_string(JERR_IMAGE_TOO_BIG) +
                             ": Image of " + size + " x " + size + " pixels larger than its ";
    ASSERT_EQ(world.log.messages().size(), 1u);
    EXPECT_EQ(world.log.messages()[0].rfind(line, 0), 0u) << world.log.messages()[0];
    if (!c.inPixmap) {
      EXPECT_FALSE(std::filesystem::exists(world.dir.file("huge.pixmap")));
    }
  }
}

TEST(HostileJpeg, EndlessEmptyScansStopAndLibraryErrorsSayWhy) {
  const std::string file = EmptyScansJpeg(2048, 2000);
  TReadOnlyMemoryStream stream(file.data(), static_cast<int64_t>(file.size()));
  try {
    decodeJpeg(stream);
    ADD_FAILURE() << "2,000 scans decoded";
  } catch (const EJPEG& error) {
    EXPECT_EQ(std::string(error.what()), "JPEG ERROR -- #" + std::to_string(JERR_BAD_PROGRESSION) + ": Too many scans in the file");
  }
  // A few scans are fine.
  const std::string few = EmptyScansJpeg(64, 10);
  TReadOnlyMemoryStream fewStream(few.data(), static_cast<int64_t>(few.size()));
  EXPECT_EQ(decodeJpeg(fewStream).width, 64);

  FilterWorld world;
  world.dir.write("text.jpg", "not a picture");
  EXPECT_EQ(world.filter->loadPixmap(world.manager.get(), u"text.jpg"), nullptr);
  EXPECT_TRUE(world.log.contains("(e) Can't load text.jpg: JPEG ERROR -- #" + std::to_string(JERR_NO_SOI) +
                                 ": Not a JPEG file: starts with 0x6e 0x6f"))
      << world.log.messages()[0];
}

TEST(PixmapJpegPlanes, ComponentsAreTheWordsBytesZeroOneTwoBothWays) {
  // Planes as a reader of the format lays them out: the colour plane's
  // components are bytes 0, 1 and 2 (blue, green, red) of each word.
  const std::vector<uint32_t> words = Blocks(32, 16, 16, {0xFFFF2000u, 0x803060E0u});
  std::vector<uint32_t> componentsAsRgb, alphaAsGrey;
  for (uint32_t w : words) {
    componentsAsRgb.push_back(0xFF000000u | (w & 0xFF) << 16 | (w & 0xFF00) | (w >> 16 & 0xFF));
    alphaAsGrey.push_back(0xFF000000u | (w >> 24) * 0x010101u);
  }
  FilterWorld world;
  world.dir.write("laid.pixmap", PixmapWithPlanes(32, 16, JpegFile(32, 16, componentsAsRgb, JpegKind::Baseline, 100),
                                                  JpegFile(32, 16, alphaAsGrey, JpegKind::Baseline, 100)));
  const std::vector<uint32_t> read = world.pixels(world.filter->loadPixmap(world.manager.get(), u"laid.pixmap"));
  ASSERT_EQ(read.size(), words.size());
  for (size_t i : {size_t{0}, size_t{20}}) EXPECT_TRUE(NearArgb(read[i], words[i], 4)) << std::hex << read[i];

  // What the program writes reads the same way in plain libjpeg.
  const std::string written = JpegPlanesPixmapFile({32, 16, words}, 100);
  int32_t colourSize = 0;
  std::memcpy(&colourSize, written.data() + 527, 4);
  int width = 0;
  const std::vector<uint8_t> samples = LibjpegComponents(written.substr(531, static_cast<size_t>(colourSize)), width);
  ASSERT_EQ(width, 32);
  for (size_t i : {size_t{0}, size_t{20}}) {
    for (size_t byte = 0; byte < 3; ++byte) {
      EXPECT_NEAR(samples[3 * i + byte], words[i] >> (8 * byte) & 0xFF, 4) << i << " byte " << byte;
    }
  }
}
}  // namespace
