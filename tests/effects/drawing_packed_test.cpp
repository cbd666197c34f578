// The drawing effects on their packed paths against the plain ones: twin effects, one per
// path, are fed the same frames and samples for a few frames, so that their state (angles,
// spinners, previous tips) moves along too.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "effects/bass_spin.h"
#include "effects/line_drawing.h"
#include "effects/oscilliscope_star.h"
#include "effects/simple_vis.h"
#include "tests/effects/effect_test_frame.h"
#include "tests/effects/packed_path.h"

namespace {

struct DrawingCase {
    const char* label;
    std::function<std::unique_ptr<Effect>()> make;
};

template <typename T>
std::function<std::unique_ptr<Effect>()> Made(void (*configure)(T&)) {
    return [configure] {
        auto effect = std::make_unique<T>();
        configure(*effect);
        return std::unique_ptr<Effect>(std::move(effect));
    };
}

// Colours with byte 3 set, and channels that saturate where both draw.
template <typename T>
void Colours(T& e) {
    e.leftColour = int32_t(0xA0C08040u);
    e.rightColour = 0x00F0A0FF;
}

const DrawingCase kCases[] = {
    {"solid spectrum", Made<SimpleVisEffect>([](SimpleVisEffect& e) { Colours(e); e.style = 0; })},
    {"line spectrum", Made<SimpleVisEffect>([](SimpleVisEffect& e) { Colours(e); e.style = 1; })},
    {"line oscilloscope", Made<SimpleVisEffect>([](SimpleVisEffect& e) { Colours(e); e.style = 2; })},
    {"solid oscilloscope", Made<SimpleVisEffect>([](SimpleVisEffect& e) { Colours(e); e.style = 3; })},
    {"left solid spectrum", Made<SimpleVisEffect>([](SimpleVisEffect& e) { e.enabledChannels = 1; })},
    {"star", Made<OscilliscopeStarEffect>([](OscilliscopeStarEffect& e) { Colours(e); })},
    {"spin lines", Made<BassSpinEffect>([](BassSpinEffect& e) { Colours(e); e.style = 0; })},
    {"spin triangles", Made<BassSpinEffect>([](BassSpinEffect& e) { Colours(e); e.style = 1; })},
};

TEST(DrawingPacked, GivesThePlainFramesForEveryStyleAndSize) {
    for (const DrawingCase& c : kCases) {
        for (const FrameSize size : kTestSizes) {
            const bool big = size.width * size.height > 1 << 20;
            for (bool wide : {false, true}) {
                if (big && !wide) continue;  // the small sizes cover the SSE2 lanes
                auto plainEffect = c.make(), packedEffect = c.make();
                SampleScene scene(uint32_t(size.width * 31 + size.height));
                std::vector<uint32_t> plain = VariedFrame(size_t(size.width) * size_t(size.height));
                std::vector<uint32_t> packed = plain;
                for (int f = 0; f < (big ? 1 : 6); ++f) {
                    const auto samples = scene.snapshot();
                    plain = RenderOnPath(*plainEffect, std::move(plain), size.width, size.height, false, wide,
                                         samples.data());
                    packed = RenderOnPath(*packedEffect, std::move(packed), size.width, size.height, true, wide,
                                          samples.data());
                    ASSERT_EQ(packed, plain) << c.label << " " << size.width << "x" << size.height << " frame " << f
                                             << (wide ? " wide" : " sse2");
                }
            }
        }
    }
}

// Segments in every direction, inside, across and outside the frame, some from far away
// (the walk runs through the part before the frame, so not too far).
TEST(DrawingPacked, SegmentsGiveThePlainWords) {
    const int32_t far[] = {-100000, -4000, 4000, 100000};
    for (const FrameSize size : kTestSizes) {
        if (size.width * size.height > 1 << 20) continue;
        SampleScene scene(uint32_t(size.width + 7 * size.height));
        const auto coordinate = [&](int32_t extent) {
            const uint32_t r = uint32_t(scene.next()) << 8 | scene.next();
            if (r % 16 == 0) return far[r / 16 % 4];
            return int32_t(r % uint32_t(3 * extent + 2)) - extent - 1;
        };
        std::vector<uint32_t> frames[2] = {VariedFrame(size_t(size.width) * size_t(size.height)),
                                           VariedFrame(size_t(size.width) * size_t(size.height))};
        const int32_t saved = mmxAvailable;
        for (int k = 0; k < 400; ++k) {
            const int32_t x1 = coordinate(size.width), y1 = coordinate(size.height);
            const int32_t x2 = coordinate(size.width), y2 = coordinate(size.height);
            const uint32_t colour = uint32_t(scene.next()) << 24 | uint32_t(scene.next()) << 8 | scene.next();
            for (int packed = 0; packed < 2; ++packed) {
                mmxAvailable = packed;
                auto* draw = k % 2 ? AddLineThick : AddLine;
                draw(frames[packed].data(), x1, y1, x2, y2, size.width, size.height, colour);
            }
            mmxAvailable = saved;
            ASSERT_EQ(frames[1], frames[0]) << size.width << "x" << size.height << " segment " << k << ": " << x1
                                            << "," << y1 << " to " << x2 << "," << y2;
        }
    }
}

}  // namespace
