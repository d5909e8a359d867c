#include "core/resources/resource_man.h"

#include <sys/stat.h>
#include <unistd.h>

#include "compat/win32/file_system.h"
#include "core/objects/class_builder.h"
#include "core/resources/resource_man_files.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"

const ClassInfo& TResourceMan::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TResourceMan>("TResourceMan")
                                    .property("usesList", &TResourceMan::usesList, &TResourceMan::setUsesList)
                                    .build();
  return info;
}

bool ModeHasWriteAccess(int32_t mode) { return mode != fmCreate && (mode & 0x3) != 0; }

void TResourceMan::Create(TObject* owner) {
  inherited::Create(owner);
  LogInfo(u"Resource manager " + AnsiToWide(className()) + u" starded");
}

void TResourceMan::Destroy() {
  LogInfo(u"Resource manager " + AnsiToWide(className()) + u" closed");
  freePackages();
  results_.clear();
  inherited::Destroy();
}

void TResourceMan::IntFindFilesInDir(const WideString&, const WideString&) {}
void TResourceMan::IntFindDirInDir(const WideString&) {}

void TResourceMan::setRoot(const std::string& path) { root_ = path; }

void TResourceMan::setUsesList(const WideString& text) {
  usesList_ = text;
  freePackages();
  for (WideString& name : SplitCommaText(text)) packages_.push_back({std::move(name), nullptr});
}

TStream* TResourceMan::createStream(const WideString&, int32_t) { return nullptr; }
int32_t TResourceMan::FileDate(const WideString&) { return -1; }
bool TResourceMan::streamExists(const WideString&) { return false; }
std::optional<double> TResourceMan::FileTime(const WideString&) { return std::nullopt; }

const std::vector<WideString>& TResourceMan::listFiles(const WideString& masks) {
  results_.clear();
  IntFindFilesInDir(u"\\", masks);
  return results_;
}

WideString TResourceMan::listFilesText(const WideString& masks) { return JoinCommaText(listFiles(masks)); }

const std::vector<WideString>& TResourceMan::findFiles(const WideString& folder, const WideString& masks) {
  results_.clear();
  IntFindFilesInDir(folder, masks);
  return results_;
}

WideString TResourceMan::findFilesText(const WideString& folder, const WideString& masks) {
  WideString from = folder;
  if (from.empty() || (from.back() != u'\\' && from.back() != u'/')) from += u'\\';
  return JoinCommaText(findFiles(from, masks));
}

WideString TResourceMan::normalizeName(const WideString& name) const {
  // Separators first, so a name written with "/" is recognised as holding
  // "lang\english" just like one written with "\".
  WideString result = name;
  for (char16_t& c : result) {
    if (c == u'/') c = u'\\';
  }
  if (!languageSubstitution_) return result;
  size_t at = result.find(u"lang");
  if (at != WideString::npos && result.find(u"lang\\english") == WideString::npos) {
    result.replace(at, 4, u"lang\\" + language());
  }
  return result;
}

WideString TResourceMan::language() const {
  TObject* holder = owner();
  if (!holder) return u"english";
  const PropInfo* lang = holder->classInfo().findProperty("lang", {TypeKind::WideText, TypeKind::AnsiText});
  if (!lang) return u"english";
  return GetWideStrProp(holder, *lang);
}

void TResourceMan::freePackages() {
  std::vector<Package> doomed;
  doomed.swap(packages_);
  for (Package& p : doomed) FreeAndNil(p.manager);
}

TStream* TResourceMan::createStreamFromPackages(const WideString& name, int32_t mode) {
  for (Package& p : packages_) {
    if (!p.manager) continue;
    if (TStream* stream = p.manager->createStream(name, mode)) return stream;
  }
  return nullptr;
}

bool TResourceMan::packagesHave(const WideString& name) {
  for (Package& p : packages_) {
    if (p.manager && p.manager->streamExists(name)) return true;
  }
  return false;
}

int32_t TResourceMan::packageFileDate(const WideString& name) {
  for (Package& p : packages_) {
    if (p.manager && p.manager->streamExists(name)) return p.manager->FileDate(name);
  }
  return -1;
}

std::optional<double> TResourceMan::packageFileTime(const WideString& name) {
  for (Package& p : packages_) {
    if (p.manager && p.manager->streamExists(name)) return p.manager->FileTime(name);
  }
  return std::nullopt;
}

// ---- free functions ---------------------------------------------------------------

bool IsCacheOutdated(TResourceMan* manager, const WideString& source, const WideString& derived) {
  if (!manager) return false;
  std::optional<double> derivedTime = manager->FileTime(derived);
  if (!derivedTime) return false;
  std::optional<double> sourceTime = manager->FileTime(source);
  return sourceTime && *derivedTime < *sourceTime;
}

bool FolderExists(const std::string& path) {
  std::string folder = path;
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  if (folder.empty()) return !path.empty() && DirectoryExists("/");  // the file-system root
  return DirectoryExists(folder);
}

namespace {
// The folder that holds `path` ("." for a bare name, "/" for a top-level one).
std::string ParentFolder(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The read-only attribute of the system is a file or folder without any write
// permission bit; it holds even for a process that could override it.
bool RefusesWrites(const std::string& systemPath) {
  struct stat st;
  if (stat(systemPath.c_str(), &st) != 0) return true;
  return (st.st_mode & 0222) == 0 || access(systemPath.c_str(), W_OK) != 0;
}
}  // namespace

bool IsReadOnlyFile(const std::string& path) {
  std::string system = ToSystemPath(path);
  if (FileExists(system) || DirectoryExists(system)) return RefusesWrites(system);
  // A new file: the nearest folder that exists decides whether it can be made.
  for (std::string folder = ParentFolder(system);; folder = ParentFolder(folder)) {
    if (DirectoryExists(folder)) return RefusesWrites(folder);
    if (folder == "/" || folder == ".") return true;
  }
}

namespace {
char16_t FoldAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

// Matches one mask element at `m` against `c`; `next` is where the mask goes on.
bool MatchOne(std::u16string_view mask, size_t m, char16_t c, size_t& next) {
  char16_t wanted = mask[m];
  if (wanted == u'?') {
    next = m + 1;
    return true;
  }
  if (wanted == u'[') {
    size_t close = mask.find(u']', m + 1);
    if (close != std::u16string_view::npos) {
      next = close + 1;
      size_t i = m + 1;
      bool negate = i < close && mask[i] == u'!';
      if (negate) ++i;
      bool inside = false;
      char16_t folded = FoldAscii(c);
      for (; i < close; ++i) {
        char16_t low = FoldAscii(mask[i]);
        char16_t high = low;
        if (i + 2 < close && mask[i + 1] == u'-') {
          high = FoldAscii(mask[i + 2]);
          i += 2;
        }
        if (folded >= low && folded <= high) inside = true;
      }
      return inside != negate;
    }
  }
  next = m + 1;
  return FoldAscii(wanted) == FoldAscii(c);
}
}  // namespace

bool MatchesMask(std::u16string_view name, std::u16string_view mask) {
  if (mask == u"*.*") return true;
  size_t n = 0, m = 0;
  size_t starMask = std::u16string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size()) {
      if (mask[m] == u'*') {
        starMask = m++;
        starName = n;
        continue;
      }
      size_t next;
      if (MatchOne(mask, m, name[n], next)) {
        m = next;
        ++n;
        continue;
      }
    }
    if (starMask == std::u16string_view::npos) return false;
    m = starMask + 1;
    n = ++starName;
  }
  while (m < mask.size() && mask[m] == u'*') ++m;
  return m == mask.size();
}
