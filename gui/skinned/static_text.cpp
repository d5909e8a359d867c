#include "gui/skinned/static_text.h"

#include "engine/media/font_persistent.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/font.h"

const ClassInfo& StaticText::staticClassInfo() {
  using S = StaticText;
  static const ClassInfo info = ClassBuilder<S>("StaticText")
                                    .property("font", &S::font, &S::setFont)
                                    .property("text", &S::text, &S::setText)
                                    .property("textAlign", &S::textAlign, &S::setTextAlign).defaultValue(taLeft)
                                    .property("wordWrap", &S::wordWrap, &S::setWordWrap).defaultValue(0)
                                    .build();
  return info;
}

void StaticText::drawSelf() {
  if (text().empty()) return;
  uint8_t flags = TextAlignFlag(textAlign_) | kTextMiddle;
  if (wordWrap_) flags |= kTextWordWrap;
  DrawWidgetText(this, text(), flags, getClientRect());
}
