#pragma once
// What the engine root needs from the object files and the applet: converting
// a binary object stream to the XML text form, loading the main object file as
// a new applet, and asking whether a loaded applet has a rendering device.
#include <string>

#include "core/text/text.h"

class BaseObject;
class TResourceMan;
class TStream;

// Converts the binary object stream at the stream's position to XML text.
bool BinaryObjectToXmlText(TStream& binary, std::string& xmlText);

// Loads the main object file into a new applet under `parent`; the applet takes
// over `manager`. Answers nil (and frees the manager) when nothing was loaded.
BaseObject* LoadAppletObjectFile(TResourceMan* manager, const WideString& fileName, BaseObject* parent);

// Installed by the applet layer; without one, every applet counts as having one.
extern bool (*AppletHasDeviceHook)(BaseObject* applet);
inline bool AppletHasDevice(BaseObject* applet) { return !AppletHasDeviceHook || AppletHasDeviceHook(applet); }
