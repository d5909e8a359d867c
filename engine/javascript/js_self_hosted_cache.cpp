#include "engine/javascript/js_self_hosted_cache.h"

#include <dlfcn.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include <js/Initialization.h>

#include "core/resources/stream.h"

namespace {
namespace fs = std::filesystem;

// File: "QSHC", the byte count of the stamp and of the compiled form, the
// CRC-32 of the compiled form, the stamp, then the compiled form. The
// library decodes the bytes without checking them, so nothing short, damaged,
// or written by another library file reaches it.
constexpr char kMagic[4] = {'Q', 'S', 'H', 'C'};
constexpr size_t kHeader = 16;
constexpr uint32_t kMaxBytes = 64u << 20;

fs::path CacheFile() {
  fs::path folder;
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/') {
    folder = cache;
  } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
    folder = fs::path(home) / ".cache";
  } else {
    return {};
  }
  std::string version = JS_GetImplementationVersion();
  for (char& c : version) {
    if (c == '/' || c == ' ') c = '_';
  }
  return folder / "qplay" / ("selfhosted-" + version + ".bin");
}

// The library file itself: its path, size and modification time. A library
// rebuilt or updated under the same version number has another stamp.
std::string LibraryStamp() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&JS_GetImplementationVersion), &info) == 0 || !info.dli_fname) return {};
  std::error_code error;
  fs::path library = fs::canonical(info.dli_fname, error);
  if (error) return {};
  auto size = fs::file_size(library, error);
  if (error) return {};
  auto time = fs::last_write_time(library, error);
  if (error) return {};
  return library.string() + "|" + std::to_string(size) + "|" + std::to_string(time.time_since_epoch().count());
}

uint32_t Checksum(const uint8_t* bytes, size_t count) {
  return static_cast<uint32_t>(crc32(0, bytes, static_cast<uInt>(count)));
}

uint32_t ReadWord(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

void WriteWord(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// The whole file in one read of its known size: the cache is read at every
// start, and a buffer grown as bytes arrive touches several times its size.
std::vector<uint8_t> ReadWholeFile(const fs::path& path) {
  std::error_code error;
  const auto size = fs::file_size(path, error);
  // The stamp is a path and two numbers: far below this slack.
  constexpr uintmax_t kStampSlack = 64u << 10;
  if (error || size < kHeader || size > kHeader + kMaxBytes + kStampSlack) return {};
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> file(static_cast<size_t>(size));
  if (!in.read(reinterpret_cast<char*>(file.data()), static_cast<std::streamsize>(file.size()))) return {};
  return file;
}

std::vector<uint8_t> ReadCache(const fs::path& path, const std::string& stamp, size_t& offset) {
  std::vector<uint8_t> file = ReadWholeFile(path);
  if (!FindSelfHostedCode(file, stamp, offset)) return {};
  return file;
}

// Written through a new temporary beside the old file, renamed over it, so
// that a reader never sees half a file.
bool WriteCache(const fs::path& path, const std::string& stamp, JS::SelfHostedCache bytes) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  const std::string data = EncodeSelfHostedCache(stamp, {bytes.data(), bytes.size()});
  TFileStream out(path.string(), FileMode::Create);
  const auto size = static_cast<int64_t>(data.size());
  const bool written = out.Write(data.data(), size) == size;
  return out.Close() && written;
}

// What the library decodes must stay alive as long as the library: the
// bytes are read once a process and never changed.
struct Cache {
  std::once_flag read;
  std::vector<uint8_t> file;  // the whole file; the compiled form from `offset` on
  size_t offset = 0;
  bool refused = false;
  JS::SelfHostedCache compiled() const { return {file.data() + offset, file.size() - offset}; }
};

Cache& TheCache() {
  static auto* cache = new Cache();
  return *cache;
}

bool StoreCompiled(JSContext* /*cx*/, JS::SelfHostedCache bytes) {
  std::string stamp = LibraryStamp();
  if (bytes.size() > 0 && bytes.size() <= kMaxBytes && !stamp.empty()) {
    if (fs::path path = CacheFile(); !path.empty()) WriteCache(path, stamp, bytes);
  }
  return true;  // a cache that cannot be written only costs the next start time
}
}  // namespace

bool FindSelfHostedCode(std::span<const uint8_t> file, const std::string& stamp, size_t& offset) {
  if (file.size() < kHeader || std::memcmp(file.data(), kMagic, 4) != 0) return false;
  const uint32_t stampCount = ReadWord(file.data() + 4), count = ReadWord(file.data() + 8);
  const uint32_t sum = ReadWord(file.data() + 12);
  if (stampCount != stamp.size() || count == 0 || count > kMaxBytes) return false;
  if (file.size() - kHeader != uint64_t{stampCount} + count) return false;
  if (std::memcmp(file.data() + kHeader, stamp.data(), stampCount) != 0) return false;
  if (Checksum(file.data() + kHeader + stampCount, count) != sum) return false;
  offset = kHeader + stampCount;
  return true;
}

std::string EncodeSelfHostedCache(const std::string& stamp, std::span<const uint8_t> compiled) {
  std::string data(kMagic, 4);
  WriteWord(data, static_cast<uint32_t>(stamp.size()));
  WriteWord(data, static_cast<uint32_t>(compiled.size()));
  WriteWord(data, Checksum(compiled.data(), compiled.size()));
  data += stamp;
  data.append(reinterpret_cast<const char*>(compiled.data()), compiled.size());
  return data;
}

bool InitSelfHostedCodeCached(JSContext* cx, bool& cacheRefused) {
  Cache& cache = TheCache();
  std::call_once(cache.read, [&] {
    std::string stamp = LibraryStamp();
    if (fs::path path = CacheFile(); !path.empty() && !stamp.empty()) cache.file = ReadCache(path, stamp, cache.offset);
  });
  cacheRefused = false;
  if (!cache.file.empty() && !cache.refused) {
    if (JS::InitSelfHostedCode(cx, cache.compiled())) return true;
    // Written by another build of the library: compiled anew on a new context.
    cache.refused = true;
    cacheRefused = true;
    return false;
  }
  return JS::InitSelfHostedCode(cx, nullptr, StoreCompiled);
}
