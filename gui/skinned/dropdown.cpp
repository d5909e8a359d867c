#include "gui/skinned/dropdown.h"

#include <cmath>

#include "core/geometry/coordinates.h"
#include "engine/media/font_persistent.h"
#include "engine/media/skin.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "gui/skinned/list.h"
#include "gui/skinned/skin_drawing.h"
#include "gui/widget_lifetime.h"
#include "gui/widgets/widget_drawing.h"

namespace {
constexpr float kGlyphInset = 5;

// The source rectangle the pixmap draws from: its skin element's, else its own.
TRectF SourceRect(const TSkinPixmapPersistent* pixmap) {
  const SkinElement* element = pixmap->element();
  const TPixmapPersistent* source = element && element->pixmap() ? element->pixmap() : pixmap;
  return source->rect()->getRect();
}
}  // namespace

const ClassInfo& Dropdown::staticClassInfo() {
  using D = Dropdown;
  static const ClassInfo info = ClassBuilder<D>("Dropdown")
                                    .property("font", &D::font, &D::setFont)
                                    .property("pixmap", &D::pixmap, &D::setPixmap)
                                    .property("pixmapGlyph", &D::pixmapGlyph, &D::setPixmapGlyph)
                                    .property("pixmapList", &D::pixmapList, &D::setPixmapList)
                                    .property("pixmapSelection", &D::pixmapSelection, &D::setPixmapSelection)
                                    .property("pixmapItem", &D::pixmapItem, &D::setPixmapItem)
                                    .build();
  return info;
}

void Dropdown::Create(TObject* owner) {
  auto* parent = dynamic_cast<BaseObject*>(owner);
  pixmap_ = NewSkinPixmap(parent, u"dropdown");
  pixmapGlyph_ = NewSkinPixmap(parent, u"dropdownglyph");
  inherited::Create(owner);
}

void Dropdown::Destroy() {
  inherited::Destroy();
  FreeAndNil(pixmap_);
  FreeAndNil(pixmapGlyph_);
}

TStdList* Dropdown::createList() {
  auto* made = New<List>(this);
  MarkSelfMade(made);
  made->setDropdown(this);
  made->hide();
  return made;
}

List* Dropdown::skinnedList() const { return dynamic_cast<List*>(list()); }

void Dropdown::mouseUp(uint8_t button, uint8_t shift, float x, float y) {
  // The list shows its entries in the drop-down's font, as set when it drops.
  TStdList* shown = list();
  if (!dropped() && shown && font() && shown->font()) shown->font()->Assign(*font());
  inherited::mouseUp(button, shift, x, y);
}

void Dropdown::setPixmap(TSkinPixmapPersistent* value) { CopySkinPixmap(pixmap_, value); }
void Dropdown::setPixmapGlyph(TSkinPixmapPersistent* value) { CopySkinPixmap(pixmapGlyph_, value); }

TSkinPixmapPersistent* Dropdown::pixmapList() const {
  List* shown = skinnedList();
  return shown ? shown->pixmap() : nullptr;
}
TSkinPixmapPersistent* Dropdown::pixmapSelection() const {
  List* shown = skinnedList();
  return shown ? shown->pixmapSelection() : nullptr;
}
TSkinPixmapPersistent* Dropdown::pixmapItem() const {
  List* shown = skinnedList();
  return shown ? shown->pixmapItem() : nullptr;
}
void Dropdown::setPixmapList(TSkinPixmapPersistent* value) { CopySkinPixmap(pixmapList(), value); }
void Dropdown::setPixmapSelection(TSkinPixmapPersistent* value) { CopySkinPixmap(pixmapSelection(), value); }
void Dropdown::setPixmapItem(TSkinPixmapPersistent* value) { CopySkinPixmap(pixmapItem(), value); }

void Dropdown::drawFrame(float glyphWidth, float glyphHeight) {
  DrawSkin(this, pixmap_, getClientRect());
  const float top = std::trunc((height() - glyphHeight) / 2);
  DrawSkin(this, pixmapGlyph_,
           MakeRectF(width() - glyphWidth - kGlyphInset, top, width() - kGlyphInset, top + glyphHeight));
}

void Dropdown::drawSelf() {
  const TRectF glyph = SourceRect(pixmapGlyph_);
  drawFrame(RectWidth(glyph), RectHeight(glyph));
  DrawWidgetText(this, text(), TextAlignFlag(textAlign()) | kTextMiddle, getClientRect());
}
