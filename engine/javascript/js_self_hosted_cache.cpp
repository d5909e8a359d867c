#include "engine/javascript/js_self_hosted_cache.h"

#include <dlfcn.h>
#include <unistd.h>
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

// The compiled form from the file, or nothing when it is missing or not
// whole and intact.
std::vector<uint8_t> ReadCache(const fs::path& path, const std::string& stamp) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (file.size() < kHeader || std::memcmp(file.data(), kMagic, 4) != 0) return {};
  const uint32_t stampCount = ReadWord(file.data() + 4), count = ReadWord(file.data() + 8);
  const uint32_t sum = ReadWord(file.data() + 12);
  if (stampCount != stamp.size() || count == 0 || count > kMaxBytes) return {};
  if (file.size() - kHeader != uint64_t{stampCount} + count) return {};
  if (std::memcmp(file.data() + kHeader, stamp.data(), stampCount) != 0) return {};
  const uint8_t* compiled = file.data() + kHeader + stampCount;
  if (Checksum(compiled, count) != sum) return {};
  return std::vector<uint8_t>(compiled, compiled + count);
}

// Written beside the old file and renamed over it, so that a reader never
// sees half a file.
bool WriteCache(const fs::path& path, const std::string& stamp, JS::SelfHostedCache bytes) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  std::string data(kMagic, 4);
  WriteWord(data, static_cast<uint32_t>(stamp.size()));
  WriteWord(data, static_cast<uint32_t>(bytes.size()));
  WriteWord(data, Checksum(bytes.data(), bytes.size()));
  data += stamp;
  data.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  fs::path temporary = path;
  temporary += ".tmp" + std::to_string(getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out) {
      fs::remove(temporary, error);
      return false;
    }
  }
  fs::rename(temporary, path, error);
  if (error) fs::remove(temporary, error);
  return !error;
}

// What the library decodes must stay alive as long as the library: the
// bytes are read once a process and never changed.
struct Cache {
  std::once_flag read;
  std::vector<uint8_t> bytes;
  bool refused = false;
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

bool InitSelfHostedCodeCached(JSContext* cx, bool& cacheRefused) {
  Cache& cache = TheCache();
  std::call_once(cache.read, [&] {
    std::string stamp = LibraryStamp();
    if (fs::path path = CacheFile(); !path.empty() && !stamp.empty()) cache.bytes = ReadCache(path, stamp);
  });
  cacheRefused = false;
  if (!cache.bytes.empty() && !cache.refused) {
    if (JS::InitSelfHostedCode(cx, JS::SelfHostedCache(cache.bytes.data(), cache.bytes.size()))) return true;
    // Written by another build of the library: compiled anew on a new context.
    cache.refused = true;
    cacheRefused = true;
    return false;
  }
  return JS::InitSelfHostedCode(cx, nullptr, StoreCompiled);
}
