// Decoding a 2048 x 2048 picture as a PNG and as a JPEG the way the filters
// do (the file opened through a folder resource manager, decoded into ARGB
// words), each paired with bare libpng / libjpeg decoding the same bytes from
// memory into a buffer of the size the header gives, allocated for each
// picture as a loader must, in the same byte order; and reading the PNG's
// converted ".pixmap" copy, which is what later loads of the PNG cost.
// The last benchmark reports each against its goal (bench_goals.cpp), the
// two sides of each timed in alternating rounds.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_goals.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/stream.h"
#include "core/system/log.h"
#include "platform/filters/abstract_filter.h"
#include "platform/filters/jpeg_codec.h"
#include "platform/filters/jpeg_filter.h"
#include "platform/filters/pixmap_binary_filter.h"
#include "platform/filters/png_codec.h"

// After the program's headers: jpeglib.h defines TRUE and FALSE.
#include <jpeglib.h>

namespace {
constexpr int kSide = 2048;

// A picture with smooth shapes and a little grain, as photographs and
// painted game art have: neither flat nor noise.
TArgbImage Picture() {
  TArgbImage image{kSide, kSide, std::vector<uint32_t>(static_cast<size_t>(kSide) * kSide)};
  uint32_t grain = 1;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      grain = grain * 1664525u + 1013904223u;
      const int noise = static_cast<int>(grain >> 29);
      const auto r = static_cast<uint32_t>((x / 8 + noise) & 0xFF);
      const auto g = static_cast<uint32_t>(((x + y) / 16 + noise) & 0xFF);
      const auto b = static_cast<uint32_t>((y / 8 + 2 * noise) & 0xFF);
      image.pixels[static_cast<size_t>(y) * kSide + x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
  return image;
}

std::vector<uint8_t> JpegBytes(const TArgbImage& image) {
  std::vector<uint8_t> bytes;
  JpegEncode(image, JpegPlane::Colour, 90, [&bytes](const uint8_t* data, size_t size) {
    bytes.insert(bytes.end(), data, data + size);
    return true;
  });
  return bytes;
}

// The files, written once into a folder of their own.
struct Files {
  std::string folder;
  std::vector<uint8_t> png, jpeg;
  TFolderResourceMan* manager = nullptr;

  Files() {
    LogHandler() = [](const WideString&) {};
    char pattern[] = "/tmp/qbench-XXXXXX";
    folder = std::string(mkdtemp(pattern)) + "/";
    const TArgbImage picture = Picture();
    EncodePng(picture.width, picture.height, picture.pixels, png);
    jpeg = JpegBytes(picture);
    const std::vector<uint8_t> copy = RawPixmapFile(picture);
    WriteWholeFile(folder + "picture.png", png.data(), png.size());
    WriteWholeFile(folder + "picture.jpg", jpeg.data(), jpeg.size());
    WriteWholeFile(folder + "picture.pixmap", copy.data(), copy.size());
    manager = New<TFolderResourceMan>();
    manager->setRoot(folder);
  }
  ~Files() {
    manager->Free();
    for (const char* name : {"picture.png", "picture.jpg", "picture.pixmap"}) std::remove((folder + name).c_str());
    std::remove(folder.c_str());
  }
};

Files& TheFiles() {
  static Files files;
  return files;
}

void ExpectPicture(benchmark::State& state, const TArgbImage& image) {
  if (image.width != kSide || image.height != kSide) state.SkipWithError("picture not decoded");
}

// ---- PNG ----------------------------------------------------------------------------

TArgbImage PngThroughFilter(Files& files) {
  TStreamPtr stream = OpenFilterStream(files.manager, u"picture.png", 0);
  return DecodePng(*stream);
}

void PngBareLibpng(const Files& files) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  png_image_begin_read_from_memory(&image, files.png.data(), files.png.size());
  image.format = PNG_FORMAT_BGRA;
  std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
  png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
  benchmark::DoNotOptimize(pixels.data());
}

void BM_PngThroughFilter(benchmark::State& state) {
  Files& files = TheFiles();
  for (auto _ : state) {
    TArgbImage image = PngThroughFilter(files);
    benchmark::DoNotOptimize(image.pixels.data());
    ExpectPicture(state, image);
  }
}
BENCHMARK(BM_PngThroughFilter)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_PngBareLibpng(benchmark::State& state) {
  Files& files = TheFiles();
  for (auto _ : state) PngBareLibpng(files);
}
BENCHMARK(BM_PngBareLibpng)->Unit(benchmark::kMillisecond)->MinTime(2);

// ---- JPEG ---------------------------------------------------------------------------

// A filter's reading of a picture into plain pixels, as loadRGBAFile runs it.
template <typename Filter>
using OwnedFilter = std::unique_ptr<Filter, FreeDeleter>;

template <typename Filter>
TArgbImage ReadThroughFilter(Filter& filter, Files& files, const WideString& name) {
  TArgbImage image;
  filter.readRGBA(files.manager, name, image);
  return image;
}

template <typename Filter>
void ReadThroughFilter(benchmark::State& state, const WideString& name) {
  Files& files = TheFiles();
  OwnedFilter<Filter> filter(New<Filter>());
  for (auto _ : state) {
    TArgbImage image = ReadThroughFilter(*filter, files, name);
    benchmark::DoNotOptimize(image.pixels.data());
    ExpectPicture(state, image);
  }
}

void JpegBareLibjpeg(const Files& files) {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, files.jpeg.data(), files.jpeg.size());
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(&cinfo);
  std::vector<uint32_t> pixels(static_cast<size_t>(cinfo.output_width) * cinfo.output_height);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(pixels.data() + static_cast<size_t>(cinfo.output_scanline) * kSide);
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  benchmark::DoNotOptimize(pixels.data());
}

