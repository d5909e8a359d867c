#include "engine/scene/default_cursor.h"

#include "core/geometry/coordinates.h"
#include "engine/media/skin_pixmap_persistent.h"
#include "engine/scene/dummy.h"
#include "engine/scene/sprite.h"

// Hidden until a frame finds it should show: a cursor that the first frame
// hides would ask for a second frame for nothing.
VisualObject* MakeDefaultCursor(BaseObject* topLayer) {
  auto* cursor = New<Dummy>(topLayer);
  cursor->setVisible(false);
  auto* arrow = New<Sprite>(cursor);
  arrow->setMaterial(u"gui");
  arrow->position()->setXYZ(8, 18, 0);
  arrow->setWidth(48);
  arrow->setHeight(59);
  arrow->pixmap()->setObjectName(u"cursor");
  return cursor;
}

// Only a real move asks for a frame: the cursor is placed on every frame.
void PlaceCursorObject(VisualObject* cursor, float x, float y) {
  auto* placed = dynamic_cast<PositionObject*>(cursor);
  if (!placed) return;
  const TVector4F now = placed->position()->vector();
  if (now.x != x || now.y != y || now.z != 0) placed->position()->setXYZ(x, y, 0);
}
