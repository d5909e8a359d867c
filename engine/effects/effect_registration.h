#pragma once
// Registers the timed effects (key lists first) and the timer and players.
// The effects that animate what their owner draws: pixmap cells, pixmap
// offsets and mesh frames.
void RegisterMediaAnimationClasses();
void RegisterEffectClasses();
void RegisterPlayerClasses();
