#pragma once
#include "engine/effect_chain.h"
#include "engine/sample_intake.h"

// Everything one picture needs besides its frame: the chain with its render lock, clear
// flag and shared resources, and the sample intake with the beat detector. The plug-in
// owns one for the host's lifetime; a tool may own several, each drawing exactly the
// frames it would draw alone.
struct Engine {
    EffectChain chain;
    SampleIntake intake;
};
