// The event queue without a window: the order of dispatch, re-entered passes,
// input dropped while paused, scheduled actions and the objects they free,
// key listeners, the parameter stacks and the texts of refused writes.
#include <gtest/gtest.h>

#include <functional>

#include "core/geometry/coordinates.h"
#include "core/objects/step_handler.h"
#include "engine/applet/applet.h"
#include "engine/event.h"
#include "platform/input_records.h"
#include "support/log_capture.h"

namespace {
std::vector<std::string>* journal = nullptr;

void Note(const std::string& what) {
  if (journal) journal->push_back(what);
}

// A rectangle that notes the input routed to it and can act while it gets it.
class Pad : public VisualObject {
 public:
  TRectF area{};
  std::function<void()> onDown;
  std::function<void(uint16_t)> onKey;
  bool pointInObject(float x, float y) override {
    return x >= area.left && x < area.right && y >= area.top && y < area.bottom;
  }
  void mouseDown(uint8_t button, uint8_t, float x, float y) override {
    Note(WideToUtf8(name()) + " down" + std::to_string(button) + " " + std::to_string(static_cast<int>(x)) + "," +
         std::to_string(static_cast<int>(y)));
    if (onDown) onDown();
  }
  void mouseUp(uint8_t, uint8_t, float, float) override { Note(WideToUtf8(name()) + " up"); }
  void mouseMove(uint8_t, float dx, float dy, float x, float y) override {
    Note(WideToUtf8(name()) + " move " + std::to_string(static_cast<int>(x)) + "," +
         std::to_string(static_cast<int>(y)) + " by " + std::to_string(static_cast<int>(dx)) + "," +
         std::to_string(static_cast<int>(dy)));
  }
  void mouseWheel(uint8_t, int32_t delta) override { Note(WideToUtf8(name()) + " wheel " + std::to_string(delta)); }
  void keyDown(uint16_t& key, uint16_t& character, uint8_t) override {
    Note(WideToUtf8(name()) + " key " + std::to_string(key) + "/" + std::to_string(character));
    if (onKey) onKey(key);
    // Listeners get the key by reference: a later one sees the change.
    key = static_cast<uint16_t>(key + 1);
  }
  void keyUp(uint16_t& key, uint16_t&, uint8_t) override { Note(WideToUtf8(name()) + " release " + std::to_string(key)); }
  void markDisposed() override {
    inherited::markDisposed();
    if (freeWhenMarked) Free();
  }
  void Destroy() override {
    Note(WideToUtf8(name()) + " freed");
    inherited::Destroy();
  }
  bool freeWhenMarked = false;
};

// An applet without a window (there is no engine root, so no platform), with
// an event queue of its own as the applet makes it.
class EventQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    journal = &notes;
    {
      LogCapture quiet;  // the missing window is logged
      applet = New<Applet>(nullptr);
    }
    event = New<Event>(applet);
    applet->removeChild(event);
    event->setApplet(applet);
  }
  void TearDown() override {
    if (event) event->Free();
    applet->Free();
    journal = nullptr;
  }
  Pad* pad(const char16_t* name, float l, float t, float r, float b) {
    auto* p = New<Pad>(applet);
    p->SetName(name);
    p->area = MakeRectF(l, t, r, b);
    p->setVisualFlags(vfHitTestable | vfFocusable);
    return p;
  }
  void setDeltaTime(float seconds) {
    SetFloatProp(applet, *applet->classInfo().findProperty("deltaTime"), seconds);
  }
  void down(int x, int y) { event->queueEvent(TMouseEvent::Create(lekMouseDown, 1, x, y, 0, 0, 8, nullptr)); }
  void keyDown(uint16_t key, uint16_t character) {
    event->queueEvent(TKeyEvent::Create(lekKeyDown, key, character, 0, nullptr));
  }

  std::vector<std::string> notes;
  Applet* applet = nullptr;
  Event* event = nullptr;
};

using Notes = std::vector<std::string>;

