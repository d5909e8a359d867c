#include "gui/skinned/image_list.h"

#include "core/objects/wide_strings.h"
#include "engine/applet/applet.h"
#include "engine/media/pixmap_persistent.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/device.h"

namespace {
constexpr float kElementInset = 2;
constexpr float kPictureInset = 5;
constexpr TColorARGB kUntinted = 0xFFFFFFFFu;

TRectF Shrunk(const TRectF& rect, float by) {
  return MakeRectF(rect.left + by, rect.top + by, rect.right - by, rect.bottom - by);
}
}  // namespace

const ClassInfo& ImageList::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<ImageList>("ImageList").build();
  return info;
}

void ImageList::Destroy() {
  for (auto& [name, picture] : pictures_) FreeAndNil(picture);
  pictures_.clear();
  inherited::Destroy();
}

TPixmapPersistent* ImageList::pictureOf(const WideString& fileName) {
  TPixmapPersistent*& picture = pictures_[fileName];
  if (!picture) {
    picture = New<TPixmapPersistent>(AppletOf(this));
    picture->setFileName(fileName);
  }
  return picture;
}

void ImageList::paintItem(int32_t index, const TRectF& rect) {
  const TRectF element = Shrunk(rect, kElementInset);
  paintItemBackground(index, element);
  TDevice* device = WidgetDevice(this);
  if (!device) return;
  device->SetColor(kUntinted);
  pictureOf(items()->items(index))->draw(Shrunk(element, kPictureInset));
}
