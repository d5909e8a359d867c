#include "platform/filters/filter.h"

#include "core/objects/class_builder.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/resource_man.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "platform/filters/filter_registry.h"
#include "platform/filters/mesh_binary_filter.h"
#include "platform/mesh.h"
#include "platform/pixmap.h"

const ClassInfo& TFilter::staticClassInfo() {
  using F = TFilter;
  static const ClassInfo info = ClassBuilder<F>("TFilter")
                                    .method("loadMesh", &F::loadMesh)
                                    .method("loadPixmap", &F::loadPixmap)
                                    .method("loadRGBAFile", &F::scriptLoadRGBAFile)
                                    .method("saveRGBAFile", &F::scriptSaveRGBAFile)
                                    .method("saveMesh", &F::saveMesh)
                                    .method("savePixmap", &F::savePixmap)
                                    .build();
  return info;
}

namespace {
// What differs between pixmaps and meshes in the converted-copy rule.
struct PixmapKind {
  static constexpr char16_t kCopyExtension[] = u".pixmap";
  static const TFilterClass* find(const WideString& name) { return FindPixmapFilter(name); }
  static TPixmap* read(const TFilterClass& cls, TFilter& owner, TResourceMan* manager, const WideString& name) {
    TPixmapFilterPtr filter = MakePixmapFilter(cls, owner.applet(), owner.host());
    return filter ? filter->readPixmap(manager, name) : nullptr;
  }
  static bool write(const TFilterClass& cls, TFilter& owner, TResourceMan* manager, const WideString& name,
                    TPixmap* pixmap) {
    TPixmapFilterPtr filter = MakePixmapFilter(cls, owner.applet(), owner.host());
    return filter && filter->writePixmap(manager, name, pixmap);
  }
  // A JPEG picture is kept without a copy: the raw copy would only be
  // larger. The test is on the name as given, case and all.
  static bool copyWanted(const WideString& name) { return name.find(u".jpg") == WideString::npos; }
  static bool writeCopy(const TFilterClass& cls, TFilter& owner, TResourceMan* manager, const WideString& copy,
                        TPixmap* pixmap) {
    return write(cls, owner, manager, copy, pixmap);
  }
  static bool copyMadeAsNow(TFilter&, TResourceMan*, const WideString&, const WideString&) { return true; }
};

struct MeshKind {
  static constexpr char16_t kCopyExtension[] = u".mesh";
  static const TFilterClass* find(const WideString& name) { return FindMeshFilter(name); }
  static TMesh* read(const TFilterClass& cls, TFilter& owner, TResourceMan* manager, const WideString& name) {
    TMeshFilterPtr filter = MakeMeshFilter(cls, owner.applet(), owner.host());
    return filter ? filter->readMesh(manager, name) : nullptr;
  }
  static bool write(const TFilterClass& cls, TFilter& owner, TResourceMan* manager, const WideString& name,
                    TMesh* mesh) {
    TMeshFilterPtr filter = MakeMeshFilter(cls, owner.applet(), owner.host());
    return filter && filter->writeMesh(manager, name, mesh);
  }
  static bool copyWanted(const WideString&) { return true; }
  static float modelScale(TFilter& owner) { return owner.host() ? owner.host()->filterModelScale() : 1.0f; }
  // The copy notes the model scale it was made at.
  static bool writeCopy(const TFilterClass&, TFilter& owner, TResourceMan* manager, const WideString& copy,
                        TMesh* mesh) {
    return WriteMeshCopy(manager, copy, mesh, modelScale(owner));
  }
  // A model's copy holds what the model looked like when it was made: the
  // scale of that time and, for an MD3 model, the animations of its ".aaf"
  // list. It is made again when either has changed since.
  static bool copyMadeAsNow(TFilter& owner, TResourceMan* manager, const WideString& name, const WideString& copy) {
    const WideString list = StripExtensionW(name) + u".aaf";
    const TFilterClass* source = FindMeshFilter(name);
    if (source && source->info->name() == "TMeshMD3Filter" && manager->streamExists(list) &&
        IsCacheOutdated(manager, list, copy)) {
      return false;
    }
    return MeshCopyScale(manager, copy) == modelScale(owner);
  }
};
}  // namespace

