// Replays every file of a seed corpus through a fuzz target, so the crashes
// fuzzing ever found keep being checked by the ordinary test run. It also
// feeds each seed cut short and with bytes flipped, which finds the common
// unchecked-size faults without a fuzzing engine.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {
void run(const std::vector<uint8_t>& bytes) {
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

void replayWithVariations(const std::vector<uint8_t>& seed) {
  run(seed);
  for (size_t cut = 0; cut < seed.size(); cut += 1 + seed.size() / 64) {
    run(std::vector<uint8_t>(seed.begin(), seed.begin() + cut));
  }
  uint32_t state = 12345;
  for (int round = 0; round < 64 && !seed.empty(); ++round) {
    std::vector<uint8_t> mutated = seed;
    for (int flips = 0; flips < 4; ++flips) {
      state = state * 1103515245u + 12345u;
      mutated[(state >> 8) % mutated.size()] ^= static_cast<uint8_t>(state >> 24 | 1);
    }
    run(mutated);
  }
}
}  // namespace

int main(int argc, char** argv) {
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path dir(argv[i]);
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      replayWithVariations(bytes);
      ++files;
    }
  }
  run({});
  std::printf("replayed %d corpus files\n", files);
  return 0;
}
