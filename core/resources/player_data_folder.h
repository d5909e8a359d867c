#pragma once
// Where the runtime keeps what belongs to players: one folder, "qplay", in the
// application-data folder, holding the seal key and one folder per game
// (named after its title in lower case) with its log, preferences and scores.
// A game's folder from the time these lay loose in the application-data
// folder under the title's own spelling is moved in on first use, so no
// player loses preferences or scores.
#include <string>

#include "core/text/text.h"

// "<application-data>/qplay/", made when missing.
std::string PlayerDataRoot();

// "<application-data>/qplay/<lower-cased safe title>/", with what the runtime
// kept for that title at the old place moved in. "_" stands for an empty title.
std::string GameDataFolder(const WideString& title);
