#pragma once
// The external manager: serves absolute paths ("/..." or a name holding ":")
// and, for other names, the folder it is rooted at (the user's
// application-data folder, or an applet's own folder while it loads). No
// language substitution applies, and failures give nil rather than raising.
#include <functional>

#include "core/resources/resource_man.h"
#include "core/resources/resource_path.h"

// The platform's file dialog, installed by the platform layer: answers the
// chosen file's path, or empty text when the user cancels or there is none.
using ExternalFileDialogProc = std::function<WideString(const WideString& title, const WideString& filter)>;
ExternalFileDialogProc& ExternalFileDialog();

class TExtResourceMan : public TResourceMan {
  Q_OBJECT(TExtResourceMan, TResourceMan)

 public:
  void Create(TObject* owner) override;

  void IntFindFilesInDir(const WideString& folder, const WideString& masks) override;
  void IntFindDirInDir(const WideString& folder) override;
  void setRoot(const std::string& path) override;
  TStream* createStream(const WideString& name, int32_t mode) override;
  int32_t FileDate(const WideString& name) override;
  bool streamExists(const WideString& name) override;
  std::optional<double> FileTime(const WideString& name) override;

  // The file chosen through the platform's file dialog.
  WideString selectExternalFile(const WideString& title, const WideString& filter);

  // The path of the file system a name stands for: an absolute name as it
  // is, any other below the root; empty (and logged) for a relative name
  // that climbs above the root.
  std::string fullPath(const WideString& name) const;

 private:
  bool mayWrite(const WideString& name, const std::string& path) const;
};
