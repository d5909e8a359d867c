#include "engine/media/media_registration.h"

#include "core/objects/class_registry.h"
#include "engine/media/font_object.h"
#include "engine/media/font_persistent.h"
#include "engine/media/material.h"
#include "engine/media/mesh_persistent.h"
#include "engine/media/pixmap_persistent.h"
#include "engine/media/skin.h"
#include "engine/media/skin_pixmap_persistent.h"

void RegisterMediaClasses() {
  RegisterClasses({&TFontPersistent::staticClassInfo(), &Font::staticClassInfo(),
                   &TPixmapPersistent::staticClassInfo(), &TMeshPersistent::staticClassInfo(),
                   &Skin::staticClassInfo(), &SkinElement::staticClassInfo(),
                   &TSkinPixmapPersistent::staticClassInfo(), &Material::staticClassInfo(),
                   &Materials::staticClassInfo()});
}
