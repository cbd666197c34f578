#include "pipeline/effect_factory.h"

// Placeholder until the effect types land.
const EffectFactory effectFactories[] = {nullptr};
