#include "core/folder_resource_man.h"

#include "compat/win32/file_system.h"
#include "core/class_builder.h"
#include "core/resource_man_files.h"

const ClassInfo& TFolderResourceMan::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TFolderResourceMan>("TFolderResourceMan")
                                    .method("createStream", &TFolderResourceMan::createStream)
                                    .method("streamExists", &TFolderResourceMan::streamExists)
                                    .method("FileDate", &TFolderResourceMan::FileDate)
                                    .build();
  return info;
}

namespace {
bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}
}  // namespace

std::string TFolderResourceMan::fullPath(const WideString& name) const {
  // The substitution applies to the name alone: a root such as
  // "/home/langley/" must stay as it is.
  std::u16string_view relative = name;
  if (!relative.empty() && (relative.front() == u'\\' || relative.front() == u'/')) relative.remove_prefix(1);
  return root_ + WideToUtf8(normalizeName(WideString(relative)));
}

void TFolderResourceMan::setRoot(const std::string& path) {
  root_ = path;
  if (!EndsWithSeparator(root_)) root_ += '\\';
  active_ = FolderExists(root_);
}

void TFolderResourceMan::setUsesList(const WideString& text) {
  inherited::setUsesList(text);
  std::vector<Package>& list = packages();
  for (size_t i = 0; i < list.size();) {
    std::string folder = root_ + "..\\..\\_" + WideToUtf8(list[i].name) + "\\game\\";
    if (!FolderExists(folder)) {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    auto* package = New<TFolderResourceMan>(owner());
    package->setRoot(folder);
    list[i].manager = package;
    ++i;
  }
}

bool TFolderResourceMan::streamExists(const WideString& name) {
  return FileExists(fullPath(name)) || packagesHave(name);
}

TStream* TFolderResourceMan::createStream(const WideString& name, int32_t mode) {
  if (TStream* stream = OpenFileByMode(fullPath(name), mode, true)) return stream;
  return createStreamFromPackages(name, mode);
}

int32_t TFolderResourceMan::FileDate(const WideString& name) {
  int32_t date = FileDateOfFile(fullPath(name));
  return date != -1 ? date : packageFileDate(name);
}

std::optional<double> TFolderResourceMan::FileTime(const WideString& name) {
  std::optional<double> time = FileTimeOfFile(fullPath(name));
  return time ? time : packageFileTime(name);
}

void TFolderResourceMan::IntFindFilesInDir(const WideString& folder, const WideString& masks) {
  std::vector<WideString> found;
  FindFilesInFolder(fullPath(folder), folder, SplitMasks(masks), found);
  for (WideString& item : found) addResult(item);
}

void TFolderResourceMan::IntFindDirInDir(const WideString& folder) {
  std::vector<WideString> found;
  FindFoldersInFolder(fullPath(folder), folder, found);
  for (WideString& item : found) addResult(item);
}
