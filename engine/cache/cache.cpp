#include "engine/cache/cache.h"

#include <string>
#include <vector>

#include "core/resources/resource_man.h"
#include "core/resources/resource_request.h"
#include "core/resources/stream.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "engine/cache/cache_keys.h"

namespace {

// Answers the resource filed under the key, made by `make` on a miss, with
// one user more when there is one. A failed making is filed only when
// `keepFailure` says so (meshes), so that the file is not tried again.
template <typename T, typename Make>
T* Acquire(TCacheList& list, const WideString& key, Make make, bool keepFailure = false) {
  int index = list.indexOfKey(key);
  if (index < 0) {
    T* made = make();
    if (!made && !keepFailure) return nullptr;
    index = list.add(key, made);
  }
  T* resource = list.resourceAt<T>(index);
  if (resource) list.setUseCountAt(index, list.useCountAt(index) + 1);
  return resource;
}

// One user fewer; the last user's release takes the entry out of the list
// before `destroy` runs, so nothing can find a resource that is going.
template <typename T, typename Destroy>
void Release(TCacheList& list, T* resource, Destroy destroy) {
  int index = list.indexOfResource(resource);
  if (index < 0) return;
  int32_t users = list.useCountAt(index) - 1;
  if (users > 0) {
    list.setUseCountAt(index, users);
    return;
  }
  list.removeAt(index);
  destroy(resource);
}

// Releases every entry once, last to first, then forgets the rest.
template <typename T, typename ReleaseOne>
void ReleaseEach(TCacheList& list, ReleaseOne release) {
  for (int i = list.count() - 1; i >= 0; --i) {
    if (i < list.count()) release(list.resourceAt<T>(i));
  }
  list.clear();
}

WideString IntText(int value) { return AnsiToWide(std::to_string(value)); }

}  // namespace

const ClassInfo& TCache::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TCache>("TCache").build();
  return info;
}

TCacheCreators& TCache::makers() {
  static TCacheCreators none;
  return creators_ ? *creators_ : none;
}

// ---- fonts ---------------------------------------------------------------------------

TFont* TCache::getFont(const WideString& family, int32_t style, float size) {
  return Acquire<TFont>(fonts_, FontCacheKey(family, style, size),
                        [&] { return makers().createFont(family, size, style); });
}

void TCache::releaseFont(TFont* font) {
  Release(fonts_, font, [this](TFont* doomed) { makers().destroyFont(doomed); });
}

// ---- pixmaps and meshes ------------------------------------------------------------

template <typename Resource>
Resource* TCache::reportMissing(Resource* made, TResourceMan* manager, const WideString& name) {
  // Only a name an object gave is the author's: the program's own fallbacks
  // (a skin looked for in the game before the built-in one) are not mistakes.
  if (made || !manager || name.empty() || ResourceRequest::current().empty() || manager->streamExists(name)) {
    return made;
  }
  if (reportedMissing_.insert(ManagedCacheKey(manager, name)).second) LogError(MissingFileMessage(name));
  return nullptr;
}

TPixmap* TCache::getPixmap(TResourceMan* manager, const WideString& name) {
  return reportMissing(Acquire<TPixmap>(pixmaps_, ManagedCacheKey(manager, StripExtensionW(name)),
                                        [&] { return makers().createPixmap(manager, name); }),
                       manager, name);
}

void TCache::releasePixmap(TPixmap* pixmap) {
  Release(pixmaps_, pixmap, [this](TPixmap* doomed) { makers().destroyPixmap(doomed); });
}

TMesh* TCache::getMesh(TResourceMan* manager, const WideString& name) {
  return reportMissing(Acquire<TMesh>(
                           meshes_, ManagedCacheKey(manager, StripExtensionW(name)),
                           [&] { return makers().createMesh(manager, name); }, true),
                       manager, name);
}

void TCache::releaseMesh(TMesh* mesh) {
  Release(meshes_, mesh, [this](TMesh* doomed) { makers().destroyMesh(doomed); });
}

// ---- sounds and music -------------------------------------------------------------

bool TCache::ensureSoundEngine() {
  TCacheCreators& creators = makers();
  if (creators.soundEngineClassRegistered() && !creators.hasSoundEngine()) creators.createSoundEngine();
  return creators.hasSoundEngine();
}

TMusic* TCache::getMusic(TResourceMan* manager, const WideString& name) {
  bool hasEngine = ensureSoundEngine();
  return reportMissing(Acquire<TMusic>(music_, ManagedCacheKey(manager, name), [&]() -> TMusic* {
                         return hasEngine ? makers().createMusic(manager, name) : nullptr;
                       }),
                       manager, name);
}

void TCache::releaseMusic(TMusic* music) {
  Release(music_, music, [this](TMusic* doomed) {
    if (makers().hasSoundEngine()) makers().destroyMusic(doomed);
  });
}

