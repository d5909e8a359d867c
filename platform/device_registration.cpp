#include "core/class_registry.h"
#include "platform/caret.h"
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

// The Direct3D 8 device, once the program has it, registers here first and
// makes its index the default; the OpenGL device follows it.
void RegisterPlatformDevices() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterClasses({&TDevice::staticClassInfo(), &TOGLDevice::staticClassInfo(), &TGenericGLDevice::staticClassInfo(),
                   &TPixmap::staticClassInfo(), &TMesh::staticClassInfo(), &TFont::staticClassInfo(),
                   &TCaret::staticClassInfo()});
  RegisterDeviceClass(GenericGLDeviceClass());
}