template <typename Resource, typename Kind>
Resource* TFilter::loadWithCopy(TResourceMan* manager, const WideString& name) {
  if (!manager) return nullptr;
  const WideString copy = StripExtensionW(name) + Kind::kCopyExtension;
  const TFilterClass* sourceFilter = Kind::find(name);
  const TFilterClass* copyFilter = Kind::find(copy);
  const bool copyExists = manager->streamExists(copy);
  auto readCopy = [&]() -> Resource* {
    return copyExists && copyFilter ? Kind::read(*copyFilter, *this, manager, copy) : nullptr;
  };
  auto import = [&]() -> Resource* {
    Resource* made = Kind::read(*sourceFilter, *this, manager, name);
    // An archive or the built-in files keep no copies: the resource stays in memory.
    if (made && copy != name && Kind::copyWanted(name) && ResourceManagerKeepsFiles(manager)) {
      if (!copyFilter || !Kind::writeCopy(*copyFilter, *this, manager, copy, made)) {
        LogError(u"Can't write converted copy " + copy + u": " + name + u" stays in memory only");
      }
    }
    return made;
  };
  if (!sourceFilter) return readCopy();
  const bool sourceExists = manager->streamExists(name);
  if ((sourceExists && !copyExists) || (copyExists && IsCacheOutdated(manager, name, copy)) ||
      (sourceExists && copyExists && copy != name && !Kind::copyMadeAsNow(*this, manager, name, copy))) {
    return import();
  }
  Resource* result = readCopy();
  // A copy that cannot be read gives way to its source.
  if (!result && sourceExists && copy != name) result = import();
  return result;
}

TPixmap* TFilter::loadPixmap(TResourceMan* manager, const WideString& name) {
  return loadWithCopy<TPixmap, PixmapKind>(manager, name);
}

TMesh* TFilter::loadMesh(TResourceMan* manager, const WideString& name) {
  return loadWithCopy<TMesh, MeshKind>(manager, name);
}

bool TFilter::loadRGBAFile(TResourceMan* manager, const AnsiString& name, TArgbImage& image) {
  image = TArgbImage{};
  if (!manager) return false;
  const WideString source = AnsiToWide(name);
  const WideString copy = StripExtensionW(source) + PixmapKind::kCopyExtension;
  const TFilterClass* cls = FindPixmapFilter(copy);
  WideString chosen = source;
  if (cls && manager->streamExists(copy)) {
    chosen = copy;
  } else {
    cls = FindPixmapFilter(source);
  }
  TPixmapFilterPtr filter = cls ? MakePixmapFilter(*cls, applet(), host_) : nullptr;
  return filter && filter->hasReadRGBA() && filter->readRGBA(manager, chosen, image);
}

bool TFilter::saveRGBAFile(const TArgbImage& /*image*/, const AnsiString& /*name*/) {
  // Every registered format writes device pixmaps only.
  return false;
}

bool TFilter::savePixmap(TResourceMan* manager, const WideString& name, TPixmap* pixmap) {
  const TFilterClass* cls = FindPixmapFilter(name);
  return cls && cls->canWrite() && PixmapKind::write(*cls, *this, manager, name, pixmap);
}

bool TFilter::saveMesh(TResourceMan* manager, const WideString& name, TMesh* mesh) {
  const TFilterClass* cls = FindMeshFilter(name);
  return cls && cls->canWrite() && MeshKind::write(*cls, *this, manager, name, mesh);
}

bool TFilter::scriptLoadRGBAFile(TResourceMan* manager, const AnsiString& name) {
  TArgbImage image;
  return loadRGBAFile(manager, name, image);
}

bool TFilter::scriptSaveRGBAFile(const AnsiString& name, int32_t height, int32_t width) {
  TArgbImage image{width, height, {}};
  return saveRGBAFile(image, name);
}
