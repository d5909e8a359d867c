#include "engine/registration.h"

#include "core/core_registration.h"
#include "core/objects/class_registry.h"
#include "engine/applet/applet.h"
#include "engine/applet/applet_services_impl.h"
#include "engine/applet/game_parts.h"
#include "engine/cache/cache.h"
#include "engine/container.h"
#include "engine/effects/effect_registration.h"
#include "engine/event.h"
#include "engine/javascript/javascript_engine.h"
#include "engine/media/media_registration.h"
#include "engine/particles/particle_registration.h"
#include "engine/physics/newton_engine.h"
#include "engine/player/preferences.h"
#include "engine/player/score_table.h"
#include "engine/scene/dummy.h"
#include "engine/scene/scene_registration.h"
#include "platform/device_registry.h"
#include "platform/filters/filters_registration.h"
#include "platform/fonts/fonts_registration.h"
#include "platform/sound/sound_engine_bass.h"
#include "platform/win32/crash_hook_install.h"
#include "platform/win32/input_translation.h"
#include "platform/win32/platform_win32.h"

void RegisterAllClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterCoreClasses();
  RegisterWin32Platform();
  InstallInputTranslation();
  InstallCrashHookSeam();
  RegisterPlatformDevices();
  RegisterFilters();
  RegisterFonts();
  RegisterClasses({&VisualObject::staticClassInfo(), &Container::staticClassInfo(), &Applet::staticClassInfo(),
                   &Event::staticClassInfo(), &TCache::staticClassInfo(), &Dummy::staticClassInfo(),
                   &Preferences::staticClassInfo(), &ScoreTable::staticClassInfo()});
  RegisterParticleClasses();
  RegisterMediaAnimationClasses();
  RegisterSceneClasses();
  RegisterMediaClasses();
  RegisterEffectClasses();
  RegisterPlayerClasses();
  RegisterSoundEngine();
  RegisterNewtonEngine();
  RegisterJavaScriptEngine();
  InstallAppletServices();
  SetAppletPartsFactory(NewGameParts);
}
