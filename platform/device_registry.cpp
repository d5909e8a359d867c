#include "platform/device_registry.h"

#include "core/objects/class_info.h"
#include "platform/device.h"

namespace {
std::vector<TDeviceClass>& ClassList() {
  static std::vector<TDeviceClass> classes;
  return classes;
}
int& DefaultIndex() {
  static int index = 0;
  return index;
}
}  // namespace

int RegisterDeviceClass(const TDeviceClass& deviceClass) {
  ClassList().push_back(deviceClass);
  return static_cast<int>(ClassList().size()) - 1;
}

const std::vector<TDeviceClass>& DeviceClasses() { return ClassList(); }
int DefaultDeviceIndex() { return DefaultIndex(); }
void SetDefaultDeviceIndex(int index) { DefaultIndex() = index; }

int FindDeviceClass(const WideString& name) {
  const std::vector<TDeviceClass>& classes = ClassList();
  for (size_t i = 0; i < classes.size(); ++i) {
    if (classes[i].deviceName && SameTextAsciiW(classes[i].deviceName(), name)) return static_cast<int>(i);
  }
  return -1;
}

TDevice* CreateDeviceOfClass(const TDeviceClass& deviceClass, TWindow* window, TDeviceHost* host) {
  if (!deviceClass.construct) return nullptr;
  TDevice* device = deviceClass.construct();
  if (host) device->setHost(host);
  device->CreateOnWindow(window);
  return device;
}
