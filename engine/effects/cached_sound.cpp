#include "engine/effects/cached_sound.h"

#include "engine/applet/applet.h"
#include "engine/cache/cache.h"
#include "platform/sound/sound_engine.h"

TSound* SoundMedia::get(TCache& cache, TResourceMan* manager, const WideString& name) {
  return cache.getSound(manager, name);
}
void SoundMedia::release(TCache& cache, TSound* sound) { cache.releaseSound(sound); }
void SoundMedia::play(TSoundEngine& engine, TSound* sound) { engine.PlaySound(sound); }
void SoundMedia::stop(TSoundEngine& engine, TSound* sound) { engine.StopSound(sound); }

TMusic* MusicMedia::get(TCache& cache, TResourceMan* manager, const WideString& name) {
  return cache.getMusic(manager, name);
}
void MusicMedia::release(TCache& cache, TMusic* music) { cache.releaseMusic(music); }
void MusicMedia::play(TSoundEngine& engine, TMusic* music) { engine.PlayMusic(music); }
void MusicMedia::stop(TSoundEngine& engine, TMusic* music) { engine.StopMusic(music); }

TCache* CacheOfHolder(const BaseObject* holder) {
  Applet* applet = AppletOf(holder);
  return applet ? applet->cache() : nullptr;
}

TResourceMan* ResourcesOfHolder(const BaseObject* holder) {
  Applet* applet = AppletOf(holder);
  return applet ? applet->resourceManager() : nullptr;
}

TSoundEngine* SoundEngineOfHolder(const BaseObject* holder) {
  Applet* applet = AppletOf(holder);
  return applet && applet->parts() ? applet->parts()->soundEngine() : nullptr;
}
