#pragma once
// A font description as scene and GUI objects store it: either the name of a
// `Font` object of the applet ("default", "system", or one of the game's
// own), or a family, size and style that the applet's cache makes a device
// font of. The device font is resolved on first use.
#include <cstdint>

#include "core/geometry/geometry.h"
#include "core/objects/class_builder.h"
#include "core/objects/component.h"

class Applet;
class TFont;

enum TFontStyle { fsBold, fsItalic };
Q_DECLARE_ENUM(TFontStyle)
using TFontStyles = SetOf<TFontStyle>;

class TFontPersistent : public TSomePersistent {
  Q_OBJECT(TFontPersistent, TSomePersistent)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void DefineProperties(TGFiler* filer) override;

  // The device font, resolved on first use; its letter and line spacing are
  // set from stepHorz and stepVert on every call (the device font may be
  // shared: the last caller's steps win). Nil without a device.
  TFont* getFont();
  // Copies the description; the font is resolved again on next use.
  void Assign(const TFontPersistent& source);

  const WideString& family() const { return family_; }
  void setFamily(const WideString& value);
  int32_t size() const { return size_; }
  void setSize(int32_t value);
  TFontStyles style() const { return style_; }
  void setStyle(TFontStyles value);
  TColorARGB color() const { return color_; }
  void setColor(TColorARGB value) { color_ = value; }
  int32_t stepHorz() const { return stepHorz_; }
  void setStepHorz(int32_t value) { stepHorz_ = value; }
  int32_t stepVert() const { return stepVert_; }
  void setStepVert(int32_t value) { stepVert_ = value; }
  const WideString& fontName() const { return fontName_; }
  void setFontName(const WideString& value) { fontName_ = value; }

 private:
  Applet* ownerApplet() const;
  void resolveFont();
  // Gives a font of the cache back; a font lent by a Font object is only
  // forgotten.
  void dropFont();
  // Every description that borrowed this one's font forgets it.
  void recallLentFont();

  WideString colorText() const { return ColorToText(color_); }
  void setColorText(const WideString& text) { color_ = ColorFromText(text); }
  bool fontNameStored() const { return !fontName_.empty(); }
  bool familyStored() const;
  bool sizeStored() const { return fontName_.empty() && size_ != 10; }
  bool styleStored() const { return fontName_.empty() && style_.bits() != 0; }
  bool colorStored() const { return color_ != kNoColor; }

  WideString family_ = u"arial";
  TFont* font_ = nullptr;
  int32_t size_ = 10;
  TFontStyles style_;
  TColorARGB color_ = kNoColor;
  int32_t stepHorz_ = 0;
  int32_t stepVert_ = 0;
  WideString fontName_ = u"default";
  // Where font_ came from: the cache (given back when dropped), or the
  // description of a Font object that lent it.
  bool fontFromCache_ = false;
  TFontPersistent* lender_ = nullptr;
  // Set while the font is being resolved: Font objects that name each other
  // end there instead of recursing.
  bool resolving_ = false;
};
