// Forms, the applet's fade screen and debug form, text effects, the preview
// and handlers that free their own widget, in a running game: frames read
// back from GL, input queued as the window procedure queues it, real
// scripts and real log lines.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/geometry/coordinates.h"
#include "core/objects/effect.h"
#include "engine/container.h"
#include "engine/media/font_persistent.h"
#include "engine/scene/position_object.h"
#include "gui/forms/debug_form.h"
#include "gui/forms/effect_text.h"
#include "gui/forms/form.h"
#include "gui/forms/top_layer_forms.h"
#include "gui/skinned/preview.h"
#include "gui/skinned/screen.h"
#include "gui/skinned/static_text.h"
#include "platform/font.h"
#include "tests/gui/gui_test_world.h"

namespace {
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kRed = 0xFFFF0000u;

template <typename T>
T* Find(Applet* applet, const char16_t* name) {
  return dynamic_cast<T*>(applet->findByName(name));
}

class AppletFade : public ::testing::TestWithParam<const char*> {};

TEST_P(AppletFade, FadeScreenToColorWaitCoversTheClientAreaInTheColourAndHideScreenWaitUncoversIt) {
  GuiTestGame game;
  Applet* applet = game.load(std::string(R"(bkColor="#FFFFFFFF" deviceName=")") + GetParam() + "\"", "");
  ASSERT_NE(applet, nullptr);
  Screen* screen = FadeScreenOf(applet);
  ASSERT_NE(screen, nullptr);
  EXPECT_FALSE(screen->visible());
  EXPECT_EQ(ReadFrame(applet).at(160, 100), kWhite);

  applet->runHandler(u"applet.fadeScreenToColorWait('#FFFF0000', 0.2); engine.log('@faded ' + applet.time.toFixed(1))");
  ASSERT_EQ(game.scriptLines().size(), 1u) << "the wait returned";
  EXPECT_TRUE(screen->visible());
  EXPECT_FLOAT_EQ(screen->alpha(), 1);
  GuiFrame frame = ReadFrame(applet);
  ASSERT_FALSE(frame.pixels.empty());
  for (auto [x, y] : {std::pair{0, 0}, {319, 0}, {0, 199}, {319, 199}, {160, 100}}) {
    EXPECT_EQ(frame.at(x, y), kRed) << x << "," << y << std::hex << " " << frame.at(x, y);
  }

  applet->runHandler(u"applet.hideScreenWait(0.1)");
  EXPECT_FALSE(screen->visible());
  EXPECT_EQ(ReadFrame(applet).at(160, 100), kWhite);
}

INSTANTIATE_TEST_SUITE_P(BothDevices, AppletFade, ::testing::Values("ogl", "dx8"));

TEST(Forms, DraggingAMoveableFormWithTheLeftButtonMovesItsContentsByTheDrag) {
  struct Case {
    const char* style;
    bool moves;
  };
  for (const Case& c : {Case{"fsMoveable", true}, Case{"", false}}) {
    GuiTestGame game;
    Applet* applet =
        game.load(R"(bkColor="#FFFFFFFF")",
                  std::string(R"(<Form name="form" position.x="50" position.y="40" width="120" height="80" style=")") +
                      c.style + R"(">
  <Screen name="inner" Color="#FFFF0000" position.x="60" position.y="40" width="40" height="30"/>
</Form>)");
    ASSERT_NE(applet, nullptr) << c.style;
    auto* form = Find<Form>(applet, u"form");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->hotTrack(), c.moves);
    EXPECT_EQ(ReadFrame(applet).at(125, 95), kRed);

    // Pressed on the form itself (not on its contents), dragged by (30, 20) in two moves.
    auto mouse = [&](uint8_t kind, int x, int y, int dx, int dy) {
      applet->QueueEvent(TMouseEvent::Create(kind, kind == lekMouseMove ? 0 : kButtonLeft, x, y, dx, dy,
                                             kShiftLeftButton, applet->window()));
    };
    mouse(lekMouseDown, 60, 50, 0, 0);
    mouse(lekMouseMove, 75, 60, 15, 10);
    mouse(lekMouseMove, 90, 70, 15, 10);
    mouse(lekMouseUp, 90, 70, 0, 0);
    game.step(3);

    const float shiftX = c.moves ? 30 : 0, shiftY = c.moves ? 20 : 0;
    EXPECT_FLOAT_EQ(form->x(), 50 + shiftX) << c.style;
    EXPECT_FLOAT_EQ(form->y(), 40 + shiftY) << c.style;
    EXPECT_FALSE(form->dragging());
    EXPECT_EQ(applet->capturedObject(), nullptr) << "the capture ends with the button";
    const GuiFrame frame = ReadFrame(applet);
    // The inner screen lay over (110..150, 80..110).
    EXPECT_EQ(frame.at(static_cast<int>(125 + shiftX), static_cast<int>(95 + shiftY)), kRed) << c.style;
    if (c.moves) {
      EXPECT_EQ(frame.at(112, 82), kWhite) << "where it was";
    }
  }
}

TEST(Forms, CloseRunsTheCloseEffectWhenThereIsOneElseHidesAtOnce) {
  GuiTestGame game;
  Applet* applet = game.load("", R"(<Form name="plain"/>
<ImageForm name="fancy"><AnimationEffect name="close"/></ImageForm>)");
  ASSERT_NE(applet, nullptr);
  applet->runHandler(u"plain.close(); fancy.close()");
  EXPECT_FALSE(Find<Form>(applet, u"plain")->visible());
  EXPECT_TRUE(Find<Form>(applet, u"fancy")->visible());
  EXPECT_TRUE(Find<Form>(applet, u"fancy")->findOwnEffect(u"close")->running());
}

TEST(Forms, TheDebugFormShowsFramesPerSecondParticlesAndBodiesWhileDebugInfoIsOn) {
  GuiTestGame game;
  Applet* applet = game.load(R"q(debugInfo="True" bkColor="#FF000000" onLoad="crate.spawn()")q",
                             R"(<Box name="crate" kind="okSpace" dynamic="True" position.z="4"/>)");
  ASSERT_NE(applet, nullptr);
  DebugForm* form = DebugFormOf(applet);
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->visible());
  EXPECT_EQ(form->name(), u"debugForm");
  EXPECT_EQ(form->font()->fontName(), u"system");
  auto shows = [&](const std::u16string& start) {
    const std::vector<WideString> lines = form->lines();
    return std::any_of(lines.begin(), lines.end(), [&](const WideString& l) { return l.rfind(start, 0) == 0; });
  };
  // Frame rates are known after the first whole second.
  ASSERT_TRUE(game.stepUntil(
      [&] {
        applet->update();
        return shows(u"FPS: ") && !shows(u"FPS: 0.00") && shows(u"Particle Count: 0") && shows(u"Body/Active: 1/");
      },
      10))
      << [&] {
           std::string all;
           for (const WideString& line : form->lines()) all += WideToUtf8(line) + "|";
           return all;
         }();

  const GuiFrame frame = ReadFrame(applet);
  const auto lineCount = static_cast<int>(form->lines().size());
  EXPECT_FLOAT_EQ(form->height(), static_cast<float>(lineCount * 10 + 2));
  // Each line's band on the frame holds the green of the debug lines.
  const int shownLines = std::min(lineCount, (frame.height - 1) / 10);
  int greenBands = 0;
  for (int line = 0; line < shownLines; ++line) {
    bool green = false;
    for (int y = line * 10 + 1; y < line * 10 + 11 && !green; ++y) {
      for (int x = 1; x < 119 && !green; ++x) {
        const uint32_t p = frame.at(x, y);
        green = ((p >> 8) & 0xFF) > 0x80 && ((p >> 8) & 0xFF) > ((p >> 16) & 0xFF) + 0x30;
      }
    }
    greenBands += green;
  }
  EXPECT_EQ(greenBands, shownLines);

  applet->runHandler(u"applet.debugInfo = false");
  EXPECT_FALSE(form->visible());
}

TEST(Forms, EffectTextLettersShareTheTextsFontAndRunItsEffectsOneAfterAnother) {
  GuiTestGame game;
  Applet* applet =
      game.load("", R"(<EffectText name="wave" font.fontName="" font.family="arial" font.size="24" text="AW">
  <AnimationEffect name="pulse"/>
</EffectText>)");
  ASSERT_NE(applet, nullptr);
  auto* wave = Find<EffectText>(applet, u"wave");
  ASSERT_NE(wave, nullptr);

  auto letters = [&] {
    std::vector<StaticText*> found;
    for (int i = 0; i < wave->count(); ++i) {
      if (auto* letter = dynamic_cast<StaticText*>(wave->childAt(i))) found.push_back(letter);
    }
    return found;
  };
  std::vector<StaticText*> made = letters();
  ASSERT_EQ(made.size(), 2u);
  TDevice* device = applet->device();
  TRectF measured = MakeRectF(0, 0, 1000, 1000);
  int32_t fit = 0;
  device->MeasureText(wave->font()->getFont(), u"A", 65535, fit, 0, measured);
  const float widths[] = {0, measured.right - measured.left};
  for (size_t i = 0; i < made.size(); ++i) {
    EXPECT_EQ(made[i]->text(), wave->text().substr(i, 1));
    EXPECT_FLOAT_EQ(made[i]->x(), widths[i]);
    // Measured and drawn with one font: the text's own 24-pixel arial.
    EXPECT_EQ(made[i]->font()->fontName(), u"");
    EXPECT_EQ(made[i]->font()->size(), 24);
    EXPECT_EQ(made[i]->font()->getFont(), wave->font()->getFont());
    auto* pulse = dynamic_cast<Effect*>(made[i]->findEffect(u"pulse"));
    ASSERT_NE(pulse, nullptr);
    EXPECT_FLOAT_EQ(pulse->shiftTime(), 0.08f * static_cast<float>(i + 1));
  }
  EXPECT_GT(widths[1], 10.0f) << "a 24-pixel letter, not the 10-pixel default";
  // The text's own effect is a template only: looking it up finds a letter's copy.
  ASSERT_NE(wave->findEffect(u"pulse"), nullptr);
  EXPECT_EQ(wave->findEffect(u"pulse")->getParent(), made[0]);

  applet->runHandler(u"wave.text = 'xyz'");
  made = letters();
  ASSERT_EQ(made.size(), 3u);
  EXPECT_EQ(made[2]->text(), u"z");
  EXPECT_EQ(wave->count(), 4) << "three letters and the template";
}

TEST(Forms, APreviewShowsOnlyAPositionedObjectItsFileHolds) {
  GuiTestGame game;
  game.game.write("crate.qxml", R"(<?xml version="1.0"?><Box name="crate" velocity.x="3"/>)");
  game.game.write("clock.qxml", R"(<?xml version="1.0"?><Timer name="clock"/>)");
  Applet* applet = game.load("", R"(<Preview name="shown" width="100" height="100" objectFile="crate.qxml"/>
<Preview name="clockless" objectFile="clock.qxml"/>
<Preview name="empty" objectFile="missing.qxml"/>)");
  ASSERT_NE(applet, nullptr);
  PositionObject* crate = Find<Preview>(applet, u"shown")->object();
  ASSERT_NE(crate, nullptr);
  EXPECT_EQ(crate->getParent(), Find<Preview>(applet, u"shown"));
  EXPECT_FALSE(crate->visible());
  EXPECT_EQ(crate->kind(), okScreen);
  EXPECT_NEAR(crate->xAngle(), 135, 1e-3);
  EXPECT_EQ(crate->velocity()->vector().x, 0);
  ReadFrame(applet);
  EXPECT_EQ(crate->position()->vector(), MakeVector4F(50, 50, 0, 1)) << "drawn at the centre";

  for (const char16_t* name : {u"clockless", u"empty"}) {
    EXPECT_EQ(Find<Preview>(applet, name)->object(), nullptr);
    EXPECT_EQ(Find<Preview>(applet, name)->count(), 0);
  }
  EXPECT_TRUE(game.log.contains("(e) Preview clockless: clock.qxml holds no object to show"));
  EXPECT_TRUE(game.log.contains("(e) Preview empty: missing.qxml holds no object to show"));
  // A script freeing the shown object leaves the preview with nothing to draw.
  applet->runHandler(u"crate.getParent().deleteChildren()");
  EXPECT_EQ(Find<Preview>(applet, u"shown")->object(), nullptr);
  ReadFrame(applet);
}

TEST(Forms, EffectTextReadFromAFileWaitsForTheApplicationsFonts) {
  GuiTestGame game;
  Applet* applet = game.load("", R"(<EffectText name="wave" text="AW"/>)");
  ASSERT_NE(applet, nullptr);
  game.step(1);
  EXPECT_FALSE(game.log.contains("(e) Font error default"));
  auto* wave = Find<EffectText>(applet, u"wave");
  ASSERT_NE(wave, nullptr);
  auto* second = dynamic_cast<StaticText*>(wave->childAt(1));
  ASSERT_NE(second, nullptr);
  TRectF measured = MakeRectF(0, 0, 1000, 1000);
  int32_t fit = 0;
  applet->device()->MeasureText(wave->font()->getFont(), u"A", 65535, fit, 0, measured);
  EXPECT_GT(second->x(), 4.0f);
  EXPECT_FLOAT_EQ(second->x(), measured.right - measured.left);
}

TEST(Forms, StoringAndReadingBackKeepsWhatWidgetsMakeForThemselvesOutOfTheFile) {
  GuiTestGame game;
  game.game.write("crate.qxml", R"(<?xml version="1.0"?><Box name="crate"/>)");
  Applet* applet = game.load("", R"(<Panel name="group">
  <EffectText name="wave" text="AB"><AnimationEffect name="pulse"/></EffectText>
  <Preview name="shown" objectFile="crate.qxml"/>
</Panel>)");
  ASSERT_NE(applet, nullptr);
  ASSERT_TRUE(applet->storeObject(applet->findByName(u"group"), u"group.qxml"));
  const std::string stored = game.game.read("group.qxml");
  EXPECT_EQ(stored.find("StaticText"), std::string::npos) << stored;
  EXPECT_EQ(stored.find("Box"), std::string::npos) << stored;

  BaseObject* copy = applet->newFromFile(u"group.qxml", applet);
  ASSERT_NE(copy, nullptr);
  auto* wave = dynamic_cast<EffectText*>(copy->childAt(0));
  auto* shown = dynamic_cast<Preview*>(copy->childAt(1));
  ASSERT_TRUE(wave && shown);
  EXPECT_EQ(wave->count(), 3) << "two letters and the template";
  EXPECT_EQ(shown->count(), 1);
  EXPECT_NE(shown->object(), nullptr);
}

TEST(Forms, AHandlerThatFreesItsOwnWidgetLeavesTheWidgetUntouchedAfterwards) {
  GuiTestGame game;
  Applet* applet = game.load("", R"q(<Panel name="canvas" width="100" height="100">
  <Painter name="painter" width="50" height="50" onPaint="engine.log('@painted'); canvas.deleteChildren()"/>
  <Painter name="second" onPaint="engine.log('@second')"/>
</Panel>
<Panel name="holder" position.x="150" width="100" height="100">
  <Form name="doomed" width="100" height="100" onMouseDown="engine.log('@pressed'); holder.deleteChildren()"/>
</Panel>
<Panel name="labels" position.y="120" width="100" height="50">
  <StaticText name="label" width="100" height="50" onMouseUp="engine.log('@released'); labels.deleteChildren()"/>
</Panel>)q");
  ASSERT_NE(applet, nullptr);
  ReadFrame(applet);
  EXPECT_EQ(Find<BaseObject>(applet, u"canvas")->count(), 0);
  game.click(200, 50);
  game.click(50, 140);
  game.step(2);
  EXPECT_EQ(Find<BaseObject>(applet, u"holder")->count(), 0);
  EXPECT_EQ(Find<BaseObject>(applet, u"labels")->count(), 0);
  EXPECT_EQ(applet->capturedObject(), nullptr) << "a freed form captures nothing";
  EXPECT_EQ(game.scriptLines(), (std::vector<std::string>{"painted", "pressed", "released"}));
  ReadFrame(applet);
}

// What scripts and handlers do to widgets takes effect at once and once: a
// painter freeing itself paints once, an align set on a widget under the
// applet or a Dummy lays it out, an object list shows the whole object it
// loaded on screen, and a modal wait whose object is freed is cancelled.
TEST(Forms, ScriptChangesTakeEffectAtOnceAndOnce) {
  GuiTestGame game;
  game.game.write("nested.qxml", R"(<?xml version="1.0"?><Box name="outer"><Box name="inner"/></Box>)");
  Applet* applet = game.load("frameRate=\"-1\"", R"q(
<Painter name="selfish" width="20" height="20" onPaint="engine.log('@painted'); selfish.dispose()"/>
<GuiObject name="top" width="50" height="40"/>
<Dummy><GuiObject name="deep" width="50" height="40"/></Dummy>
<ObjectList name="shelf" items.commaText="nested.qxml"/>
<GuiObject name="waiting"/><GuiObject name="doomed"/>)q");
  ASSERT_NE(applet, nullptr);
  for (int i = 0; i < 3; ++i) ReadFrame(applet);
  EXPECT_EQ(game.scriptLines(), std::vector<std::string>{"painted"});

  applet->runHandler(u"top.align = 'gaClient'; deep.align = 'gaClient'");
  for (const char16_t* name : {u"top", u"deep"}) {
    EXPECT_EQ(Find<GuiObject>(applet, name)->getBoundsRect(), MakeRectF(0, 0, 320, 200)) << WideToUtf8(name);
  }

  auto* inner = Find<PositionObject>(applet, u"inner");
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(Find<PositionObject>(applet, u"outer")->kind(), okScreen);
  EXPECT_EQ(inner->kind(), okScreen);

  // A wait ended with a result, then one ended by freeing its object.
  int passes = 0;
  game.beforeStep = [&](int) {
    if (++passes != 3) return;
    if (auto* doomed = applet->findByName(u"doomed"); doomed && !applet->modalStack().empty() &&
                                                       applet->modalStack().back() == doomed) {
      doomed->Free();
    } else {
      applet->cancelModal(1);
    }
  };
  EXPECT_EQ(applet->enterModal(Find<VisualObject>(applet, u"waiting")), 1);
  passes = 0;
  EXPECT_EQ(applet->enterModal(Find<VisualObject>(applet, u"doomed")), 4);
  game.beforeStep = nullptr;
}
}  // namespace
