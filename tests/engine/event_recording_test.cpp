// Recording input into a file and playing it back, with an applet without a
// window whose resource manager is a real folder: the file's form, the queue
// times, one recorded record per pass, the start time (0 included), and
// damaged lines that are logged and passed over.
#include <gtest/gtest.h>

#include "core/objects/wide_strings.h"
#include "core/resources/folder_resource_man.h"
#include "engine/applet/applet.h"
#include "engine/event.h"
#include "platform/input_records.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {
std::vector<std::string>* journal = nullptr;

// The focused object: notes the keys and clicks it gets.
class Target : public VisualObject {
 public:
  bool pointInObject(float, float) override { return true; }
  void keyDown(uint16_t& key, uint16_t& character, uint8_t) override {
    if (journal) journal->push_back("key " + std::to_string(key) + "/" + std::to_string(character));
  }
  void mouseDown(uint8_t button, uint8_t, float x, float y) override {
    if (journal) {
      journal->push_back("down" + std::to_string(button) + " " + std::to_string(static_cast<int>(x)) + "," +
                         std::to_string(static_cast<int>(y)));
    }
  }
};

// The bytes of a wide-string list file: the byte-order mark, then each line
// and CR LF in UTF-16LE.
std::string ListFile(const std::vector<std::u16string>& lines) {
  std::string bytes = "\xFF\xFE";
  for (const std::u16string& line : lines) {
    for (char16_t c : line + u"\r\n") {
      bytes.push_back(static_cast<char>(c & 0xFF));
      bytes.push_back(static_cast<char>(c >> 8));
    }
  }
  return bytes;
}

class EventRecordingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    journal = &notes;
    {
      LogCapture quiet;  // the missing window is logged
      applet = New<Applet>(nullptr);
    }
    auto* manager = New<TFolderResourceMan>(nullptr);
    manager->setRoot(dir.path());
    applet->setResourceManager(manager);
    event = New<Event>(applet);
    applet->removeChild(event);
    event->setApplet(applet);
    target = New<Target>(applet);
    target->setVisualFlags(vfHitTestable | vfFocusable);
    target->focus();
  }
  void TearDown() override {
    event->Free();
    applet->Free();
    journal = nullptr;
  }
  std::vector<std::u16string> savedLines(const std::string& name) {
    TWideStringList* list = New<TWideStringList>(nullptr);
    list->loadFromFile(dir.file(name));
    std::vector<std::u16string> lines;
    for (int i = 0; i < list->getCount(); ++i) lines.push_back(list->get(i));
    list->Free();
    return lines;
  }

  TempDir dir;
  std::vector<std::string> notes;
  Applet* applet = nullptr;
  Event* event = nullptr;
  Target* target = nullptr;
};

using Notes = std::vector<std::string>;
using Lines = std::vector<std::u16string>;

TEST_F(EventRecordingTest, RecordingWithoutInputWritesTheStartTimeAlone) {
  applet->setTime(2.5f);
  LogCapture log;
  event->recordEvent(u"rec.txt");
  EXPECT_TRUE(event->recording());
  event->stop();
  EXPECT_FALSE(event->recording());
  EXPECT_EQ(dir.read("rec.txt"), ListFile({u"2.500000000000000"}));
  EXPECT_EQ(log.messages(), (Notes{"(i) Recording...", "(i) Stop recording..."}));
}

TEST_F(EventRecordingTest, ASecondRecordingReplacesTheFirst) {
  event->recordEvent(u"rec.txt");
  event->queueEvent(TKeyEvent::Create(lekKeyDown, 0, 'a', 0, nullptr));
  event->stop();
  applet->setTime(4.0f);
  event->recordEvent(u"rec.txt");
  event->queueEvent(TKeyEvent::Create(lekKeyUp, 27, 0, 0, nullptr));
  event->stop();
  EXPECT_EQ(savedLines("rec.txt"), (Lines{u"4.000000000000000", u"4.000000000000000:1,27,0,"}));
}

TEST_F(EventRecordingTest, EachQueuedInputAddsItsQueueTimeAndRecordingForm) {
  applet->setTime(1.0f);
  event->recordEvent(u"rec.txt");
  applet->setTime(3.0f);
  event->queueEvent(TKeyEvent::Create(lekKeyDown, 0, 'a', kShiftShift, nullptr));
  applet->setTime(3.5f);
  event->queueEvent(TMouseEvent::Create(lekMouseDown, 1, 10, 20, 0, 0, 8, nullptr));
  event->queueEvent(TMouseEvent::Create(lekMouseMove, 1, 12, -22, 2, -2, 8, nullptr));
  event->queueEvent(TWheelEvent::Create(lekWheel, -1, 0, nullptr));
  event->scheduleAction(target, kScheduleHide, 10);
  applet->setPause(true);
  event->queueEvent(TKeyEvent::Create(lekKeyDown, 0, 'b', 0, nullptr));
  event->queueEvent(TActionEvent::Create(lekWindowAction, nullptr, kActionActivated));
  event->stop();
  EXPECT_EQ(savedLines("rec.txt"), (Lines{u"1.000000000000000", u"3.000000000000000:0,0,97,",
                                         u"3.500000000000000:2,1,10,20,0,0,", u"3.500000000000000:4,1,12,-22,2,-2,",
                                         u"3.500000000000000:5,"}));
}

