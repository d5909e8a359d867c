// Recording the input that reaches the event queue into a text file, and
// playing such a file back against the applet's clock.
//
// The file is a wide-string list: line 0 holds the applet time at which the
// recording started, every further line "time:record" with the time at which
// the record was queued and the record's recording form.
#include <cmath>
#include <optional>

#include "core/objects/wide_strings.h"
#include "core/resources/resource_man.h"
#include "core/resources/stream.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "engine/applet/applet.h"
#include "engine/event.h"
#include "platform/input_records.h"

namespace {
// A time of the recording form; nothing for text that is no finite number.
std::optional<float> ParseTime(const WideString& text) {
  try {
    const double value = WideStrToFloat(text);
    if (!std::isfinite(value) || std::fabs(value) > 3.0e38) return std::nullopt;
    return static_cast<float>(value);
  } catch (const EConvertError&) {
    return std::nullopt;
  }
}

// A stream of the applet's resource manager, or nil; a manager that refuses
// the file is treated like a missing file.
TStream* OpenRecording(Applet* applet, const WideString& fileName, int32_t mode) {
  if (!applet || !applet->resourceManager()) return nullptr;
  try {
    return applet->resourceManager()->createStream(fileName, mode);
  } catch (const Exception&) {
    return nullptr;
  }
}
}  // namespace

void Event::recordEvent(const WideString& fileName) {
  LogInfo(u"Recording...");
  Applet* applet = owningApplet();
  recording_ = true;
  recordFileName_ = fileName;
  recordLines_->clear();
  recordLines_->add(FloatToWideStr(applet ? applet->time() : 0.0f));
}

void Event::stop() {
  LogInfo(u"Stop recording...");
  if (recording_) {
    if (TStream* out = OpenRecording(owningApplet(), recordFileName_, fmCreate)) {
      recordLines_->saveToStream(*out);
      if (auto* file = dynamic_cast<TFileStream*>(out)) file->Close();
      out->Free();
    }
  }
  recording_ = false;
  playing_ = false;
}

void Event::playEvent(const WideString& fileName) {
  LogInfo(u"Play...");
  Applet* applet = owningApplet();
  TStream* in = OpenRecording(applet, fileName, fmOpenRead);
  if (!in) return;
  recordFileName_ = fileName;
  recordLines_->clear();
  recordLines_->loadFromStream(*in);
  in->Free();
  if (recordLines_->getCount() == 0) return;
  const WideString first = recordLines_->get(0);
  recordLines_->Delete(0);
  if (std::optional<float> start = ParseTime(first)) {
    applet->setTime(*start);
    playbackStart_ = *start;
    playbackPending_ = true;
  } else {
    // Without its start the recording plays against the clock as it stands.
    LogError(u"Bad recording start time " + first);
    playbackStart_ = -1;
    playbackPending_ = false;
  }
  playing_ = true;
  applet->requestRedraw();
}

int Event::pendingPlaybackLines() const { return recordLines_ ? recordLines_->getCount() : 0; }

void Event::applyPlaybackStart(Applet* applet) {
  // Frames may have passed since playEvent: the replay starts at the recorded
  // clock all the same, also when that clock stood at 0.
  if (!playbackPending_) return;
  applet->setTime(playbackStart_);
  playbackStart_ = -1;
  playbackPending_ = false;
}

void Event::playbackStep() {
  Applet* applet = owningApplet();
  if (!applet || recordLines_->getCount() == 0) return;
  applyPlaybackStart(applet);
  const WideString line = recordLines_->get(0);
  const size_t colon = line.find(u':');
  const std::optional<float> at = colon == WideString::npos ? std::nullopt : ParseTime(line.substr(0, colon));
  if (!at) {
    // One damaged line does not end the replay.
    LogError(u"Bad recorded event " + line);
    recordLines_->Delete(0);
    return;
  }
  if (applet->time() < *at) return;
  // A record the recording form does not rebuild (a wheel step) or a damaged
  // one (logged by the reader) is passed over.
  if (TLowEvent* e = EventFromText(line.substr(colon + 1))) queue_.insert(queue_.begin(), e);
  recordLines_->Delete(0);
}
