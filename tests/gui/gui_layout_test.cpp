// The alignment layout of GUI holders: where each alignment places a child
// inside its parent, in which order the passes take the free room, how corner
// anchors follow a parent that grows, and what a layout skips.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/objects/class_info.h"
#include "core/resources/stream.h"
#include "core/streams/object_file.h"
#include "core/streams/object_xml.h"
#include "gui/gui_object.h"
#include "gui/gui_registration.h"

namespace {
struct Child {
  TGuiAlign align;
  float width, height;
  float x = 0, y = 0;
  bool visible = true;
};

struct LayoutCase {
  std::string what;
  float parentWidth, parentHeight;
  std::vector<Child> children;
  float widenedTo;  // the parent's width afterwards (the same: no change)
  std::vector<TRectF> expected;
};

GuiObject* MakeChild(GuiObject* parent, const Child& c) {
  auto* child = New<GuiObject>(parent);
  child->setVisible(c.visible);
  child->setRect(MakeRectF(c.x, c.y, c.x + c.width, c.y + c.height));
  child->setAlign(c.align);
  return child;
}

std::string Text(const TRectF& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
         std::to_string(r.bottom) + ")";
}

TEST(GuiLayout, ChildrenTakeThePlacesTheirAlignmentsGive) {
  const std::vector<LayoutCase> cases = {
      {"top, left, client", 200, 100,
       {{gaTop, 10, 20}, {gaLeft, 30, 10}, {gaClient, 5, 5}}, 200,
       {{0, 0, 200, 20}, {0, 20, 30, 100}, {30, 20, 200, 100}}},
      {"the outer sides come before the top whatever the order", 200, 100,
       {{gaTop, 10, 20}, {gaMostLeft, 40, 10}, {gaMostRight, 10, 10}}, 200,
       {{40, 0, 190, 20}, {0, 0, 40, 100}, {190, 0, 200, 100}}},
      {"bottom and right take from their own sides", 200, 100,
       {{gaRight, 30, 5}, {gaBottom, 5, 10}, {gaClient, 5, 5}, {gaContents, 5, 5}}, 200,
       {{170, 0, 200, 90}, {0, 90, 200, 100}, {0, 0, 170, 90}, {0, 0, 200, 100}}},
      {"centring keeps the size and, for one axis, the other coordinate", 200, 100,
       {{gaHorzCenter, 50, 10, 3, 7}, {gaVertCenter, 20, 40, 3, 7}, {gaCenter, 60, 20}}, 200,
       {{75, 7, 125, 17}, {3, 30, 23, 70}, {70, 40, 130, 60}}},
      {"centring uses the room the sides left", 200, 100,
       {{gaLeft, 100, 5}, {gaCenter, 20, 20}}, 200,
       {{0, 0, 100, 100}, {140, 40, 160, 60}}},
      {"hidden children neither take room nor move", 200, 100,
       {{gaTop, 10, 20, 4, 4, false}, {gaClient, 5, 5}}, 200,
       {{4, 4, 14, 24}, {0, 0, 200, 100}}},
      {"widening moves right-anchored children by the change", 200, 100,
       {{gaTopRight, 20, 10, 150, 5}, {gaTopLeft, 20, 10, 150, 5}, {gaBottomRight, 10, 10, 180, 80},
        {gaBottomLeft, 10, 10, 1, 80}, {gaNone, 10, 10, 170, 2}, {gaTopRight, 20, 10, 150, 5, false}}, 260,
       {{210, 5, 230, 15}, {150, 5, 170, 15}, {240, 80, 250, 90}, {1, 80, 11, 90}, {170, 2, 180, 12},
        {150, 5, 170, 15}}},
  };
  RegisterGuiClasses();
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.what);
    auto* parent = New<GuiObject>(nullptr);
    parent->setRect(MakeRectF(0, 0, c.parentWidth, c.parentHeight));
    std::vector<GuiObject*> children;
    for (const Child& child : c.children) children.push_back(MakeChild(parent, child));
    parent->setWidth(c.widenedTo);
    ASSERT_EQ(children.size(), c.expected.size());
    for (size_t i = 0; i < children.size(); ++i) {
      EXPECT_EQ(Text(children[i]->getBoundsRect()), Text(c.expected[i])) << "child " << i;
    }
    parent->Free();
  }
}

// Counts the layouts it runs.
class CountingGui : public GuiObject {
  Q_OBJECT(CountingGui, GuiObject)
 public:
  void realign() override {
    ++layouts;
    GuiObject::realign();
  }
  int layouts = 0;
};
}  // namespace

const ClassInfo& CountingGui::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<CountingGui>("CountingGui").build();
  return info;
}

