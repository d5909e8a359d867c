#include "platform/pixmap_source.h"

#include "core/system/log.h"

namespace {
PixmapSource* innermost = nullptr;
}  // namespace

PixmapSource::PixmapSource(const WideString& fileName) : fileName_(fileName), outer_(innermost) { innermost = this; }

PixmapSource::~PixmapSource() { innermost = outer_; }

void LogCantCreateTexture() {
  const bool named = innermost && !innermost->fileName_.empty();
  LogError(u"Can't create texture" + (named ? u" for " + innermost->fileName_ : WideString()));
}
