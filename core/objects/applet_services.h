#pragma once
// What an object of the tree asks of the applet it belongs to. The object
// core sits below the applet, so it reaches the applet's event queue, script
// engine, cache and resource manager through this interface, which the applet
// layer installs at start-up. Every call names the applet (a BaseObject) the
// object belongs to; without an installed implementation the calls do nothing.
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/text/text.h"

class BaseObject;
class TResourceMan;
class TStream;

class AppletServices {
 public:
  virtual ~AppletServices() = default;

  // Evaluates a handler text with `self` pushed as the script's current object.
  virtual void runHandler(BaseObject* applet, BaseObject* self, const WideString& script) = 0;
  // The same, naming the handler property for the error lines when the text
  // is no longer in it (empty: the property that holds the text).
  virtual void runNamedHandler(BaseObject* applet, BaseObject* self, const WideString& script,
                               std::string_view /*handler*/) {
    runHandler(applet, self, script);
  }
  // Whether the applet keeps the object as one of its services: such an
  // object lives outside the tree and only the applet frees it.
  virtual bool isService(BaseObject* /*applet*/, const BaseObject* /*object*/) { return false; }
  // Frees `object` after `delaySeconds` through the applet's event queue.
  virtual void scheduleFree(BaseObject* applet, BaseObject* object, double delaySeconds) = 0;
  // The applet's script engine learns of and forgets an object.
  virtual bool hasScriptEngine(BaseObject* applet) = 0;
  virtual void exportObject(BaseObject* applet, BaseObject* object) = 0;
  virtual void removeExport(BaseObject* applet, BaseObject* object) = 0;
  // Cache entries for an object's fileName.
  virtual void* acquireFileEntry(BaseObject* applet, const WideString& fileName) = 0;
  virtual void releaseFileEntry(BaseObject* applet, void* entry) = 0;
  virtual void dropFileEntries(BaseObject* applet, const WideString& fileName) = 0;
  virtual TResourceMan* resourceManager(BaseObject* applet) = 0;
  // One pending redraw on the applet.
  virtual void requestUpdate(BaseObject* applet) = 0;
  // The event's search-result list and custom-event text. Appending answers
  // the list's count; a search starts a fresh list.
  virtual int appendSearchResult(BaseObject* applet, BaseObject* found) = 0;
  virtual void clearSearchResults(BaseObject* /*applet*/) {}
  virtual WideString exchangeCustomText(BaseObject* applet, const WideString& text) = 0;
  virtual bool effectInScript(BaseObject* applet) = 0;
  virtual bool isTerminated(BaseObject* applet) = 0;
  // One step of the applet's frame loop; answers the milliseconds to sleep
  // before the next frame is due (0 or less: none).
  virtual int runStep(BaseObject* applet) = 0;
  virtual bool isPaused(BaseObject* applet) = 0;
  // Design tools and storing.
  virtual void showInspector(BaseObject* applet, BaseObject* object) = 0;
  virtual void storeObject(BaseObject* applet, BaseObject* object, const WideString& fileName) = 0;

  // The binary images of object files, shared through the applet's cache by
  // manager and name: a new stream over the image the caller frees, or nil.
  virtual TStream* cachedObjectImage(BaseObject* /*applet*/, TResourceMan* /*manager*/, const WideString& /*name*/) {
    return nullptr;
  }
  virtual void cacheObjectImage(BaseObject* /*applet*/, TResourceMan* /*manager*/, const WideString& /*name*/,
                                const std::vector<uint8_t>& /*image*/) {}
};

AppletServices* GetAppletServices();
void SetAppletServices(AppletServices* services);
