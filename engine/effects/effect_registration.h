#pragma once
// Registers the timed effects (key lists first) and the timer and players.
void RegisterEffectClasses();
void RegisterPlayerClasses();
