#include "core/objects/engine.h"

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <exception>
#include <memory>

#include "compat/win32/file_system.h"
#include "compat/win32/system.h"
#include "core/resources/ext_resource_man.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/player_data_folder.h"
#include "core/resources/write_places.h"
#include "core/streams/object_file_seams.h"
#include "core/system/log.h"
#include "core/text/exceptions.h"
#include "core/text/text_helpers.h"

const ClassInfo* PlatformClass = nullptr;
const ClassInfo* EmbeddedResManClass = nullptr;
const ClassInfo* ArchiveResManClass = nullptr;

namespace {
SomeEngine* theEngine = nullptr;

const WideString kMainFile = u"main.qxml";

bool HasExtension(const std::string& path, const char* extension) {
  return SameTextAscii(ExtractFileExt(path), extension);
}

// The folder of the main file; a bare file name lives in the current folder.
std::string FolderOf(const std::string& path) {
  std::string folder = ExtractFilePath(path);
  if (!folder.empty()) return folder;
  char cwd[4096];
  if (getcwd(cwd, sizeof(cwd)) == nullptr) return "./";
  return std::string(cwd) + "/";
}

bool StartsWithArchiveSignature(const std::string& path) {
  TFileStream file(path, FileMode::OpenRead);
  if (!file.IsOpen()) throw Exception("Cannot open file \"" + path + "\"");
  char signature[7];
  // A file shorter than the signature cannot be an archive.
  if (!file.ReadExact(signature, sizeof(signature))) return false;
  std::string_view text(signature, sizeof(signature));
  return text == "VFILEST" || text == "CFILEST";
}

TResourceMan* NewArchiveManager(const std::string& path) {
  if (!ArchiveResManClass) return nullptr;
  auto* manager = dynamic_cast<TResourceMan*>(ArchiveResManClass->create(nullptr));
  if (manager) manager->setRoot(path);
  return manager;
}

struct ManagerFree {
  void operator()(TResourceMan* manager) const { manager->Free(); }
};

bool ReadWholeStream(TStream& stream, std::string& text) {
  int64_t size = stream.Size() - stream.Position();
  if (size < 0 || size > (int64_t{1} << 30)) return false;
  text.resize(static_cast<size_t>(size));
  return stream.ReadExact(text.data(), size);
}

// The applet's object-file text: main.qxml, or its binary twin converted to
// the XML form.
bool ReadAppletText(TResourceMan& manager, std::string& text) {
  if (manager.streamExists(kMainFile)) {
    TStream* stream = manager.createStream(kMainFile, fmOpenRead);
    if (!stream) return false;
    bool ok = ReadWholeStream(*stream, text);
    stream->Free();
    return ok;
  }
  const WideString twin = StripExtensionW(kMainFile) + u".qbin";
  if (!manager.streamExists(twin)) return false;
  TStream* stream = manager.createStream(twin, fmOpenRead);
  if (!stream) return false;
  bool ok = BinaryObjectToXmlText(*stream, text);
  stream->Free();
  return ok;
}
}  // namespace

SomeEngine* Engine() { return theEngine; }

const ClassInfo& SomeEngine::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<SomeEngine>("SomeEngine")
                                    .method("log", &SomeEngine::log)
                                    .method("error", &SomeEngine::error)
                                    .build();
  return info;
}

void SomeEngine::Create(TObject* owner) {
  // Number text is locale-free everywhere ("." as the decimal separator).
  theEngine = this;
  inherited::Create(owner);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  if (PlatformClass) platform_ = dynamic_cast<TPersistent*>(PlatformClass->create(nullptr));
  if (EmbeddedResManClass) embedded_ = dynamic_cast<TResourceMan*>(EmbeddedResManClass->create(nullptr));
  external_ = New<TExtResourceMan>(nullptr);
  external_->setRoot(PlayerDataRoot());
}

