#include "gui/skinned/object_list.h"

#include <cmath>

#include "core/geometry/coordinates.h"
#include "core/objects/wide_strings.h"
#include "core/system/log.h"
#include "engine/applet/applet.h"
#include "engine/scene/position_object.h"
#include "gui/skinned/preview.h"
#include "gui/skinned/skin_drawing.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/device.h"

namespace {
constexpr float kRowInset = 10;
constexpr float kRadiusSpan = 2.5f;
constexpr float kTurnedToViewer = 135;
constexpr float kSpinStep = 0.1f;
}  // namespace

const ClassInfo& ObjectList::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<ObjectList>("ObjectList").build();
  return info;
}

float FitScale(int32_t itemHeight, float boundingRadius) {
  if (!(boundingRadius > 0) || !std::isfinite(boundingRadius)) return 1;
  return (static_cast<float>(itemHeight) - kRowInset) / (kRadiusSpan * boundingRadius);
}

void ObjectList::Loaded() {
  inherited::Loaded();
  for (int i = 0; i < items()->count(); ++i) {
    const WideString entry = items()->items(i);
    PositionObject* object = loadEntry(entry);
    if (!object) continue;
    object->hide();
    const float factor = FitScale(itemHeight(), object->getBoundingRadius());
    object->scale()->setXYZ(factor, factor, factor);
    object->setXAngle(kTurnedToViewer);
    object->setTagString(entry);
    ShowOnScreen(object);
  }
}

PositionObject* ObjectList::loadEntry(const WideString& fileName) {
  auto* applet = dynamic_cast<Applet*>(this->applet());
  if (!applet) return nullptr;
  BaseObject* loaded = applet->newFromFile(fileName, this);
  if (!loaded) return nullptr;
  auto* object = dynamic_cast<PositionObject*>(loaded);
  if (!object) {
    LogError(u"ObjectList " + name() + u": " + fileName + u" holds no positioned object");
    loaded->Free();
  }
  return object;
}

void ObjectList::paintItem(int32_t index, const TRectF& rect) {
  if (index == itemIndex()) DrawSkin(this, pixmapSelection(), rect);
  TDevice* device = WidgetDevice(this);
  auto* object = dynamic_cast<PositionObject*>(findByTagString(items()->items(index)));
  if (!device || !object) return;
  object->setX((rect.left + rect.right) / 2);
  object->setY((rect.top + rect.bottom) / 2);
  object->setZAngle(object->zAngle() + kSpinStep);
  device->saveRenderState();
  object->draw();
  device->restoreRenderState();
}
