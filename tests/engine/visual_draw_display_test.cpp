// The frame walk through a real applet and device: which objects are drawn and
// counted, in which order, and what hidden parents keep back.
#include <gtest/gtest.h>

#include "core/objects/class_registry.h"
#include "core/objects/engine.h"
#include "engine/applet/applet.h"
#include "engine/registration.h"
#include "support/temp_dir.h"

namespace {
std::vector<std::string>* drawn = nullptr;

class Paint : public VisualObject {
  Q_OBJECT(Paint, VisualObject)
 public:
  void drawSelf() override {
    if (drawn) drawn->push_back(WideToUtf8(name()));
  }
};
}  // namespace

const ClassInfo& Paint::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<Paint>("Paint").build();
  return info;
}

namespace {
class VisualDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterAllClasses();
    RegisterClass(Paint::staticClassInfo());
    drawn = &order;
    engine = New<SomeEngine>(nullptr);
  }
  void TearDown() override {
    engine->Free();
    drawn = nullptr;
  }
  Applet* load(const std::string& body) {
    dir.write("main.qxml", "<?xml version=\"1.0\"?>\r\n<Applet width=\"64\" height=\"48\" title=\"draw\">\r\n" + body +
                               "</Applet>\r\n");
    return dynamic_cast<Applet*>(engine->loadApplet(dir.file("main.qxml")));
  }
  void frame(Applet* applet) {
    order.clear();
    applet->requestRedraw();
    applet->tick(applet->time() + 0.02, 0.02);
  }
  TempDir dir;
  SomeEngine* engine = nullptr;
  std::vector<std::string> order;
};

TEST_F(VisualDrawTest, VisibleObjectsDrawInTreeOrderAndAreCounted) {
  Applet* applet = load(
      "  <Paint name=\"a\">\r\n    <Paint name=\"a1\"/>\r\n  </Paint>\r\n"
      "  <Paint name=\"b\" visible=\"False\">\r\n    <Paint name=\"b1\"/>\r\n  </Paint>\r\n"
      "  <Paint name=\"c\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  ASSERT_NE(applet->device(), nullptr);
  frame(applet);
  EXPECT_EQ(order, (std::vector<std::string>{"a", "a1", "c"}));
  // The applet itself, a, a1, c, the top layer and its three particle
  // renderers; a hidden object and its subtree (the cursor under the
  // system's own) are not walked.
  EXPECT_EQ(applet->visibleCount(), 8);
  EXPECT_EQ(applet->invisibleCount(), 0);
  dynamic_cast<VisualObject*>(applet->findByName(u"b"))->show();
  frame(applet);
  EXPECT_EQ(order, (std::vector<std::string>{"a", "a1", "b", "b1", "c"}));
}

TEST_F(VisualDrawTest, NoFrameRunsWithoutARequestedUpdate) {
  Applet* applet = load("  <Paint name=\"a\"/>\r\n");
  ASSERT_NE(applet, nullptr);
  frame(applet);
  order.clear();
  applet->tick(applet->time() + 0.02, 0.02);  // nobody asked for an update
  EXPECT_TRUE(order.empty());
}
}  // namespace
