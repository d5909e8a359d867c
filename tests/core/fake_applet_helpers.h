#pragma once
// Stands in for the applet layer in tests of the object core: records what
// the objects ask of their applet, and lets a test say whether the applet is
// paused or terminated and what a cache entry is.
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "core/objects/applet_services.h"
#include "core/objects/base_object.h"

class TestApplet : public AppletServices {
 public:
  // Installs itself for the life of the object; the previous services come back after.
  TestApplet();
  ~TestApplet() override;
  TestApplet(const TestApplet&) = delete;
  TestApplet& operator=(const TestApplet&) = delete;

  bool paused = false;
  bool terminated = false;
  bool effectsInScript = false;
  int updates = 0;
  std::vector<std::pair<BaseObject*, double>> freeRequests;
  std::vector<WideString> acquired;  // file names, in order
  std::vector<void*> released;       // entries, in order
  // The entry handed out for a file name; each acquisition gets a new one.
  std::map<void*, WideString> entries;

  void runHandler(BaseObject*, BaseObject*, const WideString&) override {}
  void scheduleFree(BaseObject*, BaseObject* object, double delay) override;
  bool hasScriptEngine(BaseObject*) override { return true; }
  void exportObject(BaseObject*, BaseObject*) override {}
  void removeExport(BaseObject*, BaseObject*) override {}
  void* acquireFileEntry(BaseObject*, const WideString& fileName) override;
  void releaseFileEntry(BaseObject*, void* entry) override;
  void dropFileEntries(BaseObject*, const WideString&) override {}
  TResourceMan* resourceManager(BaseObject*) override { return nullptr; }
  void requestUpdate(BaseObject*) override { ++updates; }
  int appendSearchResult(BaseObject*, BaseObject*) override { return 0; }
  WideString exchangeCustomText(BaseObject*, const WideString& text) override { return text; }
  bool effectInScript(BaseObject*) override { return effectsInScript; }
  bool isTerminated(BaseObject*) override { return terminated; }
  int runStep(BaseObject*) override { return 0; }
  bool isPaused(BaseObject*) override { return paused; }
  void showInspector(BaseObject*, BaseObject*) override {}
  void storeObject(BaseObject*, BaseObject*, const WideString&) override {}

 private:
  AppletServices* previous_;
  std::vector<std::unique_ptr<int>> entryTokens_;
};