void BM_JpegThroughFilter(benchmark::State& state) { ReadThroughFilter<TJpegFilter>(state, u"picture.jpg"); }
BENCHMARK(BM_JpegThroughFilter)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_JpegBareLibjpeg(benchmark::State& state) {
  Files& files = TheFiles();
  for (auto _ : state) JpegBareLibjpeg(files);
}
BENCHMARK(BM_JpegBareLibjpeg)->Unit(benchmark::kMillisecond)->MinTime(2);

// ---- the converted copy -------------------------------------------------------------

void BM_PngConvertedCopy(benchmark::State& state) { ReadThroughFilter<TPixmapBinaryFilter>(state, u"picture.pixmap"); }
BENCHMARK(BM_PngConvertedCopy)->Unit(benchmark::kMillisecond)->MinTime(2);

// The time of reading one picture and letting it go, as the bare sides do;
// its size checked.
double TimeOfPicture(benchmark::State& state, const std::function<TArgbImage()>& read) {
  return TimeOf([&] {
    TArgbImage image = read();
    ExpectPicture(state, image);
  });
}

void BM_Goals(benchmark::State& state) {
  Files& files = TheFiles();
  constexpr int kRounds = 15;
  OwnedFilter<TJpegFilter> jpeg(New<TJpegFilter>());
  OwnedFilter<TPixmapBinaryFilter> pixmap(New<TPixmapBinaryFilter>());
  auto png = [&] { return TimeOfPicture(state, [&] { return PngThroughFilter(files); }); };
  BenchRatio pngRatio, jpegRatio, pixmapRatio;
  for (auto _ : state) {
    pngRatio = AlternatingRatio(kRounds, png, [&] { return TimeOf([&] { PngBareLibpng(files); }); });
    jpegRatio = AlternatingRatio(
        kRounds, [&] { return TimeOfPicture(state, [&] { return ReadThroughFilter(*jpeg, files, u"picture.jpg"); }); },
        [&] { return TimeOf([&] { JpegBareLibjpeg(files); }); });
    pixmapRatio = AlternatingRatio(
        kRounds,
        [&] { return TimeOfPicture(state, [&] { return ReadThroughFilter(*pixmap, files, u"picture.pixmap"); }); },
        png);
  }
  ReportGoal(state, "png_vs_libpng", pngRatio);
  ReportGoal(state, "jpeg_vs_libjpeg", jpegRatio);
  ReportGoal(state, "pixmap_vs_png", pixmapRatio);
}
BENCHMARK(BM_Goals)->Iterations(1)->Unit(benchmark::kMillisecond);
}  // namespace
