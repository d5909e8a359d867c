#pragma once
// Reads back what the X server shows, with ImageMagick's import, for tests
// that run the built program as a player does.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

// One pixel of the whole screen as 0xRRGGBB; nothing when it could not be read.
inline std::optional<uint32_t> ScreenPixel(int x, int y) {
  const std::string command =
      "import -window root -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) + " -depth 8 txt:- 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string text;
  char buffer[256];
  while (fgets(buffer, sizeof(buffer), pipe)) text += buffer;
  pclose(pipe);
  const size_t hash = text.find(" #");
  if (hash == std::string::npos || hash + 8 > text.size()) return std::nullopt;
  return static_cast<uint32_t>(std::stoul(text.substr(hash + 2, 6), nullptr, 16));
}