TEST_F(EventQueueTest, OldestRecordsGoFirstAndHandledOnesLeaveTheQueue) {
  pad(u"a", 0, 0, 10, 10);
  pad(u"b", 20, 0, 30, 10);
  down(5, 5);
  down(25, 5);
  event->queueEvent(TMouseEvent::Create(lekMouseUp, 1, 25, 5, 0, 0, 8, nullptr));
  EXPECT_EQ(event->queuedCount(), 3);
  EXPECT_EQ(event->queue().front()->kind, lekMouseUp);  // newest at index 0
  event->processQueue();
  EXPECT_EQ(notes, (Notes{"a down1 5,5", "b down1 25,5", "b up"}));
  EXPECT_EQ(event->queuedCount(), 0);
}

TEST_F(EventQueueTest, QueueingAsksTheAppletForAFrame) {
  const int32_t before = applet->updateCounter();
  down(1, 1);
  EXPECT_EQ(applet->updateCounter(), before + 1);
  event->queueEvent(TActionEvent::Create(lekWindowAction, nullptr, kActionActivated));
  EXPECT_EQ(applet->updateCounter(), before + 2);
}

TEST_F(EventQueueTest, ANestedPassDispatchesTheRestAndNeverTheRecordInHand) {
  Pad* a = pad(u"a", 0, 0, 10, 10);
  pad(u"b", 20, 0, 30, 10);
  int nested = 0;
  a->onDown = [&] {
    // A modal wait inside the handler runs frames that process the queue.
    ++nested;
    event->processQueue();
  };
  down(5, 5);
  down(25, 5);
  down(26, 6);
  event->processQueue();
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(notes, (Notes{"a down1 5,5", "b down1 25,5", "b down1 26,6"}));
  EXPECT_EQ(event->queuedCount(), 0);
}

TEST_F(EventQueueTest, RecordsQueuedDuringADispatchAreReachedByTheSameWalk) {
  Pad* a = pad(u"a", 0, 0, 10, 10);
  pad(u"b", 20, 0, 30, 10);
  a->onDown = [&] {
    down(25, 5);
    down(26, 6);
  };
  down(5, 5);
  down(7, 7);
  event->processQueue();
  // The walk goes on from the record in hand and meets the new ones last.
  EXPECT_EQ(notes, (Notes{"a down1 5,5", "a down1 7,7", "b down1 25,5", "b down1 26,6", "b down1 25,5", "b down1 26,6"}));
  EXPECT_EQ(event->queuedCount(), 0);
}

TEST_F(EventQueueTest, InputWhilePausedIsDroppedButActionsAndWaitsGoOn) {
  pad(u"a", 0, 0, 10, 10);
  applet->setPause(true);
  down(5, 5);
  keyDown(65, 0);
  event->queueEvent(TWheelEvent::Create(lekWheel, 1, 0, nullptr));
  event->queueEvent(TMouseEvent::Create(lekMouseMove, 1, 5, 5, 1, 1, 0, nullptr));
  EXPECT_EQ(event->queuedCount(), 0);
  event->queueEvent(TActionEvent::Create(lekWindowAction, nullptr, kActionActivated));
  auto* hidden = pad(u"h", 50, 50, 60, 60);
  event->scheduleAction(hidden, kScheduleHide, 0);
  EXPECT_EQ(event->queuedCount(), 2);
  setDeltaTime(0.01f);
  LogCapture log;
  event->processQueue();
  EXPECT_FALSE(applet->paused());  // activation resumes, with a frame time of 0
  EXPECT_TRUE(hidden->visible());
  setDeltaTime(0.01f);
  event->processQueue();
  EXPECT_FALSE(hidden->visible());
  EXPECT_TRUE(notes.empty());
  EXPECT_EQ(log.messages(), (Notes{"(i) activate", "(i) activated"}));
}

TEST_F(EventQueueTest, ScheduledActionsCountTheAppletsFrameTimeAndKeepTheFirstDelay) {
  Pad* p = pad(u"p", 0, 0, 1, 1);
  event->scheduleAction(p, kScheduleHide, 0.25f);
  event->scheduleAction(p, kScheduleHide, 0.0f);  // the same action again: the first delay stays
  event->scheduleAction(p, kScheduleShow, 5.0f);  // another action is queued of its own
  EXPECT_EQ(event->queuedCount(), 2);
  setDeltaTime(0.1f);
  // While actions wait, each pass asks for the next frame, so that a scene
  // that animates nothing still counts them down.
  const int32_t frames = applet->updateCounter();
  event->processQueue();
  EXPECT_EQ(applet->updateCounter(), frames + 1);
  event->processQueue();
  EXPECT_TRUE(p->visible());
  event->processQueue();  // 0.3 > 0.25
  EXPECT_FALSE(p->visible());
  EXPECT_EQ(event->queuedCount(), 1);
  setDeltaTime(5.0f);
  event->processQueue();
  EXPECT_TRUE(p->visible());
  EXPECT_EQ(event->queuedCount(), 0);
  const int32_t still = applet->updateCounter();
  event->processQueue();
  EXPECT_EQ(applet->updateCounter(), still);  // nothing waits: no more frames asked
}

