#include "platform/fonts/sys_font.h"

#include <algorithm>

#include "compat/win32/file_system.h"
#include "core/objects/class_builder.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/resource_man.h"
#include "core/resources/stream.h"
#include "core/system/log.h"
#include "platform/device.h"
#include "platform/device_host.h"
#include "platform/filters/abstract_filter.h"
#include "platform/filters/filter.h"

const ClassInfo& T3DSysFont::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<T3DSysFont>("T3DSysFont").build();
  return info;
}

namespace {
constexpr uint32_t kCyrillicFirst = 1040;
constexpr uint32_t kCyrillicLast = 1103;
constexpr size_t kCyrillicTableSize = 1103;

std::vector<uint8_t> ReadAll(TResourceMan* manager, const WideString& name, bool& found) {
  std::vector<uint8_t> bytes;
  TStreamPtr stream = OpenFilterStream(manager, name, fmOpenRead);
  found = stream != nullptr;
  if (!stream) return bytes;
  int64_t size = stream->Size() - stream->Position();
  if (size <= 0 || size > (int64_t{1} << 30)) return bytes;
  bytes.resize(static_cast<size_t>(size));
  if (!stream->ReadExact(bytes.data(), size)) bytes.clear();
  return bytes;
}

// A folder manager's "cache\" folder is made on first use.
void MakeFolderFor(TResourceMan* manager, const WideString& name) {
  auto* folder = dynamic_cast<TFolderResourceMan*>(manager);
  if (!folder) return;
  std::string path = ToSystemPath(folder->fullPath(name));
  size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0) ForceDirectories(path.substr(0, slash));
}

void WriteCacheFile(TResourceMan* manager, const WideString& name, const std::vector<uint8_t>& bytes) {
  MakeFolderFor(manager, name);
  if (!ResourceManagerKeepsFiles(manager)) return;  // an archive: the font stays in memory
  if (!WriteFilterFile(manager, name, bytes)) LogError(u"Can't write " + name);
}

void LogInvalid(const std::string& fileName) { LogError(u"Invalide font file " + AnsiToWide(fileName)); }
}  // namespace

void T3DSysFont::Destroy() {
  ReleaseAtlas();
  inherited::Destroy();
}

TFilter* T3DSysFont::filter() const { return host() ? host()->fontFilter() : nullptr; }

void T3DSysFont::ReleaseAtlas() {
  if (!atlas_) return;
  // The atlas goes with its device when the device goes first.
  TDevice* holder = device();
  if (holder && std::find(holder->pixmaps().begin(), holder->pixmaps().end(), atlas_) != holder->pixmaps().end()) {
    holder->DestroyPixmap(atlas_);
  }
  atlas_ = nullptr;
}

bool T3DSysFont::FillAtlas(const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height) {
  ReleaseAtlas();
  keptCopy_.clear();
  TDevice* target = device();
  if (!target) return false;
  atlas_ = target->CreatePixmap(static_cast<int32_t>(width), static_cast<int32_t>(height));
  if (!atlas_) return false;
  uint32_t* bits = nullptr;
  int32_t pitch = 0;
  if (target->LockPixmapRectARGB(atlas_, {0, 0, atlas_->width(), atlas_->height()}, false, bits, pitch)) {
    for (uint32_t y = 0; y < height; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(bits) + static_cast<ptrdiff_t>(y) * pitch);
      std::copy_n(pixels.begin() + static_cast<ptrdiff_t>(y) * width, width, row);
    }
    target->UnlockPixmap(atlas_);
  }
  if (table_.allowRebuild) keptCopy_ = pixels;
  return true;
}

void T3DSysFont::SetFields(TResourceMan* manager, const std::string& baseName, int32_t style, int32_t size,
                           const std::string& family) {
  manager_ = manager;
  baseName_ = baseName;
  style_ = style;
  size_ = size;
  family_ = family;
}

