// The script library's compiled built-ins, kept in the user's cache folder:
// only a file that is whole, intact and from this library file is handed to
// the library, which decodes it unchecked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/javascript/js_self_hosted_cache.h"

namespace {
std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(SelfHostedCache, OnlyAWholeIntactFileOfThisLibraryIsUsed) {
  const std::string stamp = "/usr/lib/libmozjs.so|1234|5678";
  const std::vector<uint8_t> compiled = Bytes("compiled built-ins");
  const std::vector<uint8_t> good = Bytes(EncodeSelfHostedCache(stamp, compiled));
  size_t offset = 0;
  ASSERT_TRUE(FindSelfHostedCode(good, stamp, offset));
  EXPECT_EQ(std::vector<uint8_t>(good.begin() + static_cast<long>(offset), good.end()), compiled);

  auto changed = [&](auto change) {
    std::vector<uint8_t> file = good;
    change(file);
    return file;
  };
  const struct {
    const char* what;
    std::vector<uint8_t> file;
    std::string stamp;
  } refused[] = {
      {"one byte short", changed([](auto& f) { f.pop_back(); }), stamp},
      {"one byte more", changed([](auto& f) { f.push_back(0); }), stamp},
      {"a compiled byte changed", changed([](auto& f) { f.back() ^= 1; }), stamp},
      {"another signature", changed([](auto& f) { f[0] = 'X'; }), stamp},
      {"the header alone", changed([](auto& f) { f.resize(16); }), stamp},
      {"another library file", good, "/usr/lib/libmozjs.so|1234|9999"},
      {"no compiled form", Bytes(EncodeSelfHostedCache(stamp, {})), stamp},
      {"nothing", {}, stamp},
  };
  for (const auto& c : refused) EXPECT_FALSE(FindSelfHostedCode(c.file, c.stamp, offset)) << c.what;
}
}  // namespace
