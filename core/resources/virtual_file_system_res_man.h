#pragma once
// The manager over a ".qfs" archive: the whole image is loaded into memory
// when it is rooted (inflated once for "CFILEST"), files are read from it,
// and further archives named in `usesList` ("<archive folder>" + name +
// ".qfs") are searched for what it does not hold. Archives are read-only:
// create and write requests give nil, and listings are empty.
#include <memory>

#include "core/resources/resource_man.h"

class TFileSystem;

class TVirtualFileSystemResMan : public TResourceMan {
  Q_OBJECT(TVirtualFileSystemResMan, TResourceMan)

 public:
  // Opens the archive; active when its root directory could be read.
  void setRoot(const std::string& path) override;
  void setUsesList(const WideString& text) override;
  TStream* createStream(const WideString& name, int32_t mode) override;
  int32_t FileDate(const WideString& name) override;
  bool streamExists(const WideString& name) override;
  std::optional<double> FileTime(const WideString& name) override;

  // The mounted file system, or nil.
  TFileSystem* fileSystem() const { return fileSystem_.get(); }

 private:
  // The archive path of a resource name: normalised, as 8-bit text.
  std::string archivePath(const WideString& name) const;

  // Shared with the streams it hands out, so a stream stays readable even
  // when it outlives the manager.
  std::shared_ptr<TFileSystem> fileSystem_;
};
