#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "host/blend_frames.h"

namespace {
TEST(BlendFrames, WeighsEachByteByTheBlocksSinceTheChange) {
    struct Case {
        uint32_t old, fresh;
        int64_t k, n;
        uint32_t expected;
    };
    const Case cases[] = {
        {0x11223344, 0xAABBCCDD, 0, 4, 0x11223344},          // the start: the old frame exactly
        {0x11223344, 0xAABBCCDD, 4, 4, 0xAABBCCDD},          // the end: the new one exactly
        {0x00000000, 0xFFFFFFFF, 1, 2, 0x7F7F7F7F},          // halfway, rounded down
        {0xFF00FF00, 0x00FF00FF, 1, 4, 0xBF3FBF3F},          // each byte on its own, no carries
        {0xFFFFFFFF, 0xFFFFFFFF, 3, 7, 0xFFFFFFFF},          // full bytes stay full
        {0xFFFFFFFF, 0xFFFFFFFF, 0x7FFFFFFE, 0x7FFFFFFF, 0xFFFFFFFF},  // no overflow with a long one
        {0x11223344, 0xAABBCCDD, -3, 4, 0x11223344},         // k held within 0..n
        {0x11223344, 0xAABBCCDD, 9, 4, 0xAABBCCDD},
        {0x11223344, 0xAABBCCDD, 0, 0, 0xAABBCCDD},          // no length: the new frame
        {0x00000000, 0x0000FF00, 1, 3, 0x00005400},          // a third: weight 85 of 256
    };
    for (const Case& c : cases) {
        uint32_t out = 0;
        BlendFrames(&c.old, &c.fresh, &out, 1, c.k, c.n);
        EXPECT_EQ(out, c.expected) << std::hex << c.old << " " << c.fresh << std::dec << " k=" << c.k << " n=" << c.n;
    }
}

TEST(BlendFrames, MatchesTheWeightedMeanOfEachByteOnRandomFrames) {
    std::mt19937 random(3);
    std::vector<uint32_t> old(4096), fresh(4096), out(4096);
    for (size_t i = 0; i < old.size(); ++i) {
        old[i] = uint32_t(random());
        fresh[i] = uint32_t(random());
    }
    for (const auto& [k, n] : {std::pair<int64_t, int64_t>{1, 3}, {2, 3}, {17, 50}, {49, 50}, {12345, 60000}}) {
        BlendFrames(old.data(), fresh.data(), out.data(), old.size(), k, n);
        const uint32_t w = uint32_t(256 * k / n);
        for (size_t i = 0; i < old.size(); ++i)
            for (int shift = 0; shift < 32; shift += 8) {
                const uint32_t a = (old[i] >> shift) & 0xFF, b = (fresh[i] >> shift) & 0xFF;
                ASSERT_EQ((out[i] >> shift) & 0xFF, (a * (256 - w) + b * w) >> 8) << i << " k=" << k << " n=" << n;
            }
    }
}
}  // namespace
