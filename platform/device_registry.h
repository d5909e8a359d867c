#pragma once
// The device classes of the program, in registration order. The applet picks
// one by index, or by comparing each class's device name with the name it
// asks for, ignoring case; with no choice it takes the default index.
#include <vector>

#include "core/text/text.h"

class ClassInfo;
class TDevice;
class TWindow;
class TDeviceHost;

struct TDeviceClass {
  const ClassInfo* classInfo = nullptr;
  WideString (*deviceName)() = nullptr;  // the class's DeviceName
  TDevice* (*construct)() = nullptr;     // field defaults only; CreateOnWindow follows
};

// Appends a class and answers its index.
int RegisterDeviceClass(const TDeviceClass& deviceClass);
const std::vector<TDeviceClass>& DeviceClasses();
// The index the applet takes when it asks for none (the first class a device
// unit declares its default; 0 until then).
int DefaultDeviceIndex();
void SetDefaultDeviceIndex(int index);
// The first class whose device name equals `name` ignoring case, or -1.
int FindDeviceClass(const WideString& name);

// A device of the class on the window: constructed, given the host when one
// is passed (else it finds its window's applet), then created on the window.
TDevice* CreateDeviceOfClass(const TDeviceClass& deviceClass, TWindow* window, TDeviceHost* host = nullptr);

// Makes every device class known: the class registry learns the device,
// pixmap, mesh and font classes, and the device-class list gets the Direct3D 8
// device (index 0, the default) and then the OpenGL device (index 1). Running
// it again changes nothing.
void RegisterPlatformDevices();
