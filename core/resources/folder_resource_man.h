#pragma once
// The manager of an applet's folder tree. Resource names are taken below the
// root (one leading "\" dropped) after the language substitution; package
// folders named by `usesList` ("..\..\_" + name + "\game\" beside the root)
// are asked in order for what the root does not have.
#include "core/resources/resource_man.h"

class TFolderResourceMan : public TResourceMan {
  Q_OBJECT(TFolderResourceMan, TResourceMan)

 public:
  void IntFindFilesInDir(const WideString& folder, const WideString& masks) override;
  void IntFindDirInDir(const WideString& folder) override;
  void setRoot(const std::string& path) override;
  void setUsesList(const WideString& text) override;
  // Raises EFOpenError when the system refuses to open a file that exists.
  TStream* createStream(const WideString& name, int32_t mode) override;
  int32_t FileDate(const WideString& name) override;
  bool streamExists(const WideString& name) override;
  std::optional<double> FileTime(const WideString& name) override;

  // The path of the file system (UTF-8, "\" separators) a name stands for;
  // empty (and the refusal logged) for a name that leaves the folder.
  std::string fullPath(const WideString& name) const;
};

// Whether files written through the manager are kept: a folder or the
// external manager. Archives and the built-in files are read-only by design,
// so a cache that cannot go there stays in memory without a word.
bool ResourceManagerKeepsFiles(const TResourceMan* manager);
