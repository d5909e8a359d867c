#include "gui/skinned/splash.h"

#include "core/objects/engine.h"
#include "engine/applet/applet.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/device.h"
#include "platform/filters/filter.h"

namespace {
constexpr const char16_t* kLogoFiles[] = {u"logo.png", u"logo_newton.png", u"logo_mozilla.png"};
constexpr float kLogoGap = 20;
constexpr float kLogoBottomMargin = 50;
}  // namespace

const ClassInfo& Splash::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<Splash>("Splash").build();
  return info;
}

void Splash::Create(TObject* owner) {
  // Defaults first: the inherited construction reads the stored properties.
  setMaterial(u"gui");
  setZTest(false);
  inherited::Create(owner);
  Applet* applet = ownerApplet();
  AppletParts* parts = applet ? applet->parts() : nullptr;
  TFilter* filter = parts ? parts->filterObject() : nullptr;
  SomeEngine* engine = Engine();
  TResourceMan* builtIn = engine ? engine->embeddedResourceManager() : nullptr;
  if (!filter || !builtIn) return;
  for (size_t i = 0; i < logos_.size(); ++i) logos_[i] = filter->loadPixmap(builtIn, kLogoFiles[i]);
}

void Splash::Destroy() {
  TDevice* device = WidgetDevice(this);
  for (TPixmap*& logo : logos_) {
    if (device && logo) device->DestroyPixmap(logo);
    logo = nullptr;
  }
  inherited::Destroy();
}

void Splash::drawSelf() {
  inherited::drawSelf();
  TDevice* device = WidgetDevice(this);
  Applet* applet = ownerApplet();
  if (!device || !applet || !logos_[0]) return;
  const auto lw = static_cast<float>(logos_[0]->width());
  const auto lh = static_cast<float>(logos_[0]->height());
  const float rowWidth = 3 * lw + 3 * kLogoGap;
  const float y = static_cast<float>(applet->height()) - lh - kLogoBottomMargin;
  const float x0 = (static_cast<float>(applet->width()) - rowWidth) / 2;
  for (size_t i = 0; i < logos_.size(); ++i) {
    if (logos_[i]) device->DrawPixmapAt(logos_[i], x0 + static_cast<float>(i) * (lw + kLogoGap), y);
  }
}
