#include "graphics/Effects.h"

#include <kiv/graphics/GammaRamp.h>
#include <kiv/graphics/OpenClose.h>
#include <kiv/graphics/RandomDissolve.h>

namespace kiv {

void CreateEffects() {
    Effect_GammaRamp = new GammaRamp;
    Effect_OpenClose = new OpenClose;
    Effect_RandomDissolve = new RandomDissolve;
}

void DestroyEffects() {
    delete Effect_GammaRamp;
    Effect_GammaRamp = nullptr;
    delete Effect_OpenClose;
    Effect_OpenClose = nullptr;
    delete Effect_RandomDissolve;
    Effect_RandomDissolve = nullptr;
}

void UpdateEffects() {
    if (Effect_GammaRamp)
        Effect_GammaRamp->Update();
    if (Effect_OpenClose)
        Effect_OpenClose->Update();
    if (Effect_RandomDissolve)
        Effect_RandomDissolve->Update();
}

bool EffectRunning() {
    return (Effect_OpenClose && Effect_OpenClose->IsRunning()) ||
           (Effect_RandomDissolve && Effect_RandomDissolve->IsRunning()) ||
           (Effect_GammaRamp && Effect_GammaRamp->IsRunning());
}

} // namespace kiv
