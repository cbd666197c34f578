#include "engine/effect_factory.h"

#include "effects/bass_spin.h"
#include "effects/beat_clear.h"
#include "effects/blitter_feedback.h"
#include "effects/blur.h"
#include "effects/dot_plane.h"
#include "effects/fadeout.h"
#include "effects/flyin_particle.h"
#include "effects/oscilliscope_star.h"
#include "effects/simple_vis.h"

// An effect's index here is the type id that presets store: never reorder.
const EffectFactory effectFactories[] = {
    MakeEffect<SimpleVisEffect>,        // 0
    MakeEffect<DotPlaneEffect>,         // 1
    MakeEffect<OscilliscopeStarEffect>, // 2
    MakeEffect<FadeoutEffect>,          // 3
    MakeEffect<BlitterFeedbackEffect>,  // 4
    MakeEffect<BeatClearEffect>,        // 5
    MakeEffect<BlurEffect>,             // 6
    MakeEffect<BassSpinEffect>,         // 7
    MakeEffect<FlyinParticleEffect>,    // 8
    nullptr,
};
