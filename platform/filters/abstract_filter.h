#pragma once
// The filter classes: one small class per file format that reads (and some
// write) pixmaps or meshes through a resource manager. A filter object lives
// for one call: the applet's TFilter makes it, calls it and frees it.
//
// Readers never raise: a file that cannot be read (no stream, a wrong
// signature, damaged data) gives nil, and every failure other than a missing
// stream or a wrong signature writes an error line first.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/objects/component.h"
#include "core/resources/resource_man.h"
#include "core/text/text.h"
#include "platform/argb_image.h"

class TDevice;
class TMesh;
class TPixmap;
class TResourceMan;
class TStream;

// What a filter asks of the applet it works for.
class TFilterHost {
 public:
  virtual ~TFilterHost() = default;
  // The device that makes the pixmaps and meshes (nil: nothing is made).
  virtual TDevice* filterDevice() = 0;
  // The applet's `modelScale`: imported models are scaled by it.
  virtual float filterModelScale() = 0;
};

// Capability bits of a filter class.
inline constexpr uint8_t kFilterCanRead = 1;
inline constexpr uint8_t kFilterCanWrite = 2;

class TAbstractFilter : public TSomePersistent {
  Q_OBJECT(TAbstractFilter, TSomePersistent)

 public:
  void setHost(TFilterHost* host) { host_ = host; }
  TDevice* device() const { return host_ ? host_->filterDevice() : nullptr; }
  float modelScale() const { return host_ ? host_->filterModelScale() : 1.0f; }

 private:
  TFilterHost* host_ = nullptr;
};

class TPixmapFilter : public TAbstractFilter {
  Q_OBJECT(TPixmapFilter, TAbstractFilter)

 public:
  // Whether the class reads into plain buffers (readRGBA); none writes them.
  virtual bool hasReadRGBA() const { return false; }
  // The pixels into a caller-owned image; true when it has pixels.
  virtual bool readRGBA(TResourceMan* /*manager*/, const WideString& /*name*/, TArgbImage& /*image*/) {
    return false;
  }
  // A new device pixmap; by default the pixels readRGBA gives.
  virtual TPixmap* readPixmap(TResourceMan* manager, const WideString& name);
  // True when the whole file was written.
  virtual bool writePixmap(TResourceMan* /*manager*/, const WideString& /*name*/, TPixmap* /*pixmap*/) {
    return false;
  }

 protected:
  // The pixels of a pixmap about to be saved under the name; false, with an
  // error line, when the pixmap cannot be read.
  bool pixelsForSaving(TPixmap* pixmap, const WideString& name, TArgbImage& image);
  // A new device pixmap of the image read from the named file; nil, with an
  // error line naming the file, when the device cannot hold its size.
  TPixmap* pixmapOf(const WideString& name, const TArgbImage& image);
};

class TMeshFilter : public TAbstractFilter {
  Q_OBJECT(TMeshFilter, TAbstractFilter)

 public:
  virtual TMesh* readMesh(TResourceMan* manager, const WideString& name) = 0;
  // True when the whole file was written; importers write nothing.
  virtual bool writeMesh(TResourceMan* /*manager*/, const WideString& /*name*/, TMesh* /*mesh*/) { return false; }

 protected:
  // The mesh `make`(stream, device) builds from the named file; nil without
  // a stream or a device, and nil with an error line when `make` raises.
  template <typename Make>
  TMesh* readMeshWith(TResourceMan* manager, const WideString& name, Make make);
};

// ---- what the filters share -------------------------------------------------------

using TStreamPtr = std::unique_ptr<TStream, FreeDeleter>;

// The manager's stream for the name, or nil: a missing file, a manager that
// refuses the mode, and a file the system refuses to open (logged) all give
// nil.
TStreamPtr OpenFilterStream(TResourceMan* manager, const WideString& name, int32_t mode);

// Writes a whole file made in memory through the manager (a file goes to a
// temporary file renamed over the target, so a failed write keeps the old
// file); true when every byte was written.
bool WriteFilterFile(TResourceMan* manager, const WideString& name, const std::vector<uint8_t>& bytes);

// The error line of a file that could not be read: "Can't load " + name +
// ": " + what went wrong.
void LogFilterError(const WideString& name, const std::string& what);

// Runs a reader's body; an exception of the program or a failed allocation
// becomes an error line and the reader's nil.
template <typename Result, typename Body>
Result GuardedRead(const WideString& name, Body body) {
  try {
    return body();
  } catch (const std::exception& error) {
    LogFilterError(name, error.what());
    return Result{};
  }
}

template <typename Make>
TMesh* TMeshFilter::readMeshWith(TResourceMan* manager, const WideString& name, Make make) {
  TDevice* target = device();
  TStreamPtr stream = OpenFilterStream(manager, name, fmOpenRead);
  if (!stream || !target) return nullptr;
  return GuardedRead<TMesh*>(name, [&]() -> TMesh* { return make(*stream, *target); });
}
