#include "core/resources/embedded_res_man.h"

#include <memory>
#include <vector>

#include "core/objects/class_builder.h"
#include "core/resources/builtin_resources.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"

namespace {
struct EmbeddedFile {
  WideString key;  // upper case, for lookups without regard to case
  std::vector<uint8_t> bytes;
};

class EmbeddedFileTable {
 public:
  EmbeddedFileTable() {
    for (const BuiltinFile& file : BuiltinFiles()) add(AnsiToWide(file.name), file.data, file.size);
  }

  void add(const WideString& name, const uint8_t* bytes, size_t length) {
    WideString key = UpperCaseW(embeddedFileKey(name));
    std::vector<uint8_t> copy(bytes, bytes + length);
    if (EmbeddedFile* existing = find(key)) {
      existing->bytes = std::move(copy);
    } else {
      files_.push_back({std::move(key), std::move(copy)});
    }
  }

  const EmbeddedFile* lookup(const WideString& name) { return find(UpperCaseW(embeddedFileKey(name))); }

 private:
  EmbeddedFile* find(const WideString& key) {
    for (EmbeddedFile& file : files_) {
      if (file.key == key) return &file;
    }
    return nullptr;
  }

  std::vector<EmbeddedFile> files_;
};

// Made, with the built-in files in it, on first use; freed at the end of the
// program.
EmbeddedFileTable& Table() {
  static EmbeddedFileTable table;
  return table;
}
}  // namespace

void addEmbeddedFile(const WideString& name, const uint8_t* bytes, size_t length) {
  Table().add(name, bytes, length);
}

WideString embeddedFileKey(const WideString& name) {
  WideString key = name;
  for (char16_t& c : key) {
    if (c == u'.') c = u'_';
  }
  return key;
}

const ClassInfo& TEmbeddedResMan::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TEmbeddedResMan>("TEmbeddedResMan")
                                    .method("createStream", &TEmbeddedResMan::createStream)
                                    .method("streamExists", &TEmbeddedResMan::streamExists)
                                    .method("FileDate", &TEmbeddedResMan::FileDate)
                                    .method("IntFindFilesInDir", &TEmbeddedResMan::IntFindFilesInDir)
                                    .method("IntFindDirInDir", &TEmbeddedResMan::IntFindDirInDir)
                                    .build();
  return info;
}

void TEmbeddedResMan::Create(TObject* owner) {
  inherited::Create(owner);
  setLanguageSubstitution(false);
  LogInfo(u"Embedded resource manager started " + AnsiToWide(className()));
}

void TEmbeddedResMan::Destroy() {
  LogInfo(u"Embedded resource manager closed " + AnsiToWide(className()));
  inherited::Destroy();
}

TStream* TEmbeddedResMan::createStream(const WideString& name, int32_t mode) {
  if (mode == fmCreate || ModeHasWriteAccess(mode)) return nullptr;
  const EmbeddedFile* file = Table().lookup(name);
  if (!file) return nullptr;
  return new TMemoryStream(file->bytes);
}

bool TEmbeddedResMan::streamExists(const WideString& name) { return Table().lookup(name) != nullptr; }

int32_t TEmbeddedResMan::FileDate(const WideString&) { return -1; }
