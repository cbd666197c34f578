#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "player/audio.h"
#include "player/track_stream.h"
#include "tests/player/temp_dir.h"
#include "tests/player/whole_track.h"

namespace {
// Played as a player plays it, in odd pieces of sound and the blocks made meanwhile, the
// stream gives the whole track's blocks and samples, however little it may work ahead.
TEST(TrackStream, GivesTheWholeTracksBlocksAndSoundInSmallMemory) {
    const StereoAudio demo = DemoTrack();
    const std::vector<SampleBlock> expected = AnalyzeAudio(demo, 50);
    for (const bool withSound : {true, false}) {
        for (const double lead : {0.01, 4.0}) {
            TrackStream stream(50, lead);
            std::string error;
            ASSERT_TRUE(stream.Open("", withSound, error)) << error;
            EXPECT_EQ(stream.sampleRate(), demo.sampleRate);
            std::vector<float> left, right, piece;
            int64_t taken = 0;
            uint32_t state = 5;
            while (!(stream.finished() && taken == stream.blocksMade())) {
                for (const int64_t made = stream.blocksMade(); taken < made; ++taken)
                    ASSERT_EQ(std::memcmp(stream.Block(taken).bytes, expected[size_t(taken)].bytes, kBlockBytes), 0)
                        << "block " << taken << (withSound ? " with sound" : "") << ", lead " << lead;
                if (!withSound) continue;
                state = state * 1103515245u + 12345u;
                piece.resize(2 * (1 + state % 3000));
                const size_t frames = stream.TakeSound(piece.data(), piece.size() / 2);
                for (size_t i = 0; i < frames; ++i) {
                    left.push_back(piece[2 * i]);
                    right.push_back(piece[2 * i + 1]);
                }
            }
            EXPECT_EQ(taken, int64_t(expected.size()));
            EXPECT_TRUE(stream.damage().empty());
            if (!withSound) continue;
            while (left.size() <= demo.left.size()) {
                const size_t frames = stream.TakeSound(piece.data(), piece.size() / 2);
                for (size_t i = 0; i < frames; ++i) {
                    left.push_back(piece[2 * i]);
                    right.push_back(piece[2 * i + 1]);
                }
            }
            // Past the end it gives silence, so a clock counting what it gives runs on.
            ASSERT_GE(left.size(), demo.left.size());
            EXPECT_TRUE(std::equal(demo.left.begin(), demo.left.end(), left.begin()));
            EXPECT_TRUE(std::equal(demo.right.begin(), demo.right.end(), right.begin()));
            EXPECT_TRUE(std::all_of(left.begin() + ptrdiff_t(demo.left.size()), left.end(), [](float v) { return v == 0; }));
            EXPECT_EQ(stream.TakeSound(piece.data(), 7), 7u);
        }
    }
}

TEST(TrackStream, RefusesWhatHoldsNoBlock) {
    TempDir dir;
    std::string error;
    TrackStream missing(50);
    EXPECT_FALSE(missing.Open(dir.File("missing.wav"), true, error));
    EXPECT_NE(error.find("missing.wav"), std::string::npos) << error;

    const StereoAudio empty;
    ASSERT_TRUE(WriteWav(dir.File("empty.wav"), empty, error)) << error;
    TrackStream emptyTrack(50);
    EXPECT_FALSE(emptyTrack.Open(dir.File("empty.wav"), true, error));
    EXPECT_EQ(error, "'" + dir.File("empty.wav") + "' is too short for a frame");

    StereoAudio slow;
    slow.sampleRate = 20;
    slow.left = slow.right = std::vector<float>(100, 0.5f);
    ASSERT_TRUE(WriteWav(dir.File("20hz.wav"), slow, error)) << error;
    TrackStream slowTrack(50);
    EXPECT_FALSE(slowTrack.Open(dir.File("20hz.wav"), true, error));
    EXPECT_EQ(error, "50 blocks per second is more than the 20 Hz sample rate of '" + dir.File("20hz.wav") + "'");
}

// A stream dropped part-way, its decoder waiting for room, stops at once.
TEST(TrackStream, ClosesWhileItsDecoderWaits) {
    TrackStream stream(50, 0.01);
    std::string error;
    ASSERT_TRUE(stream.Open("", true, error)) << error;
    EXPECT_FALSE(stream.finished());
    stream.DiscardSound();  // the decoder goes on until the blocks fill its lead
    EXPECT_GE(stream.blocksMade(), 1);
}
}  // namespace
