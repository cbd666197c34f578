#include <gtest/gtest.h>
#include <qelv/qelv.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "tests/capi/capi_support.h"

namespace {
constexpr int kWidth = 40, kHeight = 24, kRate = 48000, kBlock = kRate / 50, kFrames = 60;

// A mono track of 16-bit samples with a kick every 0.4 s over a chord.
std::vector<int16_t> MonoTrack() {
    std::vector<int16_t> samples(size_t(kBlock) * kFrames);
    for (size_t n = 0; n < samples.size(); ++n) {
        const double t = double(n) / kRate, kick = std::fmod(t, 0.4);
        const double value = (kick < 0.05 ? 0.8 * std::sin(2 * M_PI * 55 * kick) : 0) +
                             0.1 * std::sin(2 * M_PI * 440 * t) + 0.1 * std::sin(2 * M_PI * 660 * t);
        samples[n] = int16_t(std::lround(value * 32767));
    }
    return samples;
}

// The same samples give the same frames however a player holds them: 16-bit or float
// (sample / 32768), mono or as two equal channels, or as the first two of six.
TEST(CapiFormats, TheSameSamplesInAnyLayoutDrawTheSameFrames) {
    const std::vector<int16_t> mono = MonoTrack();
    using Feed = std::function<int(qelv_engine*, size_t first, size_t frames)>;
    const auto asFloat = [](int16_t s) { return float(s) / 32768.0f; };
    const Feed layouts[] = {
        [&](qelv_engine* e, size_t first, size_t n) { return qelv_feed_int16(e, mono.data() + first, n, 1, kRate); },
        [&](qelv_engine* e, size_t first, size_t n) {
            std::vector<float> pcm;
            for (size_t i = first; i < first + n; ++i) pcm.push_back(asFloat(mono[i]));
            return qelv_feed_float(e, pcm.data(), n, 1, kRate);
        },
        [&](qelv_engine* e, size_t first, size_t n) {
            std::vector<int16_t> pcm;
            for (size_t i = first; i < first + n; ++i) pcm.insert(pcm.end(), {mono[i], mono[i]});
            return qelv_feed_int16(e, pcm.data(), n, 2, kRate);
        },
        [&](qelv_engine* e, size_t first, size_t n) {
            std::vector<float> pcm;
            for (size_t i = first; i < first + n; ++i)
                pcm.insert(pcm.end(), {asFloat(mono[i]), asFloat(mono[i]), 1.0f, -1.0f, 0.5f, float(i % 7)});
            return qelv_feed_float(e, pcm.data(), n, 6, kRate);
        },
    };
    std::vector<Frame> expected;
    for (size_t layout = 0; layout < std::size(layouts); ++layout) {
        EnginePtr engine = MakeEngine(kWidth, kHeight);
        ASSERT_EQ(qelv_load_shipped_preset(engine.get(), "mirror-spectrum"), QELV_OK) << qelv_errmsg(engine.get());
        std::vector<Frame> frames;
        for (size_t i = 0; i < kFrames; ++i) {
            // Uneven pieces: the blocks do not care how the audio was cut.
            const size_t first = i * kBlock, half = kBlock / 3 + i % 5;
            ASSERT_EQ(layouts[layout](engine.get(), first, half), QELV_OK) << qelv_errmsg(engine.get());
            ASSERT_EQ(layouts[layout](engine.get(), first + half, kBlock - half), QELV_OK);
            frames.push_back(Draw(engine.get(), kWidth, kHeight));
        }
        if (layout == 0) {
            expected = frames;
            EXPECT_NE(frames.back(), Frame(frames.back().size(), 0u)) << "the frames show something";
        } else {
            EXPECT_EQ(frames, expected) << "layout " << layout;
        }
    }
}

// The frame goes into the caller's rows wherever they lie: any stride, no alignment, the
// bytes between rows untouched; as the engine's words or as R, G, B, 255.
TEST(CapiFormats, WritesRowsAtTheCallersStrideInEitherFormat) {
    const std::vector<int16_t> mono = MonoTrack();
    EnginePtr packed = MakeEngine(kWidth, kHeight), words = MakeEngine(kWidth, kHeight),
              bytes = MakeEngine(kWidth, kHeight);
    for (qelv_engine* e : {packed.get(), words.get(), bytes.get()})
        ASSERT_EQ(qelv_feed_int16(e, mono.data(), size_t(kBlock) * 20, 1, kRate), QELV_OK);
    const size_t stride = kWidth * 4 + 13;
    std::vector<uint8_t> buffer(stride * kHeight + 1), rgba(stride * kHeight);
    uint8_t* unaligned = buffer.data() + 1;
    for (int i = 0; i < 20; ++i) {
        const Frame frame = DrawUntil(packed.get(), kWidth, kHeight, i / 50.0);
        std::fill(buffer.begin(), buffer.end(), 0xAB);
        std::fill(rgba.begin(), rgba.end(), 0xAB);
        ASSERT_EQ(qelv_draw_until(words.get(), unaligned, stride, QELV_FORMAT_XRGB, i / 50.0), QELV_OK);
        ASSERT_EQ(qelv_draw_until(bytes.get(), rgba.data(), stride, QELV_FORMAT_RGBA, i / 50.0), QELV_OK);
        for (int y = 0; y < kHeight; ++y) {
            const uint32_t* row = &frame[size_t(y) * kWidth];
            ASSERT_EQ(std::memcmp(unaligned + size_t(y) * stride, row, kWidth * 4), 0) << "row " << y;
            for (int x = 0; x < kWidth; ++x) {
                const uint8_t* p = &rgba[size_t(y) * stride + 4 * size_t(x)];
                ASSERT_EQ(uint32_t(p[0] << 16 | p[1] << 8 | p[2]), row[x] & 0xFFFFFF) << x << "," << y;
                ASSERT_EQ(p[3], 255);
            }
            for (size_t b = kWidth * 4; b < stride; ++b) {
                ASSERT_EQ(unaligned[size_t(y) * stride + b], 0xAB);
                ASSERT_EQ(rgba[size_t(y) * stride + b], 0xAB);
            }
        }
    }
}
}  // namespace
