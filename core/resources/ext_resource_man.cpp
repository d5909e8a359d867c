#include "core/resources/ext_resource_man.h"

#include "compat/win32/file_system.h"
#include "core/objects/class_builder.h"
#include "core/resources/resource_man_files.h"
#include "core/resources/resource_path.h"
#include "core/resources/write_places.h"
#include "core/system/log.h"

const ClassInfo& TExtResourceMan::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TExtResourceMan>("TExtResourceMan")
                                    .method("createStream", &TExtResourceMan::createStream)
                                    .method("streamExists", &TExtResourceMan::streamExists)
                                    .method("FileDate", &TExtResourceMan::FileDate)
                                    .method("selectExternalFile", &TExtResourceMan::selectExternalFile)
                                    .build();
  return info;
}

ExternalFileDialogProc& ExternalFileDialog() {
  static ExternalFileDialogProc dialog;
  return dialog;
}

void TExtResourceMan::Create(TObject* owner) {
  inherited::Create(owner);
  setLanguageSubstitution(false);
  LogInfo(u"External resource manager started " + AnsiToWide(className()));
}

void TExtResourceMan::setRoot(const std::string& path) {
  root_ = path;
  if (root_.empty() || (root_.back() != '\\' && root_.back() != '/')) root_ += '\\';
}

std::string TExtResourceMan::fullPath(const WideString& name) const {
  if (IsAbsoluteResourceName(name)) return WideToUtf8(name);
  std::optional<std::string> path = ResolveBelowRoot(root_, name);
  if (path) return *path;
  LogError(u"Name leaves the game's folder: " + name);
  return {};
}

bool TExtResourceMan::streamExists(const WideString& name) {
  std::string path = fullPath(name);
  return !path.empty() && FileExists(path);
}

bool TExtResourceMan::mayWrite(const WideString& name, const std::string& path) const {
  // Absolute paths are read as given, but written only into the running
  // game's folders; other names only below the root, links included.
  if (IsAbsoluteResourceName(name)) return MayWriteFile(path);
  return MayWriteBelow(path, root_);
}

TStream* TExtResourceMan::createStream(const WideString& name, int32_t mode) {
  std::string path = fullPath(name);
  if (path.empty()) return nullptr;
  if ((mode == fmCreate || ModeHasWriteAccess(mode)) && !mayWrite(name, path)) return nullptr;
  try {
    return OpenFileByMode(path, mode, false);
  } catch (const std::exception&) {
    return nullptr;  // the external manager answers every failure with nil
  }
}

int32_t TExtResourceMan::FileDate(const WideString& name) {
  std::string path = fullPath(name);
  return path.empty() ? -1 : FileDateOfFile(path);
}

std::optional<double> TExtResourceMan::FileTime(const WideString& name) {
  std::string path = fullPath(name);
  if (path.empty()) return std::nullopt;
  return FileTimeOfFile(path);
}

void TExtResourceMan::IntFindFilesInDir(const WideString& folder, const WideString& masks) {
  std::vector<WideString> found;
  std::string path = fullPath(folder);
  if (path.empty()) return;
  FindFilesInFolder(path, folder, SplitMasks(masks), found);
  for (WideString& item : found) addResult(item);
}

void TExtResourceMan::IntFindDirInDir(const WideString& folder) {
  std::vector<WideString> found;
  std::string path = fullPath(folder);
  if (path.empty()) return;
  FindFoldersInFolder(path, folder, found);
  for (WideString& item : found) addResult(item);
}

WideString TExtResourceMan::selectExternalFile(const WideString& title, const WideString& filter) {
  return ExternalFileDialog() ? ExternalFileDialog()(title, filter) : WideString();
}
