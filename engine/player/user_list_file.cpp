#include "engine/player/user_list_file.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/objects/engine.h"
#include "core/objects/wide_strings.h"
#include "core/resources/ext_resource_man.h"
#include "core/resources/stream.h"
#include "core/system/log.h"
#include "engine/applet/applet_numbers.h"

namespace {
struct Escape {
  char16_t unit;
  const char16_t* form;
};
constexpr Escape kEscapes[] = {
    {u'%', u"%25"},     {u'=', u"%3D"},  {u'\r', u"%0D"}, {u'\n', u"%0A"},      {u'\v', u"%0B"},
    {u'\f', u"%0C"},    {u'\0', u"%00"}, {u'\u2028', u"%u2028"}, {u'\u2029', u"%u2029"},
};

const char16_t* EscapeOf(char16_t unit) {
  for (const Escape& e : kEscapes) {
    if (e.unit == unit) return e.form;
  }
  return nullptr;
}

TExtResourceMan* ExternalManager() {
  SomeEngine* engine = Engine();
  return engine ? engine->externalResourceManager() : nullptr;
}

using OwnedStream = std::unique_ptr<TStream, FreeDeleter>;
}  // namespace

WideString EscapeListText(const WideString& text) {
  WideString out;
  out.reserve(text.size());
  for (char16_t unit : text) {
    if (const char16_t* form = EscapeOf(unit)) {
      out += form;
    } else {
      out += unit;
    }
  }
  return out;
}

WideString UnescapeListText(const WideString& text) {
  if (text.find(u'%') == WideString::npos) return text;
  WideString out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    bool matched = false;
    if (text[i] == u'%') {
      for (const Escape& e : kEscapes) {
        std::u16string_view form(e.form);
        if (text.compare(i, form.size(), form) == 0) {
          out += e.unit;
          i += form.size();
          matched = true;
          break;
        }
      }
    }
    if (!matched) out += text[i++];
  }
  return out;
}

