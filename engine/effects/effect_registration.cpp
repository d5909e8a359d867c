#include "engine/effects/effect_registration.h"

#include "core/objects/class_registry.h"
#include "engine/effects/animation_effect.h"
#include "engine/effects/mesh_animation_effect.h"
#include "engine/effects/pixmap_animation_effect.h"
#include "engine/effects/sound_effects.h"
#include "engine/effects/sound_players.h"
#include "engine/effects/timer.h"
#include "engine/effects/timer_effect.h"
#include "engine/effects/two_pass_effect.h"

void RegisterMediaAnimationClasses() {
  RegisterClasses({&PixmapAnimationEffect::staticClassInfo(), &MeshAnimationEffect::staticClassInfo(),
                   &PixmapOffsetAnimationEffect::staticClassInfo()});
}

void RegisterEffectClasses() {
  RegisterClasses({&TAnimationKey::staticClassInfo(), &TAnimationKeys::staticClassInfo()});
  RegisterClasses({&AnimationEffect::staticClassInfo(), &TwoPassEffect::staticClassInfo(),
                   &SoundEffect::staticClassInfo(), &MusicEffect::staticClassInfo(), &TimerEffect::staticClassInfo()});
}

void RegisterPlayerClasses() {
  RegisterClasses({&Timer::staticClassInfo(), &MusicPlayer::staticClassInfo(), &SoundPlayer::staticClassInfo()});
}
