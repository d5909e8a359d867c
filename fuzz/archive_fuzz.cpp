// Opens arbitrary bytes as a ".qfs" archive (plain or compressed), lists every
// file it holds and reads each one through a stream, seeking about. Nothing
// may crash, overrun or hang.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/resources/archive_image.h"
#include "core/resources/virtual_file_system.h"
#include "core/system/log.h"

namespace {
// Bounds of this harness, so one input stays quick: the reader itself walks
// every directory once and reads only what a file's size allows.
constexpr size_t kMaxImage = 8u << 20;
constexpr size_t kMaxFiles = 2000;
constexpr int64_t kMaxBytesRead = 32 << 20;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (LogHandler() = [](const WideString&) {}, true);
  (void)quiet;
  std::vector<uint8_t> image;
  if (!ArchiveImageFromFile(std::vector<uint8_t>(data, data + size), image) || image.size() > kMaxImage) return 0;
  auto fileSystem = std::make_shared<TFileSystem>(std::move(image));
  if (!fileSystem->valid()) return 0;
  std::vector<std::string> files = fileSystem->allFiles();
  if (files.size() > kMaxFiles) files.resize(kMaxFiles);
  int64_t budget = kMaxBytesRead;
  uint8_t buffer[5000];
  for (const std::string& name : files) {
    fileSystem->fileExists(name);
    TFile* file = fileSystem->openRead(name);
    if (!file) continue;
    TFileSystemStream stream(fileSystem, file);
    while (budget > 0) {
      int64_t got = stream.Read(buffer, sizeof(buffer));
      if (got <= 0) break;
      budget -= got;
    }
    stream.Seek(-3, SeekOrigin::End);
    stream.Read(buffer, 10);
    stream.Seek(stream.Size() + 7, SeekOrigin::Begin);
    stream.Read(buffer, 1);
    stream.Seek(-1, SeekOrigin::Begin);
    if (budget <= 0) break;
  }
  return 0;
}