TEST_F(EventQueueTest, AScheduledFreeFreesTheTargetAndItsOtherActionsOnce) {
  Pad* p = pad(u"p", 0, 0, 1, 1);
  event->scheduleAction(p, kScheduleFree, 0);
  event->scheduleAction(p, kScheduleShow, 10);
  setDeltaTime(0.01f);
  event->processQueue();
  EXPECT_EQ(notes, Notes{"p freed"});
  EXPECT_EQ(event->queuedCount(), 0);  // the show went with its target
  EXPECT_EQ(applet->count(), 0);
}

TEST_F(EventQueueTest, ATargetGoneWhileMarkedEndsItsRecordWithoutUsingIt) {
  // Marking for disposal runs onDestroy handlers, which may free the object
  // there and then: the record in dispatch must not be freed by the removal
  // and must not touch the object afterwards.
  Pad* p = pad(u"p", 0, 0, 1, 1);
  p->freeWhenMarked = true;
  event->scheduleAction(p, kScheduleFree, 0);
  setDeltaTime(0.01f);
  event->processQueue();
  EXPECT_EQ(notes, Notes{"p freed"});
  EXPECT_EQ(event->queuedCount(), 0);
}

TEST_F(EventQueueTest, ANestedPassDuringAScheduledFreeLeavesTheRecordInHandAlone) {
  struct Nested : Pad {
    Event* queue = nullptr;
    void Destroy() override {
      queue->processQueue();  // e.g. a handler that waits for frames
      Pad::Destroy();
    }
  };
  auto* n = New<Nested>(applet);
  n->SetName(u"n");
  n->queue = event;
  Pad* other = pad(u"o", 0, 0, 1, 1);
  event->scheduleAction(n, kScheduleFree, 0);
  event->scheduleAction(other, kScheduleHide, 0);
  setDeltaTime(0.01f);
  event->processQueue();
  EXPECT_EQ(notes, Notes{"n freed"});
  EXPECT_FALSE(other->visible());
  EXPECT_EQ(event->queuedCount(), 0);
}

TEST_F(EventQueueTest, AScheduledFreeOfTheAppletTerminatesItAndOfTheQueueDoesNothing) {
  event->scheduleAction(applet, kScheduleFree, 0);
  event->scheduleAction(event, kScheduleFree, 0);
  setDeltaTime(0.01f);
  event->processQueue();
  EXPECT_TRUE(applet->terminated());
  EXPECT_EQ(event->queuedCount(), 0);
}

TEST_F(EventQueueTest, RemovingAnObjectDropsItsWaitingActionsOnly) {
  Pad* p = pad(u"p", 0, 0, 1, 1);
  Pad* q = pad(u"q", 0, 0, 1, 1);
  event->scheduleAction(p, kScheduleHide, 5);
  event->scheduleAction(q, kScheduleHide, 5);
  event->scheduleAction(p, kScheduleShow, 5);
  p->Free();
  ASSERT_EQ(event->queuedCount(), 1);
  EXPECT_EQ(event->queue()[0]->asScheduleAction()->target, q);
}

TEST_F(EventQueueTest, KeyDownGoesToListenersInOrderThenTheFocusedObject) {
  Pad* focused = pad(u"focused", 0, 0, 1, 1);
  Pad* first = pad(u"first", 0, 0, 1, 1);
  Pad* second = pad(u"second", 0, 0, 1, 1);
  focused->focus();
  event->addKeyListener(first);
  event->addKeyListener(second);
  event->addKeyListener(first);  // once only
  keyDown(65, 0);
  event->processQueue();
  // Each one sees the key as the one before left it (by reference).
  EXPECT_EQ(notes, (Notes{"first key 65/0", "second key 66/0", "focused key 67/0"}));
  EXPECT_TRUE(event->isKeyDown(65));
  EXPECT_FALSE(event->isKeyDown(66));
  notes.clear();
  event->queueEvent(TKeyEvent::Create(lekKeyUp, 65, 0, 0, nullptr));
  event->processQueue();
  EXPECT_EQ(notes, (Notes{"first release 65", "second release 65", "focused release 65"}));
  EXPECT_FALSE(event->isKeyDown(65));
  EXPECT_EQ(event->paramKey(), 65u);
}

