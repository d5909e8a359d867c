#include "platform/fonts/glyph_table.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <map>

#include "core/text/text.h"
#include "core/text/text_helpers.h"

namespace {
void PutInt(std::vector<uint8_t>& out, int32_t value) {
  auto word = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(word >> (8 * i)));
}

void PutFloat(std::vector<uint8_t>& out, float value) {
  int32_t word;
  std::memcpy(&word, &value, 4);
  PutInt(out, word);
}

int32_t GetInt(const uint8_t* at) {
  uint32_t word = 0;
  for (int i = 0; i < 4; ++i) word |= static_cast<uint32_t>(at[i]) << (8 * i);
  return static_cast<int32_t>(word);
}

float GetFloat(const uint8_t* at) {
  int32_t word = GetInt(at);
  float value;
  std::memcpy(&value, &word, 4);
  return value;
}

constexpr size_t kHeaderBytes = 23;

std::string FloatText(float value) { return WideToAnsi(FloatToWideStr(value)); }

// Whole decimal numbers only; false for anything else or out of range.
bool ParseInt(const std::string& text, int64_t low, int64_t high, int64_t& value) {
  if (text.empty() || text.size() > 12) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  int64_t result = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    result = result * 10 + (text[i] - '0');
  }
  value = text[0] == '-' ? -result : result;
  return value >= low && value <= high;
}

bool ParseFloat(const std::string& text, float& value) {
  if (text.empty() || text.size() > 400) return false;
  double parsed = 0;
  try {
    parsed = WideStrToFloat(AnsiToWide(text));
  } catch (const std::exception&) {
    return false;  // not a number
  }
  // A value beyond a float's range would be stored as infinity, which no
  // reader takes back.
  if (!std::isfinite(parsed) || std::fabs(parsed) > std::numeric_limits<float>::max()) return false;
  value = static_cast<float>(parsed);
  return true;
}

// A boolean as text: a whole number (0 is false) or "true" / "false" in any case.
bool ParseBool(const std::string& text, int64_t& value) {
  std::string lower;
  for (char c : text) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (lower == "true" || lower == "false") {
    value = lower == "true" ? 1 : 0;
    return true;
  }
  return ParseInt(text, INT32_MIN, INT32_MAX, value);
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == ',') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

// name=value lines; the first value of a name counts, as a list lookup finds it.
std::map<std::string, std::string> ReadValues(const std::string& text) {
  std::map<std::string, std::string> values;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    size_t equals = line.find('=');
    if (equals != std::string::npos) values.emplace(line.substr(0, equals), line.substr(equals + 1));
    start = end + 1;
  }
  return values;
}

bool ReadGlyphLine(const std::string& value, TGlyphRecord& glyph) {
  std::vector<std::string> parts = SplitCommas(value);
  int64_t before = 0, after = 0;
  if (parts.size() != 6 || !ParseFloat(parts[0], glyph.u0) || !ParseFloat(parts[1], glyph.v0) ||
      !ParseFloat(parts[2], glyph.u1) || !ParseFloat(parts[3], glyph.v1) ||
      !ParseInt(parts[4], INT32_MIN, INT32_MAX, before) || !ParseInt(parts[5], INT32_MIN, INT32_MAX, after)) {
    return false;
  }
  glyph.before = static_cast<int32_t>(before);
  glyph.after = static_cast<int32_t>(after);
  glyph.enabled = true;
  return true;
}
}  // namespace

std::vector<uint8_t> WriteFontBinary(const TGlyphTable& table) {
  std::vector<uint8_t> out(kFontBinarySignature, kFontBinarySignature + 7);
  out.reserve(kHeaderBytes + kGlyphRecordBytes * table.glyphs.size());
  PutInt(out, static_cast<int32_t>(table.atlasWidth));
  PutInt(out, static_cast<int32_t>(table.atlasHeight));
  PutInt(out, static_cast<int32_t>(table.glyphs.size()));
  PutInt(out, table.allowRebuild ? 1 : 0);
  for (const TGlyphRecord& glyph : table.glyphs) {
    out.push_back(glyph.enabled ? 1 : 0);
    out.insert(out.end(), 3, 0);
    for (float f : {glyph.u0, glyph.v0, glyph.u1, glyph.v1}) PutFloat(out, f);
    PutInt(out, glyph.before);
    PutInt(out, glyph.after);
  }
  return out;
}

