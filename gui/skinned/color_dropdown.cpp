#include "gui/skinned/color_dropdown.h"

#include <string>

#include "core/geometry/coordinates.h"
#include "core/objects/wide_strings.h"
#include "engine/media/skin.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "gui/skinned/color_palette.h"
#include "gui/skinned/list.h"
#include "gui/widgets/std_list.h"
#include "gui/widgets/widget_drawing.h"

namespace {
constexpr float kSwatchesWidth = 188;
constexpr int32_t kSwatchHeight = 16;
constexpr int32_t kSwatchColumns = 12;
constexpr int32_t kSwatchRows = 8;
constexpr TColorARGB kOpaque = 0xFF000000u;
}  // namespace

const ClassInfo& ColorDropdown::staticClassInfo() {
  using C = ColorDropdown;
  static const ClassInfo info = ClassBuilder<C>("ColorDropdown")
                                    .property("colorValue", &C::colorValue, &C::setColorValue)
                                    .property("items", &C::items, &C::setItems)
                                    .build();
  return info;
}

void ColorDropdown::Create(TObject* owner) {
  inherited::Create(owner);
  TStdList* swatches = list();
  if (!swatches) return;
  setListWidth(swatches->contentsMargin()->left() + kSwatchesWidth + swatches->contentsMargin()->right());
  swatches->setItemHeight(kSwatchHeight);
  swatches->setColumnCount(kSwatchColumns);
  swatches->setRowCount(kSwatchRows);
  for (const WideString& entry : ColorPaletteEntries()) swatches->items()->add(entry);
  // Every colour is a choice: none is drawn covered as past an enabled count.
  if (List* skinned = skinnedList()) skinned->setEnabledCount(0);
  swatches->onPaintItem.set([this](TStdList*, int32_t index, const TRectF& rect) { paintItem(index, rect); });
}

void ColorDropdown::paintItem(int32_t index, const TRectF& rect) {
  TStdList* swatches = list();
  if (!swatches || index < 0 || index >= swatches->itemCount()) return;
  const TColorARGB colour = TextToColor(swatches->items()->items(index)) | kOpaque;
  FillArea(WidgetDevice(this), MakeRectF(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1), colour);
}

void ColorDropdown::drawSelf() {
  // The glyph at the size of what its pixmap draws: its skin element's part,
  // or a file of its own whole (not the whole skin behind an element). No
  // text: the value shows in the list.
  TSkinPixmapPersistent* glyph = pixmapGlyph();
  const SkinElement* element = glyph->element();
  if (element && element->pixmap()) {
    const TRectF part = element->pixmap()->rect()->getRect();
    drawFrame(RectWidth(part), RectHeight(part));
  } else {
    drawFrame(static_cast<float>(glyph->width()), static_cast<float>(glyph->height()));
  }
}

WideString ColorDropdown::colorValue() const {
  if (text().empty()) return u"#FF000000";
  return ColorToText(TextToColor(text()) | kOpaque);
}

void ColorDropdown::setColorValue(const WideString& value) {
  TStdList* swatches = list();
  if (!swatches) return;
  const WideString entry = AnsiToWide(std::to_string(ColorFromText(value) & 0x00FFFFFFu));
  const int index = swatches->items()->indexOf(entry);
  if (index >= 0) setItemIndex(index);
}
