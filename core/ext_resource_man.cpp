#include "core/ext_resource_man.h"

#include "compat/win32/file_system.h"
#include "core/class_builder.h"
#include "core/log.h"
#include "core/resource_man_files.h"

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

bool IsAbsoluteResourceName(std::u16string_view name) {
  return (!name.empty() && name.front() == u'/') || name.find(u':') != std::u16string_view::npos;
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
  std::u16string_view relative = name;
  if (!relative.empty() && relative.front() == u'\\') relative.remove_prefix(1);
  return root_ + WideToUtf8(relative);
}

bool TExtResourceMan::streamExists(const WideString& name) { return FileExists(fullPath(name)); }

TStream* TExtResourceMan::createStream(const WideString& name, int32_t mode) {
  try {
    return OpenFileByMode(fullPath(name), mode, false);
  } catch (const std::exception&) {
    return nullptr;  // the external manager answers every failure with nil
  }
}

int32_t TExtResourceMan::FileDate(const WideString& name) { return FileDateOfFile(fullPath(name)); }

std::optional<double> TExtResourceMan::FileTime(const WideString& name) { return FileTimeOfFile(fullPath(name)); }

void TExtResourceMan::IntFindFilesInDir(const WideString& folder, const WideString& masks) {
  std::vector<WideString> found;
  FindFilesInFolder(fullPath(folder), folder, SplitMasks(masks), found);
  for (WideString& item : found) addResult(item);
}

void TExtResourceMan::IntFindDirInDir(const WideString& folder) {
  std::vector<WideString> found;
  FindFoldersInFolder(fullPath(folder), folder, found);
  for (WideString& item : found) addResult(item);
}

WideString TExtResourceMan::selectExternalFile(const WideString& title, const WideString& filter) {
  return ExternalFileDialog() ? ExternalFileDialog()(title, filter) : WideString();
}