void SomeEngine::Destroy() {
  freeChildren();
  FreeAndNil(external_);
  FreeAndNil(embedded_);
  FreeAndNil(platform_);
  inherited::Destroy();
  if (theEngine == this) {
    theEngine = nullptr;
    ClearWritePlaces();
  }
}

TResourceMan* SomeEngine::createAppletResourceManager(const std::string& path) {
  if (path.empty()) return nullptr;
  TResourceMan* manager = nullptr;
  if (HasExtension(path, ".qxml") || HasExtension(path, ".qbin")) {
    LogInfo(u"Try to open qxml-file");
    manager = New<TFolderResourceMan>(nullptr);
    manager->setRoot(FolderOf(path));
  } else if (HasExtension(path, ".qfs")) {
    LogInfo(u"Try to create qfs-file");
    if (FileExists(path)) manager = NewArchiveManager(path);
  } else if (StartsWithArchiveSignature(path)) {
    manager = NewArchiveManager(path);
  } else {
    LogError(u"Unsupported applet type :" + Utf8ToWide(path));
  }
  if (manager && !manager->active()) {
    manager->Free();
    LogError(u"Resource manager not actived");
    return nullptr;
  }
  return manager;
}

AppletInfo SomeEngine::getAppletInfo(const std::string& path) {
  AppletInfo info;
  try {
    // The manager goes when the pre-read ends, also when reading throws.
    std::unique_ptr<TResourceMan, ManagerFree> manager(createAppletResourceManager(path));
    if (!manager) return info;
    if (external_) external_->setRoot(FolderOf(path));
    std::string text;
    if (ReadAppletText(*manager, text)) info = ParseAppletInfo(text);
  } catch (const std::exception&) {
    LogError(u"Can't get applet's info");
  }
  return info;
}

BaseObject* SomeEngine::loadApplet(const std::string& path) {
  BaseObject* applet = nullptr;
  try {
    TResourceMan* manager = createAppletResourceManager(path);
    if (!manager) {
      LogError(u"Resource manager not created");
      return nullptr;
    }
    LogInfo(u"Resource manager created " + AnsiToWide(manager->className()));
    if (external_) external_->setRoot(FolderOf(path));
    AddWritePlace(FolderOf(path));
    const WideString twin = StripExtensionW(kMainFile) + u".qbin";
    if (manager->streamExists(kMainFile) || manager->streamExists(twin)) {
      // The loader hands the manager to the new applet, which then owns it.
      applet = LoadAppletObjectFile(manager, kMainFile, this);
    } else {
      LogError(u"Application's resource manager not exists");
      manager->Free();
    }
    if (applet && !AppletHasDevice(applet)) {
      removeChild(applet);
      applet->Free();
      applet = nullptr;
      LogError(u"Applet " + Utf8ToWide(path) + u" can't loaded.");
    }
  } catch (const std::exception&) {
    LogError(u"Can't run applet");
  }
  return applet;
}

void SomeEngine::logCurrentException() {
  if (!theEngine) return;
  try {
    throw;
  } catch (const Exception& e) {
    LogError(e.wideMessage());
  } catch (...) {
    LogError(u"Unknown exception");
  }
}

// ---- the pre-read -----------------------------------------------------------------

namespace {
// The text of the root element's start tag ("<applet ...>"), skipping the
// declaration, comments and processing instructions before it.
std::string_view RootStartTag(std::string_view text) {
  size_t i = 0;
  while ((i = text.find('<', i)) != std::string_view::npos) {
    if (text.compare(i, 4, "<!--") == 0) {
      size_t end = text.find("-->", i + 4);
      if (end == std::string_view::npos) return {};
      i = end + 3;
    } else if (i + 1 < text.size() && (text[i + 1] == '?' || text[i + 1] == '!')) {
      size_t end = text.find('>', i);
      if (end == std::string_view::npos) return {};
      i = end + 1;
    } else {
      break;
    }
  }
  if (i == std::string_view::npos) return {};
  char quote = 0;
  for (size_t j = i; j < text.size(); ++j) {
    char c = text[j];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return text.substr(i, j - i + 1);
    }
  }
  return {};
}

