// The random-call run with the GUI's classes registered: widgets, forms, the
// console, the inspector and the design tools take part, and the applet has
// the GUI's parts (fade screen, gizmos, inspector) in its top layer.
#include "gui/gui_registration.h"
#include "tests/support/script_call_fuzz.h"

namespace {

class ScriptCallFuzzWithGui : public script_call_fuzz::ScriptCallFuzz {
 protected:
  void registerMore() override { RegisterGuiClasses(); }
};

TEST_F(ScriptCallFuzzWithGui, EveryPublishedMethodOfEveryClassSurvivesHostileArguments) { callEverything(); }

// What earlier runs found, each a script that once crashed, hung or leaked:
// each runs to its end inside the running game, frames between.
TEST_F(ScriptCallFuzzWithGui, FoundCasesEndQuietly) {
  const char* const cases[] = {
      // A nested applet's fade screen holds the first "hide" effect: the wait
      // steps the running game and ends.
      "var a = applet.new('Applet', applet); applet.fadeHideWait();",
      // The console's modal wait while another window took the focus.
      "applet.toggleConsole();",
      "mostTop.hide(); applet.toggleConsole(); mostTop.show();",
      // Waits on the effect of a hidden object, which stands still.
      "var c = applet.new('TConsole', applet); c.hide(); c.fadeHideWait(); c.dispose();",
  };
  for (const char* script : cases) {
    SCOPED_TRACE(script);
    ASSERT_TRUE(run(std::string("try {") + script + "} catch (e) {}"));
    EXPECT_LT(stepsInRun, 400);
  }
}

}  // namespace
