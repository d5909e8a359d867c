#include "core/objects/class_registry.h"
#include "platform/caret.h"
#include "platform/d3d8/dx8_device.h"
#include "platform/device_registry.h"
#include "platform/font.h"
#include "platform/opengl/ogl_device.h"

namespace {
const TDeviceClass& GenericGLDeviceClass() {
  static const TDeviceClass cls{&TGenericGLDevice::staticClassInfo(), &TOGLDevice::ClassDeviceName,
                                []() -> TDevice* { return new TGenericGLDevice(); }};
  return cls;
}
}  // namespace

// The Direct3D 8 device registers first and makes its index (0) the default;
// the OpenGL device follows it (index 1). Either registration function may be
// called first: each runs once, and the order comes out the same.
void RegisterPlatformDevices() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterDX8Device();
  RegisterClasses({&TDevice::staticClassInfo(), &TOGLDevice::staticClassInfo(), &TGenericGLDevice::staticClassInfo(),
                   &TPixmap::staticClassInfo(), &TMesh::staticClassInfo(), &TFont::staticClassInfo(),
                   &TCaret::staticClassInfo()});
  RegisterDeviceClass(GenericGLDeviceClass());
}
