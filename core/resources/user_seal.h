#pragma once
// Seals on files that this user's runtime writes and later trusts, such as
// compiled script caches, whose readers are not made for untrusted bytes. A
// seal is a keyed MAC (HMAC-SHA-512/256) over the bytes and a context text
// (what wrote them, for example the script library's build), under a random
// key of this user kept in the user's data folder and made on first use. A
// file from anywhere else (a game's own folder, another user, another
// machine, a forged copy) carries no seal that opens.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Appends the seal to `bytes`: their count (4 bytes, little-endian) and the
// MAC (32 bytes). False when the bytes are too many or no key can be had.
bool SealBytes(std::vector<uint8_t>& bytes, std::string_view context);

// The count of sealed bytes at the start of `bytes` when they end in this
// user's seal for `context`; nothing otherwise.
std::optional<size_t> OpenSeal(const std::vector<uint8_t>& bytes, std::string_view context);

// Bytes the seal adds.
constexpr size_t kSealSize = 4 + 32;
