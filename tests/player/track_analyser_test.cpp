#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "player/track_analyser.h"

namespace {
// However the decoder cuts the track, the blocks are AnalyzeAudio's, byte for byte and as many.
TEST(TrackAnalyser, GivesAnalyzeAudiosBlocksHoweverTheTrackIsCut) {
    struct Case {
        int rate;
        double fps;
        size_t frames, piece;
    };
    for (const Case& c : {Case{44100, 50, 5000, 1}, Case{44100, 50, 88217, 4096}, Case{48000, 30, 50000, 1000},
                          Case{8000, 8000, 3000, 7}, Case{22050, 60, 5000, 100000}, Case{44100, 50, 0, 10}}) {
        StereoAudio audio;
        audio.sampleRate = c.rate;
        uint32_t state = 99;
        for (size_t n = 0; n < c.frames; ++n) {
            state = state * 1103515245u + 12345u;
            audio.left.push_back(float(int32_t(state) >> 8) / float(1 << 23));
            audio.right.push_back(float(n % 100) / 100.0f);
        }
        const std::vector<SampleBlock> expected = AnalyzeAudio(audio, c.fps);
        std::vector<SampleBlock> made;
        TrackAnalyser analyser(c.rate, c.fps, [&](const SampleBlock& block) { made.push_back(block); });
        std::vector<float> interleaved;
        for (size_t start = 0; start < c.frames; start += c.piece) {
            const size_t count = std::min(c.piece, c.frames - start);
            interleaved.clear();
            for (size_t i = start; i < start + count; ++i) interleaved.insert(interleaved.end(), {audio.left[i], audio.right[i]});
            analyser.Append(interleaved.data(), count);
        }
        ASSERT_EQ(made.size(), expected.size()) << c.rate << " Hz, " << c.fps << " fps, pieces of " << c.piece;
        EXPECT_EQ(analyser.blocksMade(), int64_t(made.size()));
        EXPECT_EQ(analyser.framesAppended(), int64_t(c.frames));
        for (size_t k = 0; k < made.size(); ++k)
            ASSERT_EQ(std::memcmp(made[k].bytes, expected[k].bytes, kBlockBytes), 0) << "block " << k;
    }
}
}  // namespace
