#include "engine/user_list_file.h"

#include <memory>
#include <vector>

#include "core/engine.h"
#include "core/ext_resource_man.h"
#include "core/log.h"
#include "core/stream.h"
#include "core/wide_strings.h"

namespace {
// No game keeps megabytes of settings or scores; a larger file is damage.
constexpr int64_t kLargestListFile = 4 << 20;

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

bool HasUserListFolder() { return ExternalManager() != nullptr; }

ListFileRead ReadUserListFile(const WideString& name, TWideStringList& list, ListLineCheck check, int minimumLines) {
  TExtResourceMan* manager = ExternalManager();
  if (!manager) return ListFileRead::Missing;
  OwnedStream stream(manager->createStream(name, fmOpenRead));
  if (!stream) return ListFileRead::Missing;
  const int64_t size = stream->Size();
  std::vector<uint8_t> bytes;
  bool damaged = size % 2 != 0 || size > kLargestListFile;
  if (!damaged) {
    bytes.resize(static_cast<size_t>(size));
    damaged = stream->Read(bytes.data(), size) != size;
  }
  for (size_t i = 0; !damaged && i + 1 < bytes.size(); i += 2) {
    uint16_t unit = static_cast<uint16_t>(bytes[i] | bytes[i + 1] << 8);
    damaged = (unit ^ kScrambleKey) == 0;  // a NUL would cut the text short
  }
  TWideStringList* lines = New<TWideStringList>();
  if (!damaged) {
    TReadOnlyMemoryStream memory(bytes.data(), static_cast<int64_t>(bytes.size()));
    lines->loadScrambled(memory);
    damaged = lines->count() < minimumLines;
    for (int i = 0; i < lines->count() && !damaged; ++i) damaged = !check(lines->get(i), i);
  }
  if (!damaged) {
    list.beginUpdate();
    list.clear();
    for (int i = 0; i < lines->count(); ++i) list.add(lines->get(i));
    list.endUpdate();
  }
  lines->Free();
  if (damaged) {
    LogError(u"Damaged file ignored: " + name);
    return ListFileRead::Damaged;
  }
  return ListFileRead::Read;
}

bool WriteUserListFile(const WideString& name, TWideStringList& list) {
  TExtResourceMan* manager = ExternalManager();
  if (!manager) return false;
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
