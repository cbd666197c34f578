#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
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

// A 16-bit stereo WAV of `frames` frames whose header claims `rate`, true or not.
void WriteWavClaiming(const std::string& path, uint32_t rate, uint32_t frames) {
    auto le = [](uint32_t v, int bytes) {
        std::string s;
        for (int i = 0; i < bytes; ++i) s += char((v >> (8 * i)) & 0xFF);
        return s;
    };
    const uint32_t data = 4 * frames;
    std::ofstream(path, std::ios::binary)
        << "RIFF" << le(36 + data, 4) << "WAVEfmt " << le(16, 4) << le(1, 2) << le(2, 2) << le(rate, 4)
        << le(uint32_t(uint64_t(rate) * 4), 4) << le(4, 2) << le(16, 2) << "data" << le(data, 4)
        << std::string(data, '\x11');
}

// What cannot be played is refused with a message naming the file; what the header claims
// sizes nothing before it is judged, so a rate no sound has is refused without a huge
// allocation (it used to abort with std::bad_alloc).
TEST(TrackStream, PlaysTheRatesSoundHasAndRefusesWhatHoldsNoBlock) {
    TempDir dir;
    struct Case {
        const char* name;
        uint32_t rate, frames;
        const char* refusal;  // null: it plays
    } const cases[] = {
        {"missing.wav", 0, 0, "missing.wav"},
        {"empty.wav", 44100, 0, "is too short for a frame"},
        {"20hz.wav", 20, 100, "50 blocks per second is more than its 20 Hz sample rate"},
        {"50hz.wav", 50, 100, nullptr},
        {"8k.wav", 8000, 1000, nullptr},
        {"384k.wav", 384000, 10000, nullptr},
        {"384001.wav", 384001, 10000, "sample rate of 384001 Hz, above the 384000 Hz played"},
        {"200mhz.wav", 200000000, 1000, "sample rate of 200000000 Hz"},
        {"2ghz.wav", 2147483647, 1000, "sample rate of 2147483647 Hz"},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File(c.name);
        if (c.rate) WriteWavClaiming(path, c.rate, c.frames);
        for (const bool withSound : {true, false}) {
            TrackStream stream(50);
            std::string error;
            const bool opened = stream.Open(path, withSound, error);
            if (!c.refusal) {
                EXPECT_TRUE(opened) << c.name << ": " << error;
                EXPECT_EQ(stream.sampleRate(), int(c.rate)) << c.name;
                continue;
            }
            EXPECT_FALSE(opened) << c.name;
            EXPECT_NE(error.find(c.refusal), std::string::npos) << c.name << ": " << error;
            EXPECT_NE(error.find(c.name), std::string::npos) << c.name << ": " << error;
        }
    }
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
