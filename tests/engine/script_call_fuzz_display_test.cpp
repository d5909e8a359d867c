// The random-call run over the engine's classes alone.
#include "tests/support/script_call_fuzz.h"

namespace {

class ScriptCallFuzzInApplet : public script_call_fuzz::ScriptCallFuzz {};

TEST_F(ScriptCallFuzzInApplet, EveryPublishedMethodOfEveryClassSurvivesHostileArguments) { callEverything(); }

}  // namespace
