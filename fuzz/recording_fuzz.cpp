// Event recordings: arbitrary bytes as a recording file played back into an
// applet (without a window) through its folder resource manager. Every line
// must be consumed, one a pass, without a crash, and the queue must end empty:
// every record that playback injects is one the dispatcher handles.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/resources/folder_resource_man.h"
#include "core/system/log.h"
#include "engine/applet/applet.h"
#include "engine/event.h"

namespace {
struct PlaybackRig {
  std::string folder;
  Applet* applet = nullptr;
  Event* event = nullptr;
  VisualObject* focused = nullptr;

  PlaybackRig() {
    LogHandler() = [](const WideString&) {};
    std::string pattern = (std::filesystem::temp_directory_path() / "qfuzz-recording-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    folder = pattern + "/";
    applet = New<Applet>(nullptr);
    auto* manager = New<TFolderResourceMan>(nullptr);
    manager->setRoot(folder);
    applet->setResourceManager(manager);
    event = New<Event>(applet);
    applet->removeChild(event);
    event->setApplet(applet);
    // Keys have somewhere to go; clicks reach the applet's routing.
    focused = New<VisualObject>(applet);
    focused->setVisualFlags(vfHitTestable | vfFocusable);
    focused->focus();
  }
  ~PlaybackRig() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  void play(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen((folder + "rec.txt").c_str(), "wb");
    if (!file) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
    event->playEvent(u"rec.txt");
    // The first pass applies the recorded start; from then on every line is
    // due, so each pass must take exactly one.
    event->processQueue();
    applet->setTime(3.0e38f);
    int left = event->pendingPlaybackLines();
    while (left > 0) {
      event->processQueue();
      const int now = event->pendingPlaybackLines();
      if (now != left - 1) std::abort();
      left = now;
    }
    if (event->queuedCount() != 0) std::abort();
    event->stop();
    applet->setTime(0);
  }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static PlaybackRig rig;
  rig.play(data, size);
  return 0;
}
