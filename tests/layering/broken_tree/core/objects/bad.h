// Breaks the layering on purpose: the core may not include the engine.
#include "engine/event.h"
