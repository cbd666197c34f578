#include <gtest/gtest.h>

#include "apps/qelv/play/play_pacing.h"

namespace {
TEST(PlayPacing, ABlockIsDueOnceItsTimeHasBeenPlayed) {
    // 44.1 kHz at 50 blocks a second: 882 samples a block.
    EXPECT_EQ(BlocksDueAt(0, 44100, 50, 100), 1);
    EXPECT_EQ(BlocksDueAt(881, 44100, 50, 100), 1);
    EXPECT_EQ(BlocksDueAt(882, 44100, 50, 100), 2);
    EXPECT_EQ(BlocksDueAt(44100, 44100, 50, 100), 51);
    EXPECT_EQ(BlocksDueAt(-1, 44100, 50, 100), 0);
}

TEST(PlayPacing, NoMoreBlocksAreDueThanTheTrackHas) {
    EXPECT_EQ(BlocksDueAt(10 * 44100, 44100, 50, 100), 100);
    EXPECT_EQ(BlocksDueAt(0, 44100, 50, 0), 0);
}

TEST(PlayPacing, HoursOfPlayAtTheHighestRatesStayExact) {
    const int64_t tenHours = int64_t(10) * 3600 * 192000;
    EXPECT_EQ(BlocksDueAt(tenHours, 192000, 1000, INT64_MAX), int64_t(10) * 3600 * 1000 + 1);
}

TEST(PlayPacing, ABlocksPositionIsTheFirstSampleAtWhichItIsDue) {
    // 1000 Hz at 3 blocks a second: block 1 is at 333.3 samples.
    EXPECT_EQ(PositionOfBlock(1, 1000, 3), 334);
    for (int64_t k = 1; k < 50; ++k) {
        const int64_t at = PositionOfBlock(k, 1000, 3);
        EXPECT_EQ(BlocksDueAt(at - 1, 1000, 3, 100), k) << k;
        EXPECT_EQ(BlocksDueAt(at, 1000, 3, 100), k + 1) << k;
    }
}

TEST(BlockPacer, HandsOutEveryBlockOnceInOrder) {
    BlockPacer pacer(5);
    BlockPacer::Span span = pacer.Take(3);  // three blocks came due during one frame
    EXPECT_EQ(span.first, 0);
    EXPECT_EQ(span.end, 3);
    EXPECT_TRUE(pacer.Take(3).empty());
    EXPECT_TRUE(pacer.Take(1).empty());  // a clock that steps back repeats nothing
    span = pacer.Take(4);
    EXPECT_EQ(span.first, 3);
    EXPECT_EQ(span.end, 4);
    EXPECT_FALSE(pacer.allFed());
    span = pacer.Take(99);
    EXPECT_EQ(span.first, 4);
    EXPECT_EQ(span.end, 5);
    EXPECT_TRUE(pacer.allFed());
    EXPECT_EQ(pacer.fed(), 5);
}

TEST(FrameSizeForWindow, RoundsTheWidthUpToAMultipleOfFour) {
    EXPECT_EQ(FrameSizeForWindow(640, 360), (FrameSize{640, 360}));
    EXPECT_EQ(FrameSizeForWindow(641, 361), (FrameSize{644, 361}));
    EXPECT_EQ(FrameSizeForWindow(643, 360), (FrameSize{644, 360}));
    EXPECT_EQ(FrameSizeForWindow(9, 9), (FrameSize{12, 9}));
}

TEST(FrameSizeForWindow, KeepsEachSideFrom8To8192) {
    EXPECT_EQ(FrameSizeForWindow(1, 1), (FrameSize{8, 8}));
    EXPECT_EQ(FrameSizeForWindow(0, -5), (FrameSize{8, 8}));
    EXPECT_EQ(FrameSizeForWindow(INT32_MAX, INT32_MAX), (FrameSize{8192, 8192}));
}
}  // namespace
