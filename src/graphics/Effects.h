#pragma once

namespace kiv {

// The host's three screen effects, Effect_GammaRamp, Effect_OpenClose and
// Effect_RandomDissolve: made at start-up in that order and destroyed at shutdown.
void CreateEffects();
void DestroyEffects();
// One step of each, in that order, over the finished frame.
void UpdateEffects();
// Whether any of them runs: a level switch waits until none does.
bool EffectRunning();

} // namespace kiv
