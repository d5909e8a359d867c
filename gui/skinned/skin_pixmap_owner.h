#pragma once
// A widget that owns one skin pixmap, published as its "pixmap": made before
// the inherited construction, which may already read stored values into it,
// and freed after the inherited destruction. The widget names the skin
// element it draws (empty: a pixmap of its own file only).
#include "core/objects/base_object.h"
#include "gui/skinned/skin_drawing.h"

template <class Widget>
class SkinPixmapOwner : public Widget {
 public:
  explicit SkinPixmapOwner(const char16_t* element) : element_(element) {}

  void Create(TObject* owner) override {
    pixmap_ = NewSkinPixmap(dynamic_cast<BaseObject*>(owner), element_);
    Widget::Create(owner);
  }
  void Destroy() override {
    Widget::Destroy();
    FreeSkinPixmap(pixmap_);
  }

  TSkinPixmapPersistent* pixmap() const { return pixmap_; }
  void setPixmap(TSkinPixmapPersistent* value) { CopySkinPixmap(pixmap_, value); }

 private:
  const char16_t* element_;
  TSkinPixmapPersistent* pixmap_ = nullptr;
};