void AppendCodePoint(WideString& out, uint32_t code) {
  if (code < 0x10000) {
    out.push_back(static_cast<char16_t>(code));
    return;
  }
  code -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

// The character a reference's body ("#233", "#xE9", "amp") stands for; false
// for anything else, which then stays as it is written.
bool ReferencedCharacter(std::u16string_view body, uint32_t& code) {
  static const std::pair<std::u16string_view, char16_t> kNamed[] = {
      {u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"quot", u'"'}, {u"apos", u'\''}};
  for (const auto& [name, character] : kNamed) {
    if (body == name) {
      code = character;
      return true;
    }
  }
  if (body.size() < 2 || body[0] != u'#') return false;
  const bool hex = body[1] == u'x' || body[1] == u'X';
  std::u16string_view digits = body.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 8) return false;
  code = 0;
  for (char16_t c : digits) {
    int digit = c >= u'0' && c <= u'9' ? c - u'0' : -1;
    if (hex && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    if (hex && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    if (digit < 0) return false;
    code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
  }
  return code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
}

// A whole decimal integer; throws on anything else, as the system's number
// reading does.
int StrictInt(const std::string& text) {
  size_t used = 0;
  int value = std::stoi(text, &used);
  if (used != text.size()) throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

// The value of `key="..."` among the tag's attributes (a blank before the key).
bool AttributeValue(std::string_view tag, std::string_view key, std::string& value) {
  std::string pattern(key);
  pattern += "=\"";
  size_t at = 0;
  while ((at = tag.find_first_of(" \t\r\n", at)) != std::string_view::npos) {
    if (tag.compare(at + 1, pattern.size(), pattern) == 0) {
      size_t start = at + 1 + pattern.size();
      size_t end = tag.find('"', start);
      if (end == std::string_view::npos) return false;
      value.assign(tag.data() + start, end - start);
      return true;
    }
    ++at;
  }
  return false;
}
}  // namespace

AppletInfo ParseAppletInfo(std::string_view objectFileText) {
  AppletInfo info;
  std::string lowered = LowerCaseAscii(objectFileText);
  std::string_view tag = RootStartTag(lowered);
  std::string value;
  try {
    double scale = 1.0;
    if (AttributeValue(tag, "scale", value)) scale = WideStrToFloat(AnsiToWide(value));
    if (AttributeValue(tag, "width", value)) info.width = RoundHalfEven(StrictInt(value) * scale);
    if (AttributeValue(tag, "height", value)) info.height = RoundHalfEven(StrictInt(value) * scale);
    if (AttributeValue(tag, "title", value)) {
      // The text form of a ".qbin" writes "&" and every character outside
      // ASCII as references: decoded, both forms of one game name one folder.
      info.title = LowerCaseAsciiW(DecodeXmlReferences(IsValidUtf8(value) ? Utf8ToWide(value) : AnsiToWide(value)));
    }
  } catch (const std::exception&) {
    // A bad number ends the reading; what was read so far stays.
  }
  return info;
}

WideString DecodeXmlReferences(std::u16string_view text) {
  WideString out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t end = text[i] == u'&' ? text.find(u';', i + 1) : std::u16string_view::npos;
    uint32_t code = 0;
    if (end != std::u16string_view::npos && ReferencedCharacter(text.substr(i + 1, end - i - 1), code)) {
      AppendCodePoint(out, code);
      i = end;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

WideString SafeFolderName(const WideString& name) {
  WideString safe = name;
  for (char16_t& c : safe) {
    if (c == u'/' || c == u'\\' || c == u':' || c < 0x20) c = u'_';
  }
  if (safe.find_first_not_of(u'.') == WideString::npos && !safe.empty()) safe.assign(safe.size(), u'_');
  return safe;
}
