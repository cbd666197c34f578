// Every whole-frame effect, and the nine-effect chain, draws the same words on any number
// of threads as on one, on both paths, at every test size.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "effects/beat_clear.h"
#include "effects/blitter_feedback.h"
#include "effects/fadeout.h"
#include "effects/simple_vis.h"
#include "engine/effect_chain.h"
#include "tests/effects/effect_test_frame.h"
#include "tests/effects/packed_path.h"

namespace {

constexpr int kThreadCounts[] = {1, 2, 3, 5, 8};

struct ThreadCase {
    const char* name;
    int32_t type;  // -1: the nine-effect chain
    void (*configure)(Effect&);
};

void Blitter(Effect& e, int32_t direction, int32_t blend) {
    auto& b = static_cast<BlitterFeedbackEffect&>(e);
    b.normalDirection = b.onBeatDirection = b.currentDirection = direction;
    b.blend = blend;
}

void SimpleVis(Effect& e, int32_t style) {
    auto& v = static_cast<SimpleVisEffect&>(e);
    v.style = style;
    v.leftColour = 0x030201;
    v.rightColour = 0x102030;
}

const ThreadCase kCases[] = {
    {"fadeout", 3, [](Effect&) {}},
    {"fadeout through the table", 3, [](Effect& e) { static_cast<FadeoutEffect&>(e).fadeAmount = 300; }},
    {"beat clear", 5, [](Effect&) {}},
    {"beat clear blended", 5, [](Effect& e) { static_cast<BeatClearEffect&>(e).blend = 1; }},
    {"blitter in 0", 4, [](Effect& e) { Blitter(e, 0, 0); }},
    {"blitter in 17 blended", 4, [](Effect& e) { Blitter(e, 17, 1); }},
    {"blitter in 31", 4, [](Effect& e) { Blitter(e, 31, 0); }},
    {"blitter out 33 blended", 4, [](Effect& e) { Blitter(e, 33, 1); }},
    {"blitter out 64", 4, [](Effect& e) { Blitter(e, 64, 0); }},
    {"blitter out 161", 4, [](Effect& e) { Blitter(e, 161, 0); }},
    // Dim colours, so that a pixel added to twice shows.
    {"simple vis solid spectrum", 0, [](Effect& e) { SimpleVis(e, SimpleVisEffect::kSolidSpectrum); }},
    {"simple vis solid oscilloscope", 0, [](Effect& e) { SimpleVis(e, SimpleVisEffect::kSolidOscilloscope); }},
    {"blur", 6, [](Effect&) {}},
    // Drawing effects stay on the calling thread; here to keep them so.
    {"dot plane", 1, [](Effect&) {}},
    {"oscilloscope star", 2, [](Effect&) {}},
    {"bass spin", 7, [](Effect&) {}},
    {"particle", 8, [](Effect&) {}},
    {"chain", -1, [](Effect&) {}},
};

// One effect or chain per thread count, its workers started once.
struct Drawers {
    std::unique_ptr<RenderResources> resources[std::size(kThreadCounts)];
    std::unique_ptr<EffectChain> chains[std::size(kThreadCounts)];
    Drawers() {
        for (size_t i = 0; i < std::size(kThreadCounts); ++i) {
            resources[i] = std::make_unique<RenderResources>();
            resources[i]->workers.SetThreads(kThreadCounts[i]);
            chains[i] = std::make_unique<EffectChain>();
            chains[i]->SetThreads(kThreadCounts[i]);
        }
    }

    // Frames drawn one on the other from start, each with samples of its own and a beat
    // on the first.
    std::vector<uint32_t> Draw(size_t drawer, const ThreadCase& c, std::vector<uint32_t> frame, FrameSize size,
                               bool packed, int frames) {
        const int32_t saved = mmxAvailable;
        mmxAvailable = packed ? 1 : 0;
        SampleScene scene(uint32_t(size.width * 31 + size.height));
        EffectChain& chain = *chains[drawer];
        std::unique_ptr<Effect> effect;
        if (c.type < 0) {
            chain.ClearChain();
            chain.resources.particleRandom.Reset();
            for (int32_t type = 0; type < 9; ++type) chain.AppendEffect(type);
        } else {
            effect.reset(CreateEffect(c.type));
            c.configure(*effect);
            effect->resources = resources[drawer].get();
            resources[drawer]->particleRandom.Reset();
        }
        for (int f = 0; f < frames; ++f) {
            const std::vector<uint8_t> samples = scene.snapshot();
            if (effect) {
                effect->beat = f == 0;
                effect->render(samples.data(), frame.data(), size.width, size.height);
            } else {
                chain.RenderChain(samples.data(), frame.data(), size.width, size.height, f == 0);
            }
        }
        mmxAvailable = saved;
        return frame;
    }
};

// A grey field on one half, under a black first row: the blur's rows there settle on
// another level than rows walked down from the grey itself, so every guessed band start
// is wrong. On the right half the change reaches each row's last word and so the next
// row's first; on the left it runs on into the black words to the right of the field.
std::vector<uint32_t> GreyUnderBlack(FrameSize size, bool right) {
    std::vector<uint32_t> frame(size_t(size.width) * size_t(size.height), 0);
    const int32_t half = size.width / 2;
    for (int32_t y = 1; y < size.height; ++y)
        std::fill_n(frame.begin() + size_t(y) * size_t(size.width) + size_t(right ? half : 0),
                    size_t(right ? size.width - half : half), 0x808080u);
    return frame;
}

// The test sizes, and some tall enough that bands start below the blur's walk to its
// guess, before the slow 4K frame.
std::vector<FrameSize> Sizes() {
    std::vector<FrameSize> sizes(std::begin(kTestSizes), std::end(kTestSizes));
    sizes.insert(sizes.end() - 1, {{1, 40}, {5, 33}, {64, 64}, {257, 100}, {1000, 31}});
    return sizes;
}

TEST(Threads, EveryNumberOfThreadsDrawsTheWordsOfOne) {
    Drawers drawers;
    for (const FrameSize size : Sizes()) {
        // Varied words (byte 3 included), a smooth ramp, and wrong blur guesses; the 4K
        // frame only the first and on the packed path, to keep the test quick.
        const bool big = size.width * size.height > 1 << 20;
        std::vector<std::vector<uint32_t>> frames = {VariedFrame(size_t(size.width) * size_t(size.height))};
        if (!big)
            frames.insert(frames.end(), {TestFrames(size.width, size.height)[2], GreyUnderBlack(size, true),
                                         GreyUnderBlack(size, false)});
        for (const ThreadCase& c : kCases)
            for (const auto& frame : frames)
                for (bool packed : {false, true}) {
                    if (big && !packed) continue;
                    const auto one = drawers.Draw(0, c, frame, size, packed, big ? 1 : 2);
                    for (size_t i = 1; i < std::size(kThreadCounts); ++i)
                        ASSERT_EQ(drawers.Draw(i, c, frame, size, packed, big ? 1 : 2), one)
                            << c.name << " at " << size.width << "x" << size.height << " on "
                            << kThreadCounts[i] << " threads, " << (packed ? "packed" : "plain");
                }
    }
}

}  // namespace
