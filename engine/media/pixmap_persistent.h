#pragma once
// A pixmap that a scene or GUI object names by file: loaded through the
// applet's cache, drawn over a rectangle stretched, tiled or in nine parts
// (margins), optionally from a source rectangle of the pixmap (`rect`,
// moved by `offset`). Without a pixmap of its own it draws the applet's
// default pixmap while `useDefault` is on.
#include <cstdint>

#include "core/geometry/coordinates.h"
#include "core/geometry/geometry.h"
#include "core/objects/component.h"

class Applet;
class TDevice;
class TPixmap;
class TResourceMan;

class TPixmapPersistent : public TSomePersistent {
  Q_OBJECT(TPixmapPersistent, TSomePersistent)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  // Takes over another description's values (the pixmap through the cache).
  void Assign(const TPixmapPersistent& source);

  // ---- published ---------------------------------------------------------------
  // True when there is nothing to draw: no pixmap of its own (or one of
  // width 0) and the default is not used.
  bool empty() const;
  int32_t width() const;
  int32_t height() const;
  // Pixmaps have no frames of their own yet: false and 0.
  bool animated() const { return false; }
  int32_t keyCount() const { return 0; }

  const WideString& fileName() const { return fileName_; }
  // Loads the named pixmap through the cache: a "_pixmap" name from the
  // program's built-in files, a name with ":" through the engine's external
  // manager, any other through the applet's own. The same text again loads
  // nothing.
  virtual void setFileName(const WideString& name);
  TRectPersistent* rect() const { return rect_; }
  void setRect(TRectPersistent* value);
  TRectPersistent* margins() const { return margins_; }
  void setMargins(TRectPersistent* value);
  TPointPersistent* offset() const { return offset_; }
  void setOffset(TPointPersistent* value);
  bool tile() const { return tile_; }
  void setTile(bool value) { tile_ = value; }
  bool useDefault() const { return useDefault_; }
  void setUseDefault(bool value) { useDefault_ = value; }

  // ---- drawing -------------------------------------------------------------------
  // The pixmap in use: its own, else the applet's default when useDefault.
  TPixmap* getPixmap() const;
  // The loaded pixmap alone (nil when none).
  TPixmap* loadedPixmap() const { return pixmap_; }
  // Sets the device's texture matrix to the source rectangle (identity when
  // the rectangle is empty) and selects the pixmap with linear filtering,
  // modulated by the material colour.
  void bind();
  // Back to the identity texture matrix when bind changed it.
  void unbind();
  bool bound() const { return bound_; }
  // Draws the pixmap over `area`; nothing when empty.
  virtual void draw(const TRectF& area);

 protected:
  Applet* ownerApplet() const;
  TDevice* device() const;

 private:
  void releasePixmap();
  void loadPixmap(const WideString& name);
  void setAnimated(bool) {}
  void setKeyCount(int32_t) {}

  TRectPersistent* margins_ = nullptr;
  TRectPersistent* rect_ = nullptr;
  TPointPersistent* offset_ = nullptr;
  bool bound_ = false;
  bool useDefault_ = true;
  WideString fileName_;
  TPixmap* pixmap_ = nullptr;
  bool tile_ = false;
};

// Which manager a media name is read through: the engine's external manager
// for a name with ":" (a drive or an absolute place), else the applet's own.
TResourceMan* MediaManagerFor(const Applet* applet, const WideString& name);