namespace {
TEST(GuiLayout, PlacingIsDepthFirstAndAShownChildIsPlacedWhereAHiddenOneWasNot) {
  auto* parent = New<GuiObject>(nullptr);
  parent->setRect(MakeRectF(0, 0, 200, 100));
  auto* client = New<GuiObject>(parent);
  client->setAlign(gaClient);
  auto* inner = New<GuiObject>(client);
  inner->setRect(MakeRectF(0, 0, 10, 10));
  inner->setAlign(gaBottomRight);
  inner->setRect(MakeRectF(190, 90, 200, 100));
  parent->setHeight(150);  // the client grows by 50, its anchored child follows at once
  EXPECT_EQ(Text(client->getBoundsRect()), Text(MakeRectF(0, 0, 200, 150)));
  EXPECT_EQ(Text(inner->getBoundsRect()), Text(MakeRectF(190, 140, 200, 150)));

  auto* anchored = New<GuiObject>(parent);
  anchored->setRect(MakeRectF(150, 0, 170, 10));
  anchored->setAlign(gaTopRight);
  anchored->hide();
  parent->setWidth(260);
  anchored->show();  // shown after the change: not moved by it
  EXPECT_EQ(anchored->x(), 150);
  parent->Free();
}

TEST(GuiLayout, SettingTheSameSizeLaysNothingOut) {
  RegisterGuiClasses();
  auto* gui = New<CountingGui>(nullptr);
  const int before = gui->layouts;
  gui->setWidth(gui->width());
  gui->setHeight(gui->height());
  EXPECT_EQ(gui->layouts, before);
  gui->setWidth(90);
  EXPECT_EQ(gui->layouts, before + 1);
  EXPECT_EQ(gui->previousWidth(), 90);  // the layout took the new edge
  gui->Free();
}

TEST(GuiLayout, TheAlignmentsArePublishedByNameAndInOrder) {
  RegisterGuiClasses();
  const PropInfo* align = GuiObject::staticClassInfo().findProperty("align");
  ASSERT_NE(align, nullptr);
  auto* gui = New<GuiObject>(nullptr);
  EXPECT_EQ(WideToUtf8(GetPropText(gui, *align)), "gaTopLeft");
  ASSERT_TRUE(SetPropText(gui, *align, u"gaBottomRight"));
  EXPECT_EQ(gui->align(), gaBottomRight);
  EXPECT_EQ(TextAlignFlag(taLeft), 1);
  EXPECT_EQ(TextAlignFlag(taCenter), 2);
  EXPECT_EQ(TextAlignFlag(taRight), 4);
  gui->Free();
}
}  // namespace

namespace {
TEST(GuiLayout, AStoredTreeReadsBackWithItsAlignmentsAndTheSameLayout) {
  RegisterGuiClasses();
  auto* panel = New<GuiObject>(nullptr);
  panel->setRect(MakeRectF(0, 0, 200, 100));
  auto* client = New<GuiObject>(panel);
  client->SetName(u"client");
  client->setAlign(gaClient);
  auto* top = New<GuiObject>(panel);
  top->SetName(u"top");
  top->setHeight(20);
  top->setAlign(gaTop);
  auto* plain = New<GuiObject>(panel);
  plain->SetName(u"plain");
  plain->setShowInBounds(true);
  plain->setMaterial(u"greenish");
  TMemoryStream image;
  SaveObjectToStream(image, panel);
  image.SetPosition(0);
  TMemoryStream xml;
  ASSERT_TRUE(binaryToXml(image, xml));
  const std::string text(xml.Bytes().begin(), xml.Bytes().end());
  EXPECT_NE(text.find("align=\"gaClient\""), std::string::npos) << text;
  EXPECT_EQ(text.find("gaTopLeft"), std::string::npos) << text;  // the default is not stored

  image.SetPosition(0);
  BaseObject* loaded = LoadObjectFromStream(nullptr, image, nullptr, nullptr);
  ASSERT_NE(loaded, nullptr);
  auto* loadedClient = dynamic_cast<GuiObject*>(loaded->findByName(u"client"));
  auto* loadedPlain = dynamic_cast<GuiObject*>(loaded->findByName(u"plain"));
  ASSERT_TRUE(loadedClient && loadedPlain);
  EXPECT_EQ(Text(loadedClient->getBoundsRect()), Text(MakeRectF(0, 20, 200, 100)));
  EXPECT_TRUE(loadedPlain->showInBounds());
  EXPECT_EQ(loadedPlain->material(), u"greenish");  // stored values win over the widget's defaults
  EXPECT_EQ(loadedClient->material(), u"gui");
  EXPECT_TRUE(loadedClient->hotTrack());
  loaded->Free();
  panel->Free();
}
}  // namespace