void T3DSysFont::LoadAtlas() {
  ReleaseAtlas();
  keptCopy_.clear();
  TFilter* loader = filter();
  if (loader && manager_) atlas_ = loader->loadPixmap(manager_, AnsiToWide(baseName_ + ".png"));
}

bool T3DSysFont::LoadFnbin(TResourceMan* manager, const std::string& baseName, int32_t style, int32_t size,
                           const std::string& family) {
  SetFields(manager, baseName, style, size, family);
  bool found = false;
  std::vector<uint8_t> bytes = ReadAll(manager, AnsiToWide(baseName + ".fnbin"), found);
  if (!found) return false;
  bool signatureOk = false;
  if (!ReadFontBinary(bytes.data(), bytes.size(), table_, signatureOk)) {
    LogInvalid(baseName + ".fnbin");
    return false;
  }
  LoadAtlas();
  return atlas_ != nullptr;
}

bool T3DSysFont::LoadFn(TResourceMan* manager, const std::string& baseName, int32_t style, int32_t size,
                        const std::string& family) {
  SetFields(manager, baseName, style, size, family);
  bool found = false;
  std::vector<uint8_t> bytes = ReadAll(manager, AnsiToWide(baseName + ".fn"), found);
  if (!found) return false;
  if (!ReadFontText(std::string(bytes.begin(), bytes.end()), table_)) {
    LogInvalid(baseName + ".fn");
    return false;
  }
  LoadAtlas();
  return atlas_ != nullptr;
}

void T3DSysFont::SaveFnbin(TResourceMan* manager, const std::string& baseName) {
  if (manager) WriteCacheFile(manager, AnsiToWide(baseName + ".fnbin"), WriteFontBinary(table_));
}

void T3DSysFont::SaveFn(TResourceMan* manager, const std::string& baseName) {
  if (!manager) return;
  std::string text = WriteFontText(table_);
  WriteCacheFile(manager, AnsiToWide(baseName + ".fn"), std::vector<uint8_t>(text.begin(), text.end()));
}

void T3DSysFont::StoreAtlas(TResourceMan* manager, const std::string& baseName) {
  if (keptCopy_.empty()) return;
  std::vector<uint32_t> pixels = std::move(keptCopy_);
  bool rebuild = table_.allowRebuild;
  table_.allowRebuild = false;  // no second copy of what is being stored
  FillAtlas(pixels, table_.atlasWidth, table_.atlasHeight);
  table_.allowRebuild = rebuild;
  TFilter* saver = filter();
  if (!atlas_ || !manager || !saver) return;
  WideString name = AnsiToWide(baseName + ".png");
  MakeFolderFor(manager, name);
  saver->savePixmap(manager, name, atlas_);
}

void T3DSysFont::BuildFromSystem(TResourceMan* manager, const std::string& baseName, int32_t style, int32_t size,
                                 const std::string& family) {
  SetFields(manager, baseName, style, size, family);
  table_ = TGlyphTable{};
  table_.allowRebuild = true;
  table_.glyphs.assign(95, TGlyphRecord{});
  for (TGlyphRecord& glyph : table_.glyphs) glyph.enabled = true;
  AddCyrillic();
  Rasterize();
}

void T3DSysFont::AddCyrillic() {
  if (table_.glyphs.size() < kCyrillicTableSize) table_.glyphs.resize(kCyrillicTableSize);
  for (uint32_t code = kCyrillicFirst; code <= kCyrillicLast; ++code) {
    table_.glyphs[code - kFirstGlyphCode].enabled = true;
  }
}

void T3DSysFont::AddChars(const WideString& text) {
  bool changed = false;
  for (char16_t c : text) {
    if (c < kFirstGlyphCode || (c >= 0xD800 && c <= 0xDFFF)) continue;
    size_t index = c - kFirstGlyphCode;
    if (index >= table_.glyphs.size()) table_.glyphs.resize(index + 1);
    if (!table_.glyphs[index].enabled) {
      table_.glyphs[index].enabled = true;
      changed = true;
    }
  }
  if (changed && table_.allowRebuild) Rasterize();
}
