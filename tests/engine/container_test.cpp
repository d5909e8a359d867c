// Input routing in containers of visual objects: hits, capture, focus, hot
// tracking, modal stacks, and routes that never lead to freed objects.
#include <gtest/gtest.h>

#include "core/objects/step_handler.h"
#include "engine/container.h"
#include "support/log_capture.h"

namespace {
std::vector<std::string>* journal = nullptr;

void Note(const VisualObject* o, const std::string& what) {
  if (journal) journal->push_back(WideToUtf8(o->name()) + ":" + what);
}

// A rectangle that notes every input it gets.
class Box : public VisualObject {
 public:
  TRectF area{};
  bool pointInObject(float x, float y) override {
    return x >= area.left && x < area.right && y >= area.top && y < area.bottom;
  }
  void mouseDown(uint8_t, uint8_t, float x, float y) override {
    Note(this, "down " + std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)));
  }
  void mouseUp(uint8_t, uint8_t, float, float) override { Note(this, "up"); }
  void mouseMove(uint8_t, float dx, float dy, float, float) override {
    Note(this, "move " + std::to_string(static_cast<int>(dx)) + "," + std::to_string(static_cast<int>(dy)));
  }
  void mouseEnter() override { Note(this, "enter"); }
  void mouseLeave() override { Note(this, "leave"); }
  void focusGained() override { Note(this, "focus"); }
  void focusLost() override { Note(this, "blur"); }
  void keyDown(uint16_t& key, uint16_t&, uint8_t) override { Note(this, "key " + std::to_string(key)); }
};

class ContainerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    journal = &notes;
    root = New<Container>();
    root->SetName(u"root");
  }
  void TearDown() override {
    if (root) root->Free();
    journal = nullptr;
    StepHandler() = nullptr;
  }
  Box* box(BaseObject* parent, const char16_t* name, float l, float t, float r, float b) {
    auto* o = New<Box>(parent);
    o->SetName(name);
    o->area = MakeRectF(l, t, r, b);
    o->setVisualFlags(vfHitTestable | vfFocusable);
    o->setHotTrack(true);
    return o;
  }
  std::vector<std::string> notes;
  Container* root = nullptr;
};

TEST_F(ContainerTest, ClickReachesTheTopmostHitObject) {
  box(root, u"back", 0, 0, 100, 100);
  box(root, u"front", 50, 50, 150, 150);
  root->mouseDown(1, 0, 60, 60);
  root->mouseDown(1, 0, 10, 10);
  root->mouseDown(1, 0, 500, 500);  // nothing there
  EXPECT_EQ(notes, (std::vector<std::string>{"front:down 60,60", "back:down 10,10"}));
}

TEST_F(ContainerTest, ATransparentHitDoesNotHideTheSiblingBelow) {
  box(root, u"back", 0, 0, 100, 100);
  Box* glass = box(root, u"glass", 0, 0, 100, 100);
  glass->setTransparent(true);
  root->mouseDown(1, 0, 5, 5);
  EXPECT_EQ(notes, std::vector<std::string>{"back:down 5,5"});
}

TEST_F(ContainerTest, HotTrackingRunsEnterAndLeave) {
  box(root, u"a", 0, 0, 10, 10);
  box(root, u"b", 20, 0, 30, 10);
  root->mouseMove(0, 1, 2, 5, 5);
  root->mouseMove(0, 3, 4, 25, 5);
  root->mouseMove(0, 0, 0, 50, 50);
  EXPECT_EQ(notes, (std::vector<std::string>{"a:enter", "a:move 1,2", "a:leave", "b:enter", "b:move 3,4", "b:leave"}));
  EXPECT_EQ(root->hotObject(), nullptr);
}

TEST_F(ContainerTest, CapturedObjectGetsMovesAndReleasesEverywhere) {
  Box* a = box(root, u"a", 0, 0, 10, 10);
  box(root, u"b", 20, 0, 30, 10);
  a->capture();
  root->mouseMove(0, 7, 0, 25, 5);
  root->mouseUp(1, 0, 25, 5);
  EXPECT_EQ(notes, (std::vector<std::string>{"a:move 7,0", "a:up"}));
  a->releaseCapture();
  EXPECT_EQ(root->capturedObject(), nullptr);
}

TEST_F(ContainerTest, RepeatedCaptureHandsBackToTheRealPreviousHolder) {
  Box* a = box(root, u"a", 0, 0, 10, 10);
  Box* b = box(root, u"b", 20, 0, 30, 10);
  a->capture();
  b->capture();
  b->capture();  // again: must not make itself its own previous holder
  b->releaseCapture();
  EXPECT_EQ(root->capturedObject(), a);
  a->releaseCapture();
  EXPECT_EQ(root->capturedObject(), nullptr);
}

TEST_F(ContainerTest, FocusMovesAndKeysGoToTheFocusedObject) {
  Box* a = box(root, u"a", 0, 0, 10, 10);
  Box* b = box(root, u"b", 20, 0, 30, 10);
  a->focus();
  b->focus();
  uint16_t key = 65, character = 0;
  root->keyDown(key, character, 0);
  EXPECT_EQ(notes, (std::vector<std::string>{"a:focus", "a:blur", "b:focus", "b:key 65"}));
  EXPECT_TRUE(b->focused());
  EXPECT_FALSE(a->focused());
  // An object that cannot take focus does not.
  Box* c = box(root, u"c", 40, 0, 50, 10);
  c->setVisualFlags(vfHitTestable);
  c->focus();
  EXPECT_EQ(root->focusedObject(), nullptr);
}

