#include "core/resources/user_seal.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <mutex>
#include <string>

#include "compat/win32/file_system.h"
#include "compat/win32/system.h"
#include "core/resources/player_data_folder.h"

namespace {
using Key = std::array<uint8_t, crypto_auth_hmacsha512256_KEYBYTES>;

// Directly in the data folder, beside the games' folders: a game writes
// only inside its own folder, so no game can replace it.
constexpr const char* kKeyFileName = "qplay-seal.key";

bool ReadKey(const std::string& path, Key& key) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  ssize_t got = read(fd, key.data(), key.size());
  uint8_t extra;
  bool whole = got == static_cast<ssize_t>(key.size()) && read(fd, &extra, 1) == 0;
  close(fd);
  return whole;
}

// Writes a fresh key beside the target and links it into place, so two
// programs starting at once agree on one key: the loser reads the winner's.
bool MakeKey(const std::string& folder, const std::string& path, Key& key) {
  randombytes_buf(key.data(), key.size());
  if (!ForceDirectories(folder)) return false;
  const std::string temp = path + ".new" + std::to_string(getpid());
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  bool written = write(fd, key.data(), key.size()) == static_cast<ssize_t>(key.size());
  written = close(fd) == 0 && written;
  bool linked = written && link(temp.c_str(), path.c_str()) == 0;
  unlink(temp.c_str());
  if (linked) return true;
  return ReadKey(path, key);
}

// This user's key, read or made once per data folder (tests move the folder).
std::optional<Key> UserKey() {
  static std::mutex lock;
  static std::string keyFolder;
  static std::optional<Key> cached;
  std::lock_guard<std::mutex> guard(lock);
  if (sodium_init() < 0) return std::nullopt;
  const std::string folder = PlayerDataRoot();
  if (cached && folder == keyFolder) return cached;
  const std::string path = folder + kKeyFileName;
  // The key once lay loose in the application-data folder: it moves beside
  // the games' folders, so what it sealed still opens.
  std::rename((GetAppDataPath() + kKeyFileName).c_str(), path.c_str());
  Key key;
  // Without a place to keep it, a key for this run alone still seals and
  // opens what this run writes.
  if (!ReadKey(path, key) && !MakeKey(folder, path, key)) randombytes_buf(key.data(), key.size());
  keyFolder = folder;
  cached = key;
  return cached;
}

void PutUint32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t GetUint32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}

// The MAC over the context (with its length, so context and bytes cannot
// trade places) and the first `count` bytes.
void Mac(const Key& key, std::string_view context, const uint8_t* bytes, size_t count,
         uint8_t (&mac)[crypto_auth_hmacsha512256_BYTES]) {
  crypto_auth_hmacsha512256_state state;
  crypto_auth_hmacsha512256_init(&state, key.data(), key.size());
  uint8_t length[8];
  for (int i = 0; i < 8; ++i) length[i] = static_cast<uint8_t>(static_cast<uint64_t>(context.size()) >> (8 * i));
  crypto_auth_hmacsha512256_update(&state, length, sizeof length);
  crypto_auth_hmacsha512256_update(&state, reinterpret_cast<const uint8_t*>(context.data()), context.size());
  crypto_auth_hmacsha512256_update(&state, bytes, count);
  crypto_auth_hmacsha512256_final(&state, mac);
}
}  // namespace

static_assert(kSealSize == 4 + crypto_auth_hmacsha512256_BYTES);

bool SealBytes(std::vector<uint8_t>& bytes, std::string_view context) {
  if (bytes.size() > UINT32_MAX - kSealSize) return false;
  std::optional<Key> key = UserKey();
  if (!key) return false;
  uint8_t mac[crypto_auth_hmacsha512256_BYTES];
  Mac(*key, context, bytes.data(), bytes.size(), mac);
  PutUint32(bytes, static_cast<uint32_t>(bytes.size()));
  bytes.insert(bytes.end(), mac, mac + sizeof mac);
  return true;
}

std::optional<size_t> OpenSeal(const std::vector<uint8_t>& bytes, std::string_view context) {
  if (bytes.size() < kSealSize) return std::nullopt;
  const size_t count = bytes.size() - kSealSize;
  if (GetUint32(&bytes[count]) != count) return std::nullopt;
  std::optional<Key> key = UserKey();
  if (!key) return std::nullopt;
  uint8_t mac[crypto_auth_hmacsha512256_BYTES];
  Mac(*key, context, bytes.data(), count, mac);
  if (sodium_memcmp(mac, &bytes[count + 4], sizeof mac) != 0) return std::nullopt;
  return count;
}
