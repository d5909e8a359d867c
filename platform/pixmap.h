#pragma once
// A device pixmap: a texture of width x height ARGB pixels, created, locked
// and destroyed only through the device that made it.
#include <cstdint>
#include <vector>

#include "core/objects/component.h"

class TDevice;

// The part of a pixmap a lock covers, in pixels.
struct TPixmapRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
};

class TPixmap : public TSomePersistent {
  Q_OBJECT(TPixmap, TSomePersistent)

 public:
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  bool isLocked() const { return device_.lockedBits != nullptr; }

  // The device's own fields. A device sets them while it creates, locks and
  // destroys the pixmap; nothing else writes them.
  struct DeviceState {
    uintptr_t texture = 0;        // the device's texture (0: none)
    uint32_t* lockedBits = nullptr;  // first pixel of the locked rectangle
    int32_t pitch = 0;            // bytes from one row of the lock to the next
    TPixmapRect lockRect;         // what the current lock covers
    bool lockForRead = false;
    bool hasImage = false;        // the texture has received its pixels once
    std::vector<uint32_t> memory;  // system-memory pixels, where a device keeps them
  };
  DeviceState& deviceState() { return device_; }
  const DeviceState& deviceState() const { return device_; }

  // Set by the device at creation.
  void setSize(int32_t width, int32_t height) {
    width_ = width;
    height_ = height;
  }

  // The ARGB pixels kept in system memory while the pixmap moves from one
  // device to another (rows top-down, width words each).
  std::vector<uint32_t>& switchCopy() { return switchCopy_; }

  // A tiled draw of this pixmap needed more tiles than the dynamic mesh can
  // ever hold, and that was logged: it is drawn the same way every frame.
  bool tilingOverflowReported = false;

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  DeviceState device_;
  std::vector<uint32_t> switchCopy_;
};

// Whether a width and height make a pixmap a device can hold: both at least 1,
// neither above maxSize, and width x height x 4 bytes within 32-bit range.
bool IsValidPixmapSize(int64_t width, int64_t height, int32_t maxSize);

// Whether a lock rectangle lies wholly inside the pixmap and is not empty.
bool IsValidPixmapRect(const TPixmap& pixmap, const TPixmapRect& rect);