TEST_F(EventQueueTest, AListenerRemovedOrFreedByAnEarlierOneIsPassedOver) {
  Pad* first = pad(u"first", 0, 0, 1, 1);
  Pad* second = pad(u"second", 0, 0, 1, 1);
  Pad* third = pad(u"third", 0, 0, 1, 1);
  event->addKeyListener(first);
  event->addKeyListener(second);
  event->addKeyListener(third);
  first->onKey = [&](uint16_t) {
    event->removeKeyListener(second);
    third->Free();
  };
  keyDown(0, 'x');
  event->processQueue();
  EXPECT_EQ(notes, (Notes{"first key 0/120", "third freed"}));
}

TEST_F(EventQueueTest, TheConsoleKeyReachesNoListenerAndEscapeCancelsTheModalWait) {
  Pad* focused = pad(u"focused", 0, 0, 1, 1);
  focused->focus();
  event->addKeyListener(focused);
  keyDown(0, 96);  // the grave accent
  event->processQueue();
  EXPECT_TRUE(notes.empty());
  EXPECT_EQ(event->queuedCount(), 0);
  EXPECT_FALSE(event->isKeyDown(96));
  // Escape with nothing modal only goes on to the listeners and the tree.
  LogCapture log;
  keyDown(27, 0);
  event->processQueue();
  EXPECT_EQ(notes, (Notes{"focused key 27/0", "focused key 28/0"}));
  EXPECT_TRUE(log.lines().empty());
}

TEST_F(EventQueueTest, MovesCarryScaledDeltasAndLeavingTheWindowClearsTheHotObject) {
  Pad* p = pad(u"p", 0, 0, 10, 10);
  p->setHotTrack(true);
  event->queueEvent(TMouseEvent::Create(lekMouseMove, 1, 5, 6, 3, -2, 0, nullptr));
  event->processQueue();
  EXPECT_EQ(applet->hotObject(), p);
  EXPECT_FLOAT_EQ(event->paramDeltaValue().x, 3);
  EXPECT_FLOAT_EQ(event->paramDeltaValue().y, -2);
  event->queueEvent(TMouseEvent::Create(lekMouseMove, 1, 65535, 65535, 0, 0, 0, nullptr));
  event->processQueue();
  EXPECT_EQ(applet->hotObject(), nullptr);
  EXPECT_FLOAT_EQ(event->paramPointValue().x, 0);
  EXPECT_FLOAT_EQ(event->paramDeltaValue().y, 0);
  EXPECT_EQ(notes, (Notes{"p move 5,6 by 3,-2"}));
}

TEST_F(EventQueueTest, TheWheelGoesToTheFocusedObjectUnlessPaused) {
  Pad* p = pad(u"p", 0, 0, 10, 10);
  p->focus();
  event->queueEvent(TWheelEvent::Create(lekWheel, -2, 0, nullptr));
  event->processQueue();
  EXPECT_EQ(notes, Notes{"p wheel -2"});
  EXPECT_FLOAT_EQ(event->paramDeltaValue().x, -2);
  EXPECT_FLOAT_EQ(event->paramDeltaValue().y, -2);
  // Queued before the pause, dispatched during it: nothing happens.
  event->queueEvent(TWheelEvent::Create(lekWheel, 3, 0, nullptr));
  event->queueEvent(TMouseEvent::Create(lekMouseUp, 1, 5, 5, 0, 0, 8, nullptr));
  applet->setPause(true);
  event->processQueue();
  EXPECT_EQ(notes, Notes{"p wheel -2"});
  EXPECT_EQ(event->queuedCount(), 0);
}