TSound* TCache::getSound(TResourceMan* manager, const WideString& name) {
  bool hasEngine = ensureSoundEngine();
  return reportMissing(Acquire<TSound>(sounds_, ManagedCacheKey(manager, name), [&]() -> TSound* {
                         return hasEngine ? makers().createSound(manager, name) : nullptr;
                       }),
                       manager, name);
}

void TCache::releaseSound(TSound* sound) {
  Release(sounds_, sound, [this](TSound* doomed) {
    if (makers().hasSoundEngine()) makers().destroySound(doomed);
  });
}

// ---- compiled scripts ----------------------------------------------------------------

TScript* TCache::getScript(TResourceMan* manager, const WideString& name) {
  return reportMissing(Acquire<TScript>(scripts_, ManagedCacheKey(manager, name),
                                        [&] { return makers().createScript(manager, name); }),
                       manager, name);
}

void TCache::releaseScript(TScript* script) {
  Release(scripts_, script, [this](TScript* doomed) { makers().freeScript(doomed); });
}

// ---- object-file streams ------------------------------------------------------------

void TCache::putStream(TResourceMan* manager, const WideString& name, TStream* stream) {
  if (!stream) return;
  WideString key = ManagedCacheKey(manager, name);
  if (streams_.indexOfKey(key) >= 0) return;
  TMemoryStream* copy = New<TMemoryStream>();
  int64_t position = stream->Position();
  stream->SetPosition(0);
  copy->CopyFrom(*stream, 0);
  stream->SetPosition(position);
  copy->SetPosition(0);
  streams_.add(key, copy);
}

TStream* TCache::getStream(TResourceMan* manager, const WideString& name) {
  int index = streams_.indexOfKey(ManagedCacheKey(manager, name));
  if (index < 0) return nullptr;
  TStream* copy = streams_.resourceAt<TStream>(index);
  copy->SetPosition(0);
  streams_.setUseCountAt(index, streams_.useCountAt(index) + 1);
  return copy;
}

void TCache::releaseStream(TResourceMan* manager, const WideString& name) {
  int index = streams_.indexOfKey(ManagedCacheKey(manager, name));
  // A copy that nobody got has no user to give back; counting below zero
  // would let a later get and release free it under another holder.
  if (index < 0 || streams_.useCountAt(index) <= 0) return;
  int32_t users = streams_.useCountAt(index) - 1;
  if (users > 0) {
    streams_.setUseCountAt(index, users);
    return;
  }
  LogInfo(u"delete from cache " + name);
  TStream* copy = streams_.resourceAt<TStream>(index);
  streams_.removeAt(index);
  copy->Free();
}

void TCache::releaseFileStreams(TResourceMan* manager, const WideString& fileName) {
  WideString base = StripExtensionW(fileName);
  std::vector<WideString> names{fileName};
  for (const WideString& twin : {base + u".qxml", base + u".qbin"}) {
    if (CompareTextW(twin, fileName) != 0) names.push_back(twin);
  }
  for (const WideString& name : names) releaseStream(manager, name);
}

void TCache::freeStreams() {
  for (int i = 0; i < streams_.count(); ++i) streams_.resourceAt<TStream>(i)->Free();
  streams_.clear();
}

// ---- clearing and the end --------------------------------------------------------------

void TCache::clear() {
  ReleaseEach<TMusic>(music_, [this](TMusic* music) { releaseMusic(music); });
  ReleaseEach<TSound>(sounds_, [this](TSound* sound) { releaseSound(sound); });
  ReleaseEach<TMesh>(meshes_, [this](TMesh* mesh) { releaseMesh(mesh); });
  ReleaseEach<TPixmap>(pixmaps_, [this](TPixmap* pixmap) { releasePixmap(pixmap); });
  ReleaseEach<TFont>(fonts_, [this](TFont* font) { releaseFont(font); });
  freeStreams();
}

void TCache::Destroy() {
  clear();
  LogInfo(u"cleared");
  meshes_.clear();
  LogInfo(u"mesh ok");
  scripts_.clear();
  LogInfo(u"script ok");
  freeStreams();
  LogInfo(u"stream ok");
  sounds_.clear();
  LogInfo(u"sound ok");
  music_.clear();
  LogInfo(u"music ok");
  pixmaps_.clear();
  LogInfo(u"pixmap ok");
  fonts_.clear();
  LogInfo(u"font ok");
  inherited::Destroy();
}

void TCache::logStatistics() {
  if (!debugValueSink_) return;
  debugValueSink_(u"Cache Font", IntText(fonts_.count()));
  debugValueSink_(u"Cache Pixmap", IntText(pixmaps_.count()));
  debugValueSink_(u"Cache Mesh", IntText(meshes_.count()));
  debugValueSink_(u"Cache Script", IntText(scripts_.count()));
  debugValueSink_(u"Cache Stream", IntText(streams_.count()));
  debugValueSink_(u"Cache Sound", IntText(sounds_.count()));
  debugValueSink_(u"Cache Music", IntText(music_.count()));
}
