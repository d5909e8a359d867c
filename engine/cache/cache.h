#pragma once
// `TCache`: the applet's reference-counted store of shared resources. A
// pixmap, mesh, font, sound, music, compiled script or object-file stream
// that many objects name is made once, on the first request, and destroyed
// when its last user gives it back.
//
// The cache never builds a resource itself: on a miss it asks the creators
// the applet installed (the device for fonts, the filter for pixmaps and
// meshes, the sound engine for sounds and music, the script engine for
// compiled scripts). Object-file streams are kept as in-memory copies that
// the cache owns.
//
// Keys are compared ignoring case. Pixmaps and meshes are filed under their
// name without its extension ("a.png" and "a.pixmap" are one pixmap); every
// named resource is filed per resource manager, since one name read through
// two managers is two files. Fonts are filed under family, whole size and
// style (see cache_keys.h).
//
// Every non-nil answer of a get operation is given back exactly once to the
// matching release operation, which finds the entry by the object; releasing
// nil or an object the cache does not hold does nothing.
#include <cstdint>
#include <functional>
#include <set>

#include "core/objects/base_object.h"
#include "engine/cache/cache_creators.h"
#include "engine/cache/cache_list.h"

class TStream;

class TCache : public BaseObject {
  Q_OBJECT(TCache, BaseObject)

 public:
  // Where the debug values go: the applet's setDebugValue.
  using DebugValueSink = std::function<void(const WideString& name, const WideString& value)>;

  // clear, "cleared", then every list is let go with its own line, meshes
  // first and fonts last. Compiled scripts still listed are not freed: the
  // script engine keeps them until its own end.
  void Destroy() override;

  // The makers of the resources; not owned. Without any, every get answers
  // nil (object-file streams excepted).
  void setCreators(TCacheCreators* creators) { creators_ = creators; }
  TCacheCreators* creators() const { return creators_; }
  void setDebugValueSink(DebugValueSink sink) { debugValueSink_ = std::move(sink); }

  // ---- fonts (the device) ------------------------------------------------------
  TFont* getFont(const WideString& family, int32_t style, float size);
  void releaseFont(TFont* font);

  // ---- pixmaps and meshes (the filter) ------------------------------------------
  TPixmap* getPixmap(TResourceMan* manager, const WideString& name);
  void releasePixmap(TPixmap* pixmap);
  // A mesh that could not be loaded stays listed without a mesh, so the file
  // is not tried again until the cache is cleared.
  TMesh* getMesh(TResourceMan* manager, const WideString& name);
  void releaseMesh(TMesh* mesh);

  // ---- sounds and music (the sound engine, made on first use) ---------------
  TMusic* getMusic(TResourceMan* manager, const WideString& name);
  void releaseMusic(TMusic* music);
  TSound* getSound(TResourceMan* manager, const WideString& name);
  void releaseSound(TSound* sound);

  // ---- compiled scripts (the script engine) -----------------------------------
  TScript* getScript(TResourceMan* manager, const WideString& name);
  void releaseScript(TScript* script);

  // ---- object-file streams -------------------------------------------------------
  // Keeps an in-memory copy of the whole stream (read from position 0; the
  // stream's own position is kept) when the name is not cached yet, with no
  // users. A name already cached keeps its first copy.
  void putStream(TResourceMan* manager, const WideString& name, TStream* stream);
  // The cached copy rewound to position 0, with one user more; nil when absent.
  TStream* getStream(TResourceMan* manager, const WideString& name);
  // One user fewer; when the last user goes, "delete from cache " + name is
  // logged and the copy freed. A copy that nobody got is left alone.
  void releaseStream(TResourceMan* manager, const WideString& name);
  // Releases the streams of a file: the name itself and its ".qxml" and
  // ".qbin" twins, each once.
  void releaseFileStreams(TResourceMan* manager, const WideString& fileName);

  // Music, sounds, meshes, pixmaps and fonts: each entry, last to first, is
  // released once and the list emptied (what other users still hold stays
  // theirs); then every stream copy is freed. Scripts stay.
  void clear();

  // "Cache Font", "Cache Pixmap", "Cache Mesh", "Cache Script", "Cache Stream",
  // "Cache Sound", "Cache Music": the entries of each list, to the debug values.
  void logStatistics();

  // ---- the lists, for the debug output and for tests -------------------------
  const TCacheList& fonts() const { return fonts_; }
  const TCacheList& pixmaps() const { return pixmaps_; }
  const TCacheList& meshes() const { return meshes_; }
  const TCacheList& music() const { return music_; }
  const TCacheList& sounds() const { return sounds_; }
  const TCacheList& streams() const { return streams_; }
  const TCacheList& scripts() const { return scripts_; }

 private:
  TCacheCreators& makers();
  // Makes the applet's sound engine when a class is registered and there is
  // none yet; answers whether the applet holds one now.
  bool ensureSoundEngine();
  void freeStreams();
  // Nothing was made for the name: when the file is not there, says so once
  // per name, with the object and property that asked.
  template <typename Resource>
  Resource* reportMissing(Resource* made, TResourceMan* manager, const WideString& name);

  TCacheCreators* creators_ = nullptr;
  std::set<WideString> reportedMissing_;
  DebugValueSink debugValueSink_;
  TCacheList fonts_;
  TCacheList pixmaps_;
  TCacheList meshes_;
  TCacheList music_;
  TCacheList sounds_;
  TCacheList streams_;
  TCacheList scripts_;
};