TEST_F(EventQueueTest, ParameterStacksLogBrokenPopsAndKeepTheirDepthWhenObjectsGo) {
  Pad* a = pad(u"a", 0, 0, 1, 1);
  Pad* b = pad(u"b", 0, 0, 1, 1);
  LogCapture log;
  event->popParamObject();
  event->popThis();
  EXPECT_EQ(log.messages(), (Notes{"(e) Broken PopXXX call for ParamObject", "(e) Broken PopXXX call for This"}));
  event->pushThis(a);
  event->pushThis(b);
  event->pushParamObject(b);
  EXPECT_EQ(event->paramThis(), b);
  b->Free();
  // The freed object's places stay, empty, so that the pops still match.
  EXPECT_EQ(event->paramThis(), nullptr);
  EXPECT_EQ(event->paramObject(), nullptr);
  event->popThis();
  EXPECT_EQ(event->paramThis(), a);
  event->popParamObject();
  EXPECT_EQ(log.lines().size(), 2u);
  event->appendParam(a);
  EXPECT_EQ(event->paramListCount(), 1);
  EXPECT_EQ(event->paramList(0), a);
  EXPECT_EQ(event->paramList(1), nullptr);
  EXPECT_EQ(event->paramList(-1), nullptr);
}

TEST_F(EventQueueTest, ScriptWritesOfReadOnlyParametersAreRefusedWithTheirTexts) {
  Pad* a = pad(u"a", 0, 0, 1, 1);
  const ClassInfo& info = event->classInfo();
  LogCapture log;
  SetPropVariant(event, *info.findProperty("paramObject"), Variant(static_cast<TObject*>(a)));
  SetPropVariant(event, *info.findProperty("paramThis"), Variant(static_cast<TObject*>(a)));
  SetPropVariant(event, *info.findProperty("paramPoint"), Variant(static_cast<TObject*>(nullptr)));
  SetPropVariant(event, *info.findProperty("paramDelta"), Variant(static_cast<TObject*>(nullptr)));
  EXPECT_EQ(log.messages(), (Notes{"(e) Incorrect setting ParamObject", "(e) Incorrect setting This",
                                   "(e) Incorrect setting ParamPoint", "(e) Incorrect setting ParamPoint"}));
  EXPECT_EQ(event->paramObject(), nullptr);
  EXPECT_EQ(event->paramThis(), nullptr);
}

TEST_F(EventQueueTest, ALentCoordinateIsShownUntilItsOwnerGoes) {
  Pad* a = pad(u"a", 0, 0, 1, 1);
  TSpaceCoord* own = event->paramNormal();
  auto* lent = New<TSpaceCoord>(a);
  event->setParamNormal(lent);
  event->setParamPosition(lent);
  EXPECT_EQ(event->paramNormal(), lent);
  a->Free();
  EXPECT_EQ(event->paramNormal(), own);
  EXPECT_NE(event->paramPosition(), nullptr);
  EXPECT_NE(event->paramPosition(), lent);
  lent->Free();
  // Assigning nothing shows the event's own coordinate again.
  auto* other = New<TSpaceCoord>(nullptr);
  event->setParamNormal(other);
  event->setParamNormal(nullptr);
  EXPECT_EQ(event->paramNormal(), own);
  other->Free();
}

TEST_F(EventQueueTest, AWaitForEventsEndsOnAKeyEvenWhilePausedOrWhenTheAppletEnds) {
  int steps = 0;
  StepHandler() = [&](BaseObject* stepped) {
    EXPECT_EQ(stepped, applet);
    ++steps;
    if (steps == 2) applet->setPause(true);
    if (steps == 3) keyDown(0, 'k');  // dropped while paused, but it ends the wait
  };
  event->waitForEvents();
  EXPECT_EQ(steps, 3);
  EXPECT_EQ(event->queuedCount(), 0);
  applet->setPause(false);
  steps = 0;
  StepHandler() = [&](BaseObject*) {
    // A move or a button release does not end it; the applet's end does.
    if (++steps == 1) event->queueEvent(TMouseEvent::Create(lekMouseMove, 1, 1, 1, 1, 1, 0, nullptr));
    if (steps == 2) event->queueEvent(TMouseEvent::Create(lekMouseUp, 1, 1, 1, 0, 0, 8, nullptr));
    if (steps == 4) applet->terminate();
  };
  event->waitForEvents();
  EXPECT_EQ(steps, 4);
  StepHandler() = nullptr;
}
}  // namespace
