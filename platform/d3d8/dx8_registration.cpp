// The Direct3D 8 device is the program's default device: it is registered
// before every other device class, so its index is 0.
#include "core/objects/class_registry.h"
#include "platform/d3d8/dx8_device.h"
#include "platform/device_registry.h"

namespace {
const TDeviceClass& DX8DeviceClass() {
  static const TDeviceClass cls{&TWin32DX8Device::staticClassInfo(), &TWin32DX8Device::ClassDeviceName,
                                []() -> TDevice* { return new TWin32DX8Device(); }};
  return cls;
}
}  // namespace

void RegisterDX8Device() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  RegisterClasses({&TWin32DX8Device::staticClassInfo()});
  SetDefaultDeviceIndex(RegisterDeviceClass(DX8DeviceClass()));
  RegisterPlatformDevices();
}