TEST_F(EventRecordingTest, PlaybackInjectsDueRecordsOnePerPass) {
  dir.write("play.txt", ListFile({u"10.000000000000000", u"10.500000000000000:0,0,97,", u"10.500000000000000:0,0,98,",
                                  u"11.500000000000000:2,1,4,5,0,0,"}));
  LogCapture log;
  event->playEvent(u"play.txt");
  EXPECT_EQ(log.messages(), Notes{"(i) Play..."});
  EXPECT_TRUE(event->playing());
  EXPECT_FLOAT_EQ(applet->time(), 10.0f);
  event->processQueue();
  EXPECT_TRUE(notes.empty());
  applet->setTime(10.5f);
  event->processQueue();  // two are due: one per pass
  EXPECT_EQ(notes, Notes{"key 0/97"});
  event->processQueue();
  EXPECT_EQ(notes, (Notes{"key 0/97", "key 0/98"}));
  event->processQueue();
  EXPECT_EQ(notes.size(), 2u);
  // A pass asks for the next frame while lines wait, so playback goes on in a
  // scene that animates nothing.
  const int32_t frames = applet->updateCounter();
  event->processQueue();
  EXPECT_EQ(applet->updateCounter(), frames + 1);
  applet->setTime(12.0f);
  event->processQueue();
  EXPECT_EQ(notes, (Notes{"key 0/97", "key 0/98", "down1 4,5"}));
  EXPECT_EQ(event->pendingPlaybackLines(), 0);
  // Playing stays on after the last line, until stop; then nothing is asked.
  EXPECT_TRUE(event->playing());
  const int32_t still = applet->updateCounter();
  event->processQueue();
  EXPECT_EQ(applet->updateCounter(), still);
  const std::string played = dir.read("play.txt");
  event->stop();
  EXPECT_FALSE(event->playing());
  EXPECT_EQ(dir.read("play.txt"), played);  // stop without recording writes nothing
}

TEST_F(EventRecordingTest, TheRecordedStartIsAppliedByTheFirstPassAlsoWhenItIsZero) {
  dir.write("zero.txt", ListFile({u"0.000000000000000", u"0.500000000000000:0,0,97,"}));
  event->playEvent(u"zero.txt");
  EXPECT_FLOAT_EQ(applet->time(), 0.0f);
  applet->setTime(7.0f);  // frames passed before the first pass of the queue
  event->processQueue();
  EXPECT_FLOAT_EQ(applet->time(), 0.0f);
  EXPECT_TRUE(notes.empty());  // 0.5 is not yet due
  applet->setTime(0.6f);
  event->processQueue();
  EXPECT_EQ(notes, Notes{"key 0/97"});

  dir.write("later.txt", ListFile({u"20.000000000000000", u"20.250000000000000:0,0,98,"}));
  event->playEvent(u"later.txt");
  applet->setTime(25.0f);
  event->processQueue();
  EXPECT_FLOAT_EQ(applet->time(), 20.0f);
  EXPECT_EQ(notes.size(), 1u);
}

TEST_F(EventRecordingTest, DamagedLinesAreLoggedAndPassedOverAndPlaybackGoesOn) {
  dir.write("bad.txt", ListFile({u"1.0", u"garbage", u"1.0:0,x,", u"abc:0,0,97,", u"nan:0,0,97,", u"1.0:5,",
                                 u"1.0:9,1,2,", u"1.0:2,1,", u"", u"1.0:0,0,98,"}));
  event->playEvent(u"bad.txt");
  applet->setTime(2.0f);
  LogCapture log;
  for (int pass = 0; pass < 8; ++pass) event->processQueue();
  EXPECT_EQ(notes, Notes{});
  event->processQueue();
  EXPECT_EQ(notes, Notes{"key 0/98"});
  EXPECT_EQ(log.messages(),
            (Notes{"(e) Bad recorded event garbage", "(e) 'x' is not a valid integer value in event record \"0,x,\"",
                   "(e) Bad recorded event abc:0,0,97,", "(e) Bad recorded event nan:0,0,97,",
                   "(e) '' is not a valid integer value in event record \"2,1,\"", "(e) Bad recorded event "}));
}

TEST_F(EventRecordingTest, ADamagedStartTimeLeavesTheClockAndPlaysTheRest) {
  dir.write("start.txt", ListFile({u"soon", u"4.000000000000000:0,0,97,"}));
  applet->setTime(3.0f);
  LogCapture log;
  event->playEvent(u"start.txt");
  EXPECT_EQ(log.messages(), (Notes{"(i) Play...", "(e) Bad recording start time soon"}));
  EXPECT_FLOAT_EQ(applet->time(), 3.0f);
  event->processQueue();
  EXPECT_TRUE(notes.empty());
  applet->setTime(4.0f);
  event->processQueue();
  EXPECT_EQ(notes, Notes{"key 0/97"});
}

TEST_F(EventRecordingTest, AMissingOrEmptyFileStartsNoPlayback) {
  LogCapture log;
  event->playEvent(u"missing.txt");
  EXPECT_FALSE(event->playing());
  dir.write("empty.txt", "");
  event->playEvent(u"empty.txt");
  EXPECT_FALSE(event->playing());
  dir.write("nomark.txt", "1.0\r\n1.0:0,0,97,\r\n");  // no byte-order mark: no lines
  event->playEvent(u"nomark.txt");
  EXPECT_FALSE(event->playing());
  EXPECT_EQ(log.messages(), (Notes{"(i) Play...", "(i) Play...", "(i) Play..."}));
}

TEST_F(EventRecordingTest, ARecordingThatCannotBeWrittenIsNotWritten) {
  dir.write("blocker", "a file where the folder would be");
  event->recordEvent(u"blocker\\rec.txt");
  event->queueEvent(TKeyEvent::Create(lekKeyDown, 0, 'a', 0, nullptr));
  event->stop();
  EXPECT_FALSE(event->recording());
  EXPECT_EQ(dir.read("blocker"), "a file where the folder would be");
}
}  // namespace
