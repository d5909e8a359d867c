#include "core/resources/virtual_file_system_res_man.h"

#include <cmath>

#include "compat/win32/file_system.h"
#include "core/objects/class_builder.h"
#include "core/resources/archive_image.h"
#include "core/resources/resource_path.h"
#include "core/resources/virtual_file_system.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"

const ClassInfo& TVirtualFileSystemResMan::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TVirtualFileSystemResMan>("TVirtualFileSystemResMan")
                                    .method("createStream", &TVirtualFileSystemResMan::createStream)
                                    .method("streamExists", &TVirtualFileSystemResMan::streamExists)
                                    .method("FileDate", &TVirtualFileSystemResMan::FileDate)
                                    .build();
  return info;
}

std::string TVirtualFileSystemResMan::archivePath(const WideString& name) const {
  return WideToAnsi(normalizeName(name));
}

void TVirtualFileSystemResMan::setRoot(const std::string& path) {
  // The archive's own path is a file-system path: no language substitution.
  root_ = path;
  fileSystem_.reset();
  active_ = false;
  std::vector<uint8_t> bytes;
  if (!FileExists(path) || !ReadWholeFile(path, bytes)) return;
  std::vector<uint8_t> image;
  if (!ArchiveImageFromFile(std::move(bytes), image)) return;
  fileSystem_ = std::make_shared<TFileSystem>(std::move(image));
  active_ = fileSystem_->valid();
}

void TVirtualFileSystemResMan::setUsesList(const WideString& text) {
  inherited::setUsesList(text);
  std::vector<Package>& list = packages();
  std::string folder = ExtractFilePath(root_);
  for (size_t i = list.size(); i-- > 0;) {
    if (!IsPlainPackageName(list[i].name)) {
      LogError(u"Package name refused: " + list[i].name);
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    std::string file = folder + WideToUtf8(list[i].name) + ".qfs";
    if (!FileExists(file)) {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    auto* package = New<TVirtualFileSystemResMan>(owner());
    package->setRoot(file);
    list[i].manager = package;
  }
}

bool TVirtualFileSystemResMan::streamExists(const WideString& name) {
  if (fileSystem_ && fileSystem_->fileExists(archivePath(name))) return true;
  return packagesHave(name);
}

TStream* TVirtualFileSystemResMan::createStream(const WideString& name, int32_t mode) {
  if (mode == fmCreate) return nullptr;
  if (ModeHasWriteAccess(mode)) {
    ArchiveError("Can't create opened file");
    return nullptr;
  }
  if (fileSystem_) {
    if (TFile* file = fileSystem_->openRead(archivePath(name))) return new TFileSystemStream(fileSystem_, file);
  }
  return createStreamFromPackages(name, mode);
}

int32_t TVirtualFileSystemResMan::FileDate(const WideString& name) {
  if (fileSystem_) {
    if (const TDirEntry* entry = fileSystem_->findFile(archivePath(name))) return DateTimeToFileDate(entry->date);
  }
  return packageFileDate(name);
}

std::optional<double> TVirtualFileSystemResMan::FileTime(const WideString& name) {
  if (fileSystem_) {
    if (const TDirEntry* entry = fileSystem_->findFile(archivePath(name))) {
      if (!std::isfinite(entry->date)) return std::nullopt;
      return DateTimeToUnixTime(entry->date);
    }
  }
  return packageFileTime(name);
}
