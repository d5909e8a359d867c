#pragma once
// One sound or music named by a file: got from the applet's cache with the
// applet's resource manager when the name changes, given back when it
// changes again or its holder goes, and played through the applet's sound
// engine. Sound and music effects and players each hold one.
// The whole BaseObject: a template's request converts the holder as soon as
// it is parsed, which clang does before any instance.
#include "core/objects/base_object.h"
#include "core/resources/resource_request.h"
#include "core/text/text.h"

class TCache;
class TMusic;
class TResourceMan;
class TSound;
class TSoundEngine;

// How a sound and a music are got, given back, played and stopped.
struct SoundMedia {
  using Media = TSound;
  static Media* get(TCache& cache, TResourceMan* manager, const WideString& name);
  static void release(TCache& cache, Media* media);
  static void play(TSoundEngine& engine, Media* media);
  static void stop(TSoundEngine& engine, Media* media);
};

struct MusicMedia {
  using Media = TMusic;
  static Media* get(TCache& cache, TResourceMan* manager, const WideString& name);
  static void release(TCache& cache, Media* media);
  static void play(TSoundEngine& engine, Media* media);
  static void stop(TSoundEngine& engine, Media* media);
};

// The cache and the sound engine of the holder's applet, or nil.
TCache* CacheOfHolder(const BaseObject* holder);
TResourceMan* ResourcesOfHolder(const BaseObject* holder);
TSoundEngine* SoundEngineOfHolder(const BaseObject* holder);

template <typename Kind>
class CachedSound {
 public:
  using Media = typename Kind::Media;

  const AnsiString& fileName() const { return fileName_; }
  Media* media() const { return media_; }

  // A different name gives the old media back and gets the new one.
  void setFileName(const BaseObject* holder, const AnsiString& name) {
    if (name == fileName_) return;
    fileName_ = name;
    release(holder);
    TCache* cache = CacheOfHolder(holder);
    ResourceRequest request(holder, "fileName");
    if (cache && !name.empty()) media_ = Kind::get(*cache, ResourcesOfHolder(holder), AnsiToWide(name));
  }
  void release(const BaseObject* holder) {
    Media* doomed = media_;
    media_ = nullptr;
    TCache* cache = CacheOfHolder(holder);
    if (doomed && cache) Kind::release(*cache, doomed);
  }
  void play(const BaseObject* holder) const {
    TSoundEngine* engine = SoundEngineOfHolder(holder);
    if (media_ && engine) Kind::play(*engine, media_);
  }
  void stop(const BaseObject* holder) const {
    TSoundEngine* engine = SoundEngineOfHolder(holder);
    if (media_ && engine) Kind::stop(*engine, media_);
  }

 private:
  AnsiString fileName_;
  Media* media_ = nullptr;
};
