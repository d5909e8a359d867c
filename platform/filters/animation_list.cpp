#include "platform/filters/animation_list.h"

#include <charconv>

namespace {
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

// A whole decimal number, blanks around it allowed.
bool ParseInt(std::string_view text, int32_t& value) {
  text = Trimmed(text);
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end && !text.empty();
}

bool ParseAnimation(std::string_view line, TMeshAnimation& animation) {
  const size_t first = line.find(',');
  const size_t second = first == std::string_view::npos ? first : line.find(',', first + 1);
  if (second == std::string_view::npos) return false;
  animation.name = std::string(Trimmed(line.substr(0, first)));
  return ParseInt(line.substr(first + 1, second - first - 1), animation.startFrame) &&
         ParseInt(line.substr(second + 1), animation.endFrame);
}
}  // namespace

bool ParseAnimationList(std::string_view text, std::vector<TMeshAnimation>& animations, std::string& error) {
  animations.clear();
  const std::vector<std::string_view> lines = Lines(text);
  if (lines.size() < 2 || lines[0] != "AAF") return true;
  int32_t count = 0;
  if (!ParseInt(lines[1], count) || count < 0) {
    error = "bad animation count";
    return false;
  }
  if (static_cast<size_t>(count) > lines.size() - 2) {
    error = "fewer animations than the count";
    return false;
  }
  std::vector<TMeshAnimation> read(static_cast<size_t>(count));
  for (size_t i = 0; i < read.size(); ++i) {
    if (!ParseAnimation(lines[i + 2], read[i])) {
      error = "bad animation line " + std::to_string(i + 3);
      return false;
    }
  }
  animations = std::move(read);
  return true;
}