TEST_F(ContainerTest, ModalObjectBlocksClicksOutsideAndCancelAnswersItsResult) {
  box(root, u"outside", 0, 0, 10, 10);
  Box* dialog = box(root, u"dialog", 100, 100, 200, 200);
  int steps = 0;
  StepHandler() = [&](BaseObject*) {
    ++steps;
    root->mouseDown(1, 0, 5, 5);      // outside the dialog: reaches nothing
    root->mouseDown(1, 0, 150, 150);  // inside: reaches the dialog
    EXPECT_EQ(root->enterModal(dialog), 4);  // already on the stack
    root->cancelModal(3);
  };
  LogCapture log;
  EXPECT_EQ(root->enterModal(dialog), 3);
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(notes, std::vector<std::string>{"dialog:down 150,150"});
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(i) ~cancel modal 3"});
  EXPECT_TRUE(root->modalStack().empty());
}

// Only an object inside the container can hold its input: null, the container
// itself or an object elsewhere would leave the mouse search with nothing or
// send it round in a circle. Refused at once, input goes on as before.
TEST_F(ContainerTest, ModalIsRefusedToObjectsOutsideTheContainer) {
  Box* inside = box(root, u"inside", 0, 0, 10, 10);
  auto* elsewhere = New<Container>();
  elsewhere->SetName(u"elsewhere");
  int steps = 0;
  StepHandler() = [&](BaseObject*) { ++steps; };
  LogCapture log;
  EXPECT_EQ(root->enterModal(nullptr), 0);
  EXPECT_EQ(root->enterModal(root), 0);
  EXPECT_EQ(root->enterModal(elsewhere), 0);
  EXPECT_EQ(steps, 0);
  EXPECT_EQ(log.messages(), (std::vector<std::string>{"(e) enterModal refused: null is not inside root",
                                                      "(e) enterModal refused: root is not inside root",
                                                      "(e) enterModal refused: elsewhere is not inside root"}));
  root->mouseMove(0, 0, 0, 5, 5);
  root->cancelModal(2);
  EXPECT_EQ(notes, (std::vector<std::string>{"inside:enter", "inside:move 0,0"}));

  // A modal object moved out and the container moved under it: the search
  // for the object under the mouse comes back here and ends there.
  root->moveTo(elsewhere);
  StepHandler() = [&](BaseObject*) {
    inside->moveTo(elsewhere);
    root->moveTo(inside);
    EXPECT_EQ(root->objectAt(5, 5), inside);
    root->cancelModal(1);
  };
  EXPECT_EQ(root->enterModal(inside), 1);
  root = nullptr;  // freed with `elsewhere`
  elsewhere->Free();
}

TEST_F(ContainerTest, CancelOnAnEmptyStackDoesNothing) {
  LogCapture log;
  root->cancelModal(2);
  EXPECT_TRUE(log.lines().empty());
  EXPECT_EQ(root->modalResult(), 0);
}

TEST_F(ContainerTest, AFreedObjectLeavesNoRouteBehind) {
  Box* a = box(root, u"a", 0, 0, 10, 10);
  a->focus();
  root->mouseMove(0, 0, 0, 5, 5);
  a->capture();
  ASSERT_EQ(root->hotObject(), a);
  a->Free();  // focused, hot and captured at once
  EXPECT_EQ(root->focusedObject(), nullptr);
  EXPECT_EQ(root->hotObject(), nullptr);
  EXPECT_EQ(root->capturedObject(), nullptr);
  root->mouseMove(0, 0, 0, 5, 5);  // runs clean under AddressSanitizer
  root->mouseUp(1, 0, 5, 5);
  uint16_t key = 1, character = 0;
  root->keyDown(key, character, 0);
}

TEST_F(ContainerTest, CulledOrHiddenParentsHideTheirChildrenFromHits) {
  Box* panel = box(root, u"panel", 0, 0, 100, 100);
  box(panel, u"button", 10, 10, 20, 20);
  root->mouseDown(1, 0, 15, 15);
  panel->hide();
  root->mouseDown(1, 0, 15, 15);
  EXPECT_EQ(notes, std::vector<std::string>{"button:down 15,15"});
  EXPECT_FALSE(panel->isVisible());
}

TEST_F(ContainerTest, AlphaReachesTheWholeSubtree) {
  Box* panel = box(root, u"panel", 0, 0, 100, 100);
  Box* inner = box(panel, u"inner", 0, 0, 1, 1);
  Box* deep = box(inner, u"deep", 0, 0, 1, 1);
  panel->setAlpha(0.5f);
  EXPECT_EQ(inner->alpha(), 0.5f);
  EXPECT_EQ(deep->alpha(), 0.5f);
  Box* late = box(panel, u"late", 0, 0, 1, 1);
  EXPECT_EQ(late->alpha(), 0.5f);  // a new child takes a translucent parent's alpha
}
}  // namespace
