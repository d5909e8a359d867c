#pragma once
// A hashed map from names to values that ignores ASCII case, for the lookups
// by published name that object files and scripts make on every entry. The
// names are views: they must outlive the map (class and property names do,
// being parts of the class descriptions).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>

struct AsciiCaseHash {
  using is_transparent = void;
  size_t operator()(std::string_view name) const noexcept {
    // FNV-1a over the lower-cased bytes.
    uint64_t hash = 14695981039346656037ull;
    for (char c : name) {
      const auto byte = static_cast<unsigned char>(c);
      hash = (hash ^ (byte >= 'A' && byte <= 'Z' ? byte + 32u : byte)) * 1099511628211ull;
    }
    return static_cast<size_t>(hash);
  }
};

struct AsciiCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      const auto x = static_cast<unsigned char>(a[i]);
      const auto y = static_cast<unsigned char>(b[i]);
      if (x != y && (x | 32u) != (y | 32u)) return false;
      if (x != y && ((x | 32u) < 'a' || (x | 32u) > 'z')) return false;
    }
    return true;
  }
};

template <typename Value>
using AsciiNameMap = std::unordered_map<std::string_view, Value, AsciiCaseHash, AsciiCaseEqual>;
