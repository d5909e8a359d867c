#pragma once
// Resource managers. Every file the runtime reads or writes (object files,
// pixmaps, meshes, fonts, sounds, scripts, preferences, screenshots) is named
// by a resource name and opened through a manager, which turns the name into a
// stream. `TResourceMan` is the base: it keeps the root, the package managers
// named by `usesList`, and the result list of the listing operations. The
// folder, external, archive and embedded managers derive from it.
//
// Resource names keep the system's "\" separators; the file-system boundary
// (compat/win32/file_system.h) turns them into "/" and matches each component
// without regard to case when the exact path does not exist.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/objects/component.h"
#include "core/resources/resource_man_dates.h"
#include "core/resources/stream.h"
#include "core/text/exceptions.h"

// Open modes of `createStream`. Create replaces or makes the file; the low two
// bits ask for read, write or read-write access; the sharing bits are accepted
// and have no effect on Linux (nothing else holds our files open for writing).
constexpr int32_t fmOpenRead = 0x0000;
constexpr int32_t fmOpenWrite = 0x0001;
constexpr int32_t fmOpenReadWrite = 0x0002;
constexpr int32_t fmShareDenyWrite = 0x0020;
constexpr int32_t fmCreate = 0xFFFF;

// True for a mode other than create that asks to write to an existing file.
bool ModeHasWriteAccess(int32_t mode);

// Raised by the folder manager when the system refuses to open a file that
// exists (the callers of the folder manager catch it).
class EFOpenError : public Exception {
  using Exception::Exception;
};

class TResourceMan : public TSomePersistent {
  Q_OBJECT(TResourceMan, TSomePersistent)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  // ---- virtual operations ----------------------------------------------------
  // Adds the files below `folder` that match `masks` to the result list.
  virtual void IntFindFilesInDir(const WideString& folder, const WideString& masks);
  // Adds the folders below `folder` to the result list.
  virtual void IntFindDirInDir(const WideString& folder);
  virtual void setRoot(const std::string& path);
  virtual void setUsesList(const WideString& text);
  // A stream the caller owns (free it with Free()), or nil.
  virtual TStream* createStream(const WideString& name, int32_t mode);
  // The file's date as a packed 32-bit date-time, -1 when absent.
  virtual int32_t FileDate(const WideString& name);
  virtual const std::vector<WideString>& listFiles(const WideString& masks);
  virtual WideString listFilesText(const WideString& masks);
  virtual const std::vector<WideString>& findFiles(const WideString& folder, const WideString& masks);
  virtual WideString findFilesText(const WideString& folder, const WideString& masks);
  virtual bool streamExists(const WideString& name);
  // The modification time at full resolution (seconds since 1970-01-01), for
  // the "derived file older than its source" rules; nothing when absent.
  virtual std::optional<double> FileTime(const WideString& name);

  // ---- non-virtual -------------------------------------------------------------
  // The language substitution (when enabled) and the separator rule.
  WideString normalizeName(const WideString& name) const;

  const std::string& root() const { return root_; }
  bool active() const { return active_; }
  const WideString& usesList() const { return usesList_; }
  bool languageSubstitution() const { return languageSubstitution_; }
  void setLanguageSubstitution(bool enabled) { languageSubstitution_ = enabled; }

  // The package list: one item per package name still listed, each with its
  // manager (nil for managers that leave an item without one).
  int packageCount() const { return static_cast<int>(packages_.size()); }
  const WideString& packageName(int index) const { return packages_[static_cast<size_t>(index)].name; }
  TResourceMan* packageManager(int index) const { return packages_[static_cast<size_t>(index)].manager; }

  // The result list of the last listing.
  const std::vector<WideString>& results() const { return results_; }

 protected:
  struct Package {
    WideString name;
    TResourceMan* manager = nullptr;  // owned
  };

  // The language the substitution inserts: the owner's published `lang`, or
  // "english" without an owner.
  WideString language() const;
  void addResult(const WideString& item) { results_.push_back(item); }
  std::vector<Package>& packages() { return packages_; }
  void freePackages();

  // The first package manager that answers, in list order.
  TStream* createStreamFromPackages(const WideString& name, int32_t mode);
  bool packagesHave(const WideString& name);
  int32_t packageFileDate(const WideString& name);
  std::optional<double> packageFileTime(const WideString& name);

  std::string root_;
  bool active_ = false;

 private:
  bool languageSubstitution_ = true;
  WideString usesList_;
  std::vector<Package> packages_;
  std::vector<WideString> results_;
};

// Whether the folder exists, after removing one trailing separator.
bool FolderExists(const std::string& path);

// For an existing file: whether this process may not write it. For a missing
// one: whether its nearest existing folder refuses new files, so nothing is
// created on read-only media.
bool IsReadOnlyFile(const std::string& path);

// The system's wildcard rule: "*" any run of characters, "?" any one, "[a-z]"
// and "[!a-z]" sets; ASCII letters compare without regard to case. "*.*"
// matches every name, as the file system's own listing does.
bool MatchesMask(std::u16string_view name, std::u16string_view mask);
