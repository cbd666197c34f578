#include <gtest/gtest.h>

#include <cstdint>

#include "apps/qelv/blend_frames.h"

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
    };
    for (const Case& c : cases) {
        uint32_t out = 0;
        BlendFrames(&c.old, &c.fresh, &out, 1, c.k, c.n);
        EXPECT_EQ(out, c.expected) << std::hex << c.old << " " << c.fresh << std::dec << " k=" << c.k << " n=" << c.n;
    }
}
}  // namespace
