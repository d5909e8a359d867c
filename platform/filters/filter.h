#pragma once
// The applet's filter: everything loads and saves pixmaps and meshes through
// it, and scripts see it as "filter". It picks the filter class by the file
// name and keeps a converted copy of every imported file in the system's own
// format beside it: the base name plus ".pixmap" (or ".mesh"). The copy is
// read instead of the source while it is not older than the source; when the
// source is newer, or there is no copy yet, the source is imported and the
// copy written (JPEG pictures excepted: their copy would only be larger).
// A copy that cannot be written (a read-only game folder) leaves the import
// in memory with one error line; a copy that cannot be read is replaced by a
// new import of its source.
#include <cstdint>

#include "core/objects/base_object.h"
#include "platform/argb_image.h"
#include "platform/filters/abstract_filter.h"

class TMesh;
class TPixmap;
class TResourceMan;
struct TFilterClass;

class TFilter : public BaseObject {
  Q_OBJECT(TFilter, BaseObject)

 public:
  // The applet's side: its device and model scale.
  void setHost(TFilterHost* host) { host_ = host; }
  TFilterHost* host() const { return host_; }

  // A new device pixmap or mesh, or nil.
  TPixmap* loadPixmap(TResourceMan* manager, const WideString& name);
  TMesh* loadMesh(TResourceMan* manager, const WideString& name);
  // The pixels of a picture into a caller-owned image: from the ".pixmap"
  // copy when a filter takes it and the manager has it, else from the file;
  // false when no filter with plain-buffer reading takes the name.
  bool loadRGBAFile(TResourceMan* manager, const AnsiString& name, TArgbImage& image);
  // Plain buffers cannot be written in any registered format: always false,
  // whatever the name.
  bool saveRGBAFile(const TArgbImage& image, const AnsiString& name);
  // Writes through the filter for the name when that filter can write;
  // otherwise nothing. True when a file was written.
  bool savePixmap(TResourceMan* manager, const WideString& name, TPixmap* pixmap);
  bool saveMesh(TResourceMan* manager, const WideString& name, TMesh* mesh);

 private:
  template <typename Resource, typename Kind>
  Resource* loadWithCopy(TResourceMan* manager, const WideString& name);
  bool scriptLoadRGBAFile(TResourceMan* manager, const AnsiString& name);
  bool scriptSaveRGBAFile(const AnsiString& name, int32_t height, int32_t width);

  TFilterHost* host_ = nullptr;
};
