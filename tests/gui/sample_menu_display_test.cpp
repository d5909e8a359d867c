// The sample game that `./run.sh` starts, run without a window system: its
// skinned menu stands over the animated background, and a name typed into
// its edit comes back in the form's title when its button is clicked.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "core/objects/engine.h"
#include "gui/forms/form.h"
#include "gui/skinned/button.h"
#include "gui/skinned/edit.h"
#include "tests/gui/gui_test_world.h"
#include "tests/gui/pointer_click.h"

namespace {
std::string SampleFile(const std::string& name) {
  std::ifstream file(std::string(Q_SOURCE_DIR "/examples/hello/") + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(SampleGame, ItsMenuStandsOverTheBackgroundAndGreetsTheTypedName) {
  GuiTestGame game;
  // A first load starts the game's clock of the test; the sample replaces it.
  ASSERT_NE(game.load("", ""), nullptr);
  game.unload();
  for (const char* file : {"main.qxml", "logo.png"}) game.game.write(file, SampleFile(file));
  std::unique_ptr<SomeEngine, void (*)(SomeEngine*)> engine(New<SomeEngine>(nullptr), [](SomeEngine* e) { e->Free(); });
  game.applet = dynamic_cast<Applet*>(engine->loadApplet(game.game.file("main.qxml")));
  ASSERT_NE(game.applet, nullptr);
  Applet* applet = game.applet;
  auto* menu = dynamic_cast<ImageForm*>(applet->findByName(u"menu"));
  ASSERT_NE(menu, nullptr);
  ASSERT_NE(dynamic_cast<Button*>(menu->findByName(u"greetButton")), nullptr);
  ASSERT_NE(dynamic_cast<Edit*>(menu->findByName(u"playerName")), nullptr);

  // The button's middle at (505, 151), the edit's at (505, 105); the
  // background around changes colour every frame.
  game.step(3);
  const GuiFrame first = ReadFrame(applet);
  ASSERT_FALSE(first.pixels.empty());
  GuiFrame later;
  ASSERT_TRUE(game.stepUntil([&] {
    later = ReadFrame(applet);
    return !later.pixels.empty() && later.at(300, 20) != first.at(300, 20);
  }));
  EXPECT_EQ(later.at(505, 151), first.at(505, 151)) << "the button hides the background";
  EXPECT_EQ(later.at(505, 105), first.at(505, 105)) << "the edit hides the background";

  // Into the edit: Home, then Shift+End selects the name, which typing replaces.
  PointerClick(applet, 505, 105);
  game.key(36, 0);
  applet->QueueEvent(TKeyEvent::Create(lekKeyDown, 35, 0, 1, applet->window()));
  for (char16_t c : std::u16string(u"Ann")) game.key(0, c);
  PointerClick(applet, 505, 151);
  // Input waits for the next frame the game's frame rate lets through.
  EXPECT_TRUE(game.stepUntil([&] { return applet->event()->queuedCount() == 0; }));
  EXPECT_EQ(menu->text(), u"Hello, Ann!");
  game.applet = nullptr;
}
}  // namespace
