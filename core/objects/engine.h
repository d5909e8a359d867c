#pragma once
// The engine root: the root of the whole object tree, whose children are the
// running applets. It owns the platform object and the embedded and external
// resource managers, chooses the resource manager for an applet's main file,
// pre-reads the applet's size and title, loads the applet, and publishes the
// log front (`log`, `error`) to scripts.
#include "core/objects/base_object.h"
#include "core/system/log.h"

class TResourceMan;
class TExtResourceMan;

// Width, height and title of an applet, read ahead of loading.
struct AppletInfo {
  int32_t width = 0;
  int32_t height = 0;
  WideString title;
};

// Class references the units set at registration: the platform class (the
// Windows platform on Linux), the embedded resource manager class and the
// archive manager class.
extern const ClassInfo* PlatformClass;
extern const ClassInfo* EmbeddedResManClass;
extern const ClassInfo* ArchiveResManClass;

class SomeEngine : public BaseObject {
  Q_OBJECT(SomeEngine, BaseObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  // The published log front: information and error lines.
  void log(const WideString& text) { LogGameInfo(text); }
  void error(const WideString& text) { LogError(text); }

  // A manager for the main file P, by extension or signature; nil when none fits.
  TResourceMan* createAppletResourceManager(const std::string& path);
  AppletInfo getAppletInfo(const std::string& path);
  BaseObject* loadApplet(const std::string& path);
  // Logs the exception being handled (call only from a catch block).
  static void logCurrentException();

  TPersistent* platform() const { return platform_; }
  TResourceMan* embeddedResourceManager() const { return embedded_; }
  TExtResourceMan* externalResourceManager() const { return external_; }

 private:
  TPersistent* platform_ = nullptr;
  TResourceMan* embedded_ = nullptr;
  TExtResourceMan* external_ = nullptr;
};

// The one engine of the run; set by the engine's construction before anything else.
SomeEngine* Engine();

// Reads scale, width, height and title from the root element's own attributes
// of an applet's object-file text. Width and height are scaled and rounded
// half to even; the title comes out in lower case.
AppletInfo ParseAppletInfo(std::string_view objectFileText);

// The text with its XML character references ("&#38;", "&#xE9;") and the five
// named ones ("&amp;" ...) replaced by the characters they stand for.
WideString DecodeXmlReferences(std::u16string_view text);

// A title or application name as a single folder name under the
// application-data folder: separators, drive colons and all-dot names cannot
// lead out of it.
WideString SafeFolderName(const WideString& name);