std::optional<int32_t> ParseWholeNumber(const WideString& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  if (i == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
    value = value * 10 + (text[i] - u'0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

WideString LogSafeText(const WideString& text) {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  WideString out;
  out.reserve(text.size());
  for (char16_t unit : text) {
    if (unit == u'\\') {
      out += u"\\\\";
    } else if (unit < 0x20 || unit == 0x7F || unit == 0x85) {
      out += u"\\x";
      out += kHex[unit >> 4 & 0xF];
      out += kHex[unit & 0xF];
    } else if (unit == 0x2028 || unit == 0x2029) {
      out += unit == 0x2028 ? u"\\u2028" : u"\\u2029";
    } else {
      out += unit;
    }
  }
  return out;
}

std::optional<double> ParseDecimalNumber(const WideString& text) {
  // Only the characters of a plain decimal number pass to the conversion.
  std::string ascii;
  size_t i = 0;
  if (!text.empty() && (text[0] == u'+' || text[0] == u'-')) ascii += static_cast<char>(text[i++]);
  bool digits = false;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) ascii += static_cast<char>(text[i]), digits = true;
  if (i < text.size() && text[i] == u'.') {
    ascii += '.';
    for (++i; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) ascii += static_cast<char>(text[i]), digits = true;
  }
  if (!digits) return std::nullopt;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    ascii += 'e';
    ++i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ascii += static_cast<char>(text[i++]);
    const size_t exponentStart = i;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) ascii += static_cast<char>(text[i]);
    if (i == exponentStart) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  const char* first = ascii.data() + (ascii[0] == '+' ? 1 : 0);
  double value = 0;
  auto [end, error] = std::from_chars(first, ascii.data() + ascii.size(), value);
  if (error != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

int64_t ListLineBytes(const WideString& line) { return (static_cast<int64_t>(line.size()) + 2) * 2; }

int64_t ListFileBytes(const TWideStringList& list) {
  int64_t bytes = 0;
  for (int i = 0; i < list.count(); ++i) bytes += ListLineBytes(list.get(i));
  return bytes;
}

bool ListTextFits(const WideString& file, const WideString& what, const WideString& text) {
  if (text.size() <= kLongestListText) return true;
  LogError(u"Too long for " + file + u": " + what + u" of " + DecimalText(static_cast<int64_t>(text.size())) +
           u" characters (at most " + DecimalText(static_cast<int64_t>(kLongestListText)) + u")");
  return false;
}

bool ListFileFits(const WideString& file, int64_t bytes) {
  if (bytes <= kLargestListFile) return true;
  LogError(u"Not stored: " + file + u" would grow past 4 MB; the old file is kept");
  return false;
}

bool HasUserListFolder() { return ExternalManager() != nullptr; }

namespace {
// A file refused as a whole is kept beside the new one for the player (or
// a helper) to recover from; an older refused copy makes way.
void MoveAside(TExtResourceMan& manager, const WideString& name) {
  const std::string path = manager.fullPath(name);
  if (path.empty()) return;
  std::error_code failed;
  std::filesystem::rename(path, path + ".bad", failed);
  if (failed) {
    LogError(u"Damaged file " + name + u" could not be kept aside");
  } else {
    LogInfo(u"Damaged file kept as " + name + u".bad");
  }
}

// One line for all the lines a read left out, naming the first.
void LogSkippedLines(const WideString& name, const std::vector<int>& skipped, const TWideStringList& lines) {
  if (skipped.empty()) return;
  WideString first = lines.get(skipped.front());
  if (first.size() > 80) first = first.substr(0, 80) + u"...";
  LogError(u"Unreadable lines skipped in " + name + u": " + DecimalText(static_cast<int64_t>(skipped.size())) +
           u", the first is line " + DecimalText(skipped.front() + 1) + u" \"" + LogSafeText(first) + u"\"");
}
}  // namespace

ListFileRead ReadUserListFile(const WideString& name, TWideStringList& list, ListLineCheck check) {
  TExtResourceMan* manager = ExternalManager();
  if (!manager) return ListFileRead::Missing;
  OwnedStream stream(manager->createStream(name, fmOpenRead));
  if (!stream) return ListFileRead::Missing;
  const int64_t size = stream->Size();
  std::vector<uint8_t> bytes;
  bool damaged = size == 0 || size % 2 != 0 || size > kLargestListFile;
  if (!damaged) {
    bytes.resize(static_cast<size_t>(size));
    damaged = stream->Read(bytes.data(), size) != size;
  }
  for (size_t i = 0; !damaged && i + 1 < bytes.size(); i += 2) {
    uint16_t unit = static_cast<uint16_t>(bytes[i] | bytes[i + 1] << 8);
    damaged = (unit ^ kScrambleKey) == 0;  // a NUL would cut the text short
  }
  stream.reset();
  if (damaged) {
    LogError(u"Damaged file ignored: " + name);
    MoveAside(*manager, name);
    return ListFileRead::Damaged;
  }
  TWideStringList* lines = New<TWideStringList>();
  TReadOnlyMemoryStream memory(bytes.data(), static_cast<int64_t>(bytes.size()));
  lines->loadScrambled(memory);
  std::vector<int> skipped;
  list.beginUpdate();
  list.clear();
  for (int i = 0; i < lines->count(); ++i) {
    if (check(lines->get(i), i)) {
      list.add(lines->get(i));
    } else {
      skipped.push_back(i);
    }
  }
  list.endUpdate();
  LogSkippedLines(name, skipped, *lines);
  lines->Free();
  return ListFileRead::Read;
}

bool WriteUserListFile(const WideString& name, TWideStringList& list) {
  TExtResourceMan* manager = ExternalManager();
  if (!manager) return false;
  if (!ListFileFits(name, ListFileBytes(list))) return false;
  OwnedStream stream(manager->createStream(name, fmCreate));
  bool written = false;
  if (stream) {
    list.saveScrambled(*stream);
    auto* file = dynamic_cast<TFileStream*>(stream.get());
    written = file && file->Close();
  }
  if (!written) LogError(u"File not written: " + name);
  return written;
}
