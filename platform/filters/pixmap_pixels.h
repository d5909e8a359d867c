#pragma once
// Pixels between system memory and device pixmaps, row by row through a lock
// of the whole pixmap (a device's rows may lie `pitch` bytes apart).
#include "platform/argb_image.h"

class TDevice;
class TPixmap;

// A new device pixmap holding the image; nil without a device, for an empty
// image or when the device cannot hold its size.
TPixmap* PixmapFromImage(TDevice* device, const TArgbImage& image);

// The pixmap's pixels; false (and an empty image) when it cannot be locked.
bool ImageFromPixmap(TDevice* device, TPixmap* pixmap, TArgbImage& image);
