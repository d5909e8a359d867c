#include "gui/forms/debug_form.h"

#include "engine/applet/applet.h"
#include "engine/media/font_persistent.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/device.h"
#include "platform/font.h"

namespace {
constexpr TColorARGB kPanelColor = 0x96000000u;
constexpr TColorARGB kFrameColor = 0xFF696969u;
constexpr TColorARGB kLineColor = 0xFF44EE88u;
constexpr uint8_t kLineFlags = kTextCentre | kTextMiddle;
}  // namespace

const ClassInfo& DebugForm::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<DebugForm>("DebugForm").build();
  return info;
}

// It starts at (0, 0), where every positioned object starts. The font is
// made by the inherited construction, so the form always draws in "system".
void DebugForm::Create(TObject* owner) {
  inherited::Create(owner);
  font()->setFontName(u"system");
}

std::vector<WideString> DebugForm::lines() const {
  std::vector<WideString> shown;
  Applet* applet = ownerApplet();
  if (!applet) return shown;
  // The lines pass through the 8-bit code page, as the panel always showed them.
  for (const auto& [name, value] : applet->debugValues()) shown.push_back(AnsiToWide(WideToAnsi(name + u" " + value)));
  return shown;
}

void DebugForm::drawSelf() {
  const std::vector<WideString> shown = lines();
  const auto size = static_cast<float>(font()->size());
  const float wanted = static_cast<float>(shown.size()) * size + 2;
  if (wanted != height()) setHeight(wanted);
  TDevice* device = WidgetDevice(this);
  FillArea(device, getClientRect(), kPanelColor);
  OutlineArea(device, getClientRect(), kFrameColor);
  for (size_t i = 0; i < shown.size(); ++i) {
    const float top = static_cast<float>(i) * size + 1;
    DrawLabel(device, font(), shown[i], kLineColor, kLineFlags, MakeRectF(1, top, width() - 1, top + size));
  }
}