bool ReadFontBinary(const uint8_t* data, size_t size, TGlyphTable& table, bool& signatureOk) {
  signatureOk = size >= 7 && std::memcmp(data, kFontBinarySignature, 7) == 0;
  if (!signatureOk || size < kHeaderBytes) return false;
  int32_t width = GetInt(data + 7), height = GetInt(data + 11), count = GetInt(data + 15);
  if (width < 0 || height < 0 || count < 0 || count > kMaxGlyphCount ||
      static_cast<size_t>(count) > (size - kHeaderBytes) / kGlyphRecordBytes) {
    return false;
  }
  TGlyphTable read;
  read.atlasWidth = static_cast<uint32_t>(width);
  read.atlasHeight = static_cast<uint32_t>(height);
  read.allowRebuild = GetInt(data + 19) != 0;
  read.glyphs.resize(static_cast<size_t>(count));
  const uint8_t* at = data + kHeaderBytes;
  for (TGlyphRecord& glyph : read.glyphs) {
    glyph.enabled = at[0] != 0;
    glyph.u0 = GetFloat(at + 4);
    glyph.v0 = GetFloat(at + 8);
    glyph.u1 = GetFloat(at + 12);
    glyph.v1 = GetFloat(at + 16);
    glyph.before = GetInt(at + 20);
    glyph.after = GetInt(at + 24);
    at += kGlyphRecordBytes;
  }
  table = std::move(read);
  return true;
}

std::string WriteFontText(const TGlyphTable& table) {
  std::string out = "texwidth=" + std::to_string(table.atlasWidth) + "\r\n";
  out += "texheight=" + std::to_string(table.atlasHeight) + "\r\n";
  out += "charcount=" + std::to_string(table.glyphs.size()) + "\r\n";
  out += std::string("allowrebuild=") + (table.allowRebuild ? "-1" : "0") + "\r\n";
  for (size_t i = 0; i < table.glyphs.size(); ++i) {
    const TGlyphRecord& glyph = table.glyphs[i];
    if (!glyph.enabled) continue;
    out += "#" + std::to_string(i + kFirstGlyphCode) + "=" + FloatText(glyph.u0) + "," + FloatText(glyph.v0) + "," +
           FloatText(glyph.u1) + "," + FloatText(glyph.v1) + "," + std::to_string(glyph.before) + "," +
           std::to_string(glyph.after) + "\r\n";
  }
  return out;
}

bool ReadFontText(const std::string& text, TGlyphTable& table) {
  std::map<std::string, std::string> values = ReadValues(text);
  int64_t width = 0, height = 0, count = 0, rebuild = 0;
  if (!ParseInt(values["texwidth"], 0, INT32_MAX, width) || !ParseInt(values["texheight"], 0, INT32_MAX, height) ||
      !ParseInt(values["charcount"], 0, kMaxGlyphCount, count) || !ParseBool(values["allowrebuild"], rebuild)) {
    return false;
  }
  TGlyphTable read;
  read.atlasWidth = static_cast<uint32_t>(width);
  read.atlasHeight = static_cast<uint32_t>(height);
  read.allowRebuild = rebuild != 0;
  read.glyphs.resize(static_cast<size_t>(count));
  // Only the lines that exist are looked at: a table of 65536 records with
  // three glyphs costs three lookups, not 65536.
  for (const auto& [name, value] : values) {
    int64_t code = 0;
    if (name.size() < 2 || name[0] != '#' || !ParseInt(name.substr(1), kFirstGlyphCode, kFirstGlyphCode + count - 1, code)) {
      continue;
    }
    if (!ReadGlyphLine(value, read.glyphs[static_cast<size_t>(code - kFirstGlyphCode)])) return false;
  }
  table = std::move(read);
  return true;
}
