// Reading every file of a 50 MB "CFILEST" archive of a few hundred files,
// against the floor of that work: reading the archive file, inflating its
// image with zlib and copying the files' bytes. The last benchmark reports
// the archive's time over the floor's against its goal (bench_goals.cpp),
// the two sides timed in alternating rounds.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_goals.h"
#include "core/resources/archive_image.h"
#include "core/resources/archive_writer.h"
#include "core/resources/stream.h"
#include "core/resources/virtual_file_system.h"
#include "core/resources/virtual_file_system_res_man.h"
#include "core/system/log.h"

namespace {
constexpr int kFiles = 300;
constexpr size_t kTotalBytes = 50u << 20;

// Game-like data: text that packs well mixed with noise that does not.
std::vector<uint8_t> FileBytes(size_t size, uint32_t seed) {
  static const char* const kWords[] = {"sprite ", "onClick ", "width=\"320\" ", "<Button ", "x=", "0.500000000000000 ",
                                       "pixmap ", "\r\n", "function(){", "return; "};
  std::vector<uint8_t> bytes;
  bytes.reserve(size);
  uint32_t state = seed * 2654435761u + 7;
  while (bytes.size() < size) {
    state = state * 1103515245u + 12345u;
    if ((state >> 28) < 10) {
      const char* word = kWords[(state >> 16) % 10];
      bytes.insert(bytes.end(), word, word + std::strlen(word));
    } else {
      for (int i = 0; i < 8; ++i) {
        state = state * 1103515245u + 12345u;
        bytes.push_back(static_cast<uint8_t>(state >> 24));
      }
    }
  }
  bytes.resize(size);
  return bytes;
}

struct BenchArchive {
  std::string folder;
  std::string path;
  std::vector<std::string> names;
  size_t payload = 0;

  BenchArchive() {
    LogHandler() = [](const WideString&) {};
    folder = (std::filesystem::temp_directory_path() / ("qfs-bench-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(folder);
    path = folder + "/game.qfs";
    ArchiveNode root = ArchiveNode::Folder("");
    for (int i = 0; i < kFiles; ++i) {
      // Sizes from 32 KB to about 300 KB, some exact multiples of a block.
      size_t size = (i % 7 == 0) ? 4096u * static_cast<size_t>(8 + i % 60) : 32768u + (static_cast<size_t>(i) * 7919u) % 280000u;
      std::string dir = "d" + std::to_string(i % 12);
      ArchiveNode* sub = nullptr;
      for (ArchiveNode& child : root.children) {
        if (child.name == dir) sub = &child;
      }
      if (!sub) {
        root.children.push_back(ArchiveNode::Folder(dir));
        sub = &root.children.back();
      }
      ArchiveNode file;
      file.name = "f" + std::to_string(i) + ".bin";
      file.data = FileBytes(size, static_cast<uint32_t>(i));
      payload += size;
      sub->children.push_back(std::move(file));
      names.push_back(dir + "\\f" + std::to_string(i) + ".bin");
    }
    // Scale to about 50 MB of file data.
    double scale = static_cast<double>(kTotalBytes) / static_cast<double>(payload);
    payload = 0;
    for (ArchiveNode& sub : root.children) {
      for (ArchiveNode& file : sub.children) {
        file.data = FileBytes(static_cast<size_t>(static_cast<double>(file.data.size()) * scale), static_cast<uint32_t>(payload));
        payload += file.data.size();
      }
    }
    std::vector<uint8_t> packed = CompressArchiveImage(BuildArchiveImage(root));
    WriteWholeFile(path, packed.data(), packed.size());
  }
  ~BenchArchive() { std::filesystem::remove_all(folder); }
};

const BenchArchive& Archive() {
  static BenchArchive archive;
  return archive;
}

// The floor: read the file, inflate the image with zlib, copy the bytes out.
size_t InflateAndCopy(const BenchArchive& archive, std::vector<uint8_t>& out) {
  std::vector<uint8_t> file;
  ReadWholeFile(archive.path, file);
  z_stream zs{};
  inflateInit(&zs);
  uint8_t lengthBytes[4];
  zs.next_in = file.data() + 7;
  zs.avail_in = static_cast<uInt>(file.size() - 7);
  zs.next_out = lengthBytes;
  zs.avail_out = 4;
  inflate(&zs, Z_NO_FLUSH);
  uint32_t length;
  std::memcpy(&length, lengthBytes, 4);
  std::vector<uint8_t> image(length);
  zs.next_out = image.data();
  zs.avail_out = length;
  inflate(&zs, Z_FINISH);
  inflateEnd(&zs);
  out.resize(archive.payload);
  std::memcpy(out.data(), image.data() + image.size() - archive.payload, archive.payload);
  return out.size();
}

// The system's way: mount the archive, open and read every file.
size_t ReadEveryFile(const BenchArchive& archive, std::vector<uint8_t>& out) {
  auto* manager = New<TVirtualFileSystemResMan>();
  manager->setRoot(archive.path);
  out.resize(archive.payload);
  size_t at = 0;
  for (const std::string& name : archive.names) {
    TStream* stream = manager->createStream(AnsiToWide(name), 0);
    at += static_cast<size_t>(stream->Read(out.data() + at, stream->Size()));
    stream->Free();
  }
  manager->Free();
  return at;
}

// Each side writes into an output buffer of its own that is already
// allocated and touched, so that neither pays for the first fault-in of
// 50 MB the other then reuses.
std::vector<uint8_t> WarmBuffer(size_t size) { return std::vector<uint8_t>(size, 0); }

void BM_InflateAndCopy(benchmark::State& state) {
  const BenchArchive& archive = Archive();
  std::vector<uint8_t> out = WarmBuffer(archive.payload);
  for (auto _ : state) benchmark::DoNotOptimize(InflateAndCopy(archive, out));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(archive.payload));
}

void BM_ReadEveryFileOfArchive(benchmark::State& state) {
  const BenchArchive& archive = Archive();
  std::vector<uint8_t> out = WarmBuffer(archive.payload);
  for (auto _ : state) {
    if (ReadEveryFile(archive, out) != archive.payload) state.SkipWithError("short read");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(archive.payload));
  state.counters["files"] = kFiles;
}

void BM_Goals(benchmark::State& state) {
  const BenchArchive& archive = Archive();
  std::vector<uint8_t> out = WarmBuffer(archive.payload);
  std::vector<uint8_t> floorOut = WarmBuffer(archive.payload);
  BenchRatio ratio;
  for (auto _ : state) {
    ratio = AlternatingRatio(
        15,
        [&] {
          size_t read = 0;
          const double seconds = TimeOf([&] { read = ReadEveryFile(archive, out); });
          if (read != archive.payload) state.SkipWithError("short read");
          return seconds;
        },
        [&] { return TimeOf([&] { benchmark::DoNotOptimize(InflateAndCopy(archive, floorOut)); }); });
  }
  ReportGoal(state, "archive_read_vs_floor", ratio);
}
}  // namespace

BENCHMARK(BM_InflateAndCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadEveryFileOfArchive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Goals)->Iterations(1)->Unit(benchmark::kMillisecond);
