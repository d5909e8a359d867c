#include "core/fake_applet_helpers.h"

#include <memory>

TestApplet::TestApplet() : previous_(GetAppletServices()) { SetAppletServices(this); }

TestApplet::~TestApplet() { SetAppletServices(previous_); }

void TestApplet::scheduleFree(BaseObject*, BaseObject* object, double delay) {
  freeRequests.emplace_back(object, delay);
}

void* TestApplet::acquireFileEntry(BaseObject*, const WideString& fileName) {
  acquired.push_back(fileName);
  entryTokens_.push_back(std::make_unique<int>(static_cast<int>(entryTokens_.size())));
  void* entry = entryTokens_.back().get();
  entries[entry] = fileName;
  return entry;
}

void TestApplet::releaseFileEntry(BaseObject*, void* entry) { released.push_back(entry); }
