#include "gui/forms/top_layer_forms.h"

#include "core/geometry/geometry_color.h"
#include "core/text/text_helpers.h"
#include "engine/applet/applet.h"
#include "engine/effects/animation_effect.h"
#include "gui/forms/debug_form.h"
#include "gui/skinned/screen.h"

namespace {
constexpr float kDebugFormWidth = 120;
// Effect keys count 30ths of a second.
constexpr float kKeyFrameSeconds = 1.0f / 30.0f;
constexpr float kDefaultFadeFrames = 10;

void AddFadeEffect(Screen* screen, const char16_t* name, float fromAlpha, float toAlpha) {
  auto* effect = New<AnimationEffect>(screen);
  effect->SetName(name);
  effect->addKey(u"", u"", 0, fromAlpha);
  effect->addKey(u"", u"", kDefaultFadeFrames, toAlpha);
}

// Sets the last key of the screen's effect to the seconds, so the fade
// lasts that long.
AnimationEffect* FadeEffectOver(Screen* screen, const char16_t* name, float seconds) {
  auto* effect = dynamic_cast<AnimationEffect*>(screen->findOwnEffect(name));
  if (!effect || !effect->keys()->last()) return nullptr;
  effect->keys()->last()->setKey(RoundHalfEven(static_cast<double>(seconds) / kKeyFrameSeconds));
  effect->updateRunningTime();
  return effect;
}

template <typename T>
T* TopLayerChild(const Applet* applet) {
  BaseObject* layer = applet ? applet->topLayer() : nullptr;
  if (!layer) return nullptr;
  for (int i = 0; i < layer->count(); ++i) {
    if (auto* found = dynamic_cast<T*>(layer->childAt(i))) return found;
  }
  return nullptr;
}
}  // namespace

Screen* AddFadeScreen(BaseObject* topLayer) {
  auto* screen = New<Screen>(topLayer);
  screen->setTransparent(true);
  screen->setColor(0xFF000000u);
  screen->hide();
  AddFadeEffect(screen, u"show", 0, 1);
  AddFadeEffect(screen, u"hide", 1, 0);
  return screen;
}

DebugForm* AddDebugForm(BaseObject* topLayer) {
  auto* form = New<DebugForm>(topLayer);
  form->SetName(u"debugForm");
  form->setWidth(kDebugFormWidth);
  Applet* applet = AppletOf(topLayer);
  form->setVisible(applet && applet->debugInfo());
  return form;
}

Screen* FadeScreenOf(const Applet* applet) { return TopLayerChild<Screen>(applet); }

DebugForm* DebugFormOf(const Applet* applet) { return TopLayerChild<DebugForm>(applet); }

void FadeScreenToColor(Screen* screen, const WideString& color, float seconds, bool wait) {
  if (!screen) return;
  screen->setColor(ColorFromText(color));
  screen->setAlpha(0);
  screen->setAlign(gaContents);
  FadeEffectOver(screen, u"show", seconds);
  if (wait) {
    screen->fadeShowWait();
  } else {
    screen->fadeShow();
  }
}

void FadeScreenOut(Screen* screen, float seconds, bool wait) {
  if (!screen) return;
  screen->setAlpha(1);
  screen->setAlign(gaContents);
  FadeEffectOver(screen, u"hide", seconds);
  if (wait) {
    screen->fadeHideWait();
  } else {
    screen->fadeHide();
  }
}
