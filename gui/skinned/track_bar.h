#pragma once
// The skinned track bar: the skin's "track" element along the track and its
// "thumb" element as the thumb.
#include "gui/widgets/std_trackbar.h"

class TSkinPixmapPersistent;

class TrackBar : public TStdTrackbar {
  Q_OBJECT(TrackBar, TStdTrackbar)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void drawSelf() override;

  TSkinPixmapPersistent* pixmapTrack() const { return pixmapTrack_; }
  TSkinPixmapPersistent* pixmapThumb() const { return pixmapThumb_; }
  // Each copies the given description into the own pixmap.
  void setPixmapTrack(TSkinPixmapPersistent* value);
  void setPixmapThumb(TSkinPixmapPersistent* value);

 private:
  TSkinPixmapPersistent* pixmapTrack_ = nullptr;
  TSkinPixmapPersistent* pixmapThumb_ = nullptr;
};
