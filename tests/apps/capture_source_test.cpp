#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

#include "apps/qelv/play/capture_source.h"
#include "player/audio.h"

namespace {
// Serves a track in whatever pieces it is asked for, then breaks, as a server that went
// away does. Holds back its first read until released, so that no block arrives before
// the test has resumed the source; never released, it is a server that stopped answering.
struct TrackCapture final : SoundCapture {
    TrackCapture(StereoAudio track, std::atomic<bool>& released) : track(std::move(track)), released(released) {}
    bool Read(float* interleaved, int frames, std::string& error) override {
        while (!released && !interrupted) std::this_thread::yield();
        if (interrupted) {
            error = "interrupted";
            return false;
        }
        if (next + size_t(frames) > track.left.size()) {
            error = "gone";
            return false;
        }
        for (int i = 0; i < frames; ++i, ++next) {
            interleaved[2 * i] = track.left[next];
            interleaved[2 * i + 1] = track.right[next];
        }
        return true;
    }
    void Interrupt() override { interrupted = true; }
    int sampleRate() const override { return track.sampleRate; }
    StereoAudio track;
    std::atomic<bool>& released;
    std::atomic<bool> interrupted{false};
    size_t next = 0;
};

StereoAudio Chirp(int rate, int frames) {
    StereoAudio audio;
    audio.sampleRate = rate;
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        audio.left.push_back(float(std::sin(300.0 * t * t) * (i % 997 < 50 ? 1.0 : 0.2)));
        audio.right.push_back(i == 1234 ? NAN : float(std::cos(40.0 * t)));
    }
    return audio;
}

// Takes every block the source delivers, as a session does, until it ends.
std::vector<SampleBlock> TakeAll(CaptureSource& source, std::atomic<bool>& released) {
    std::vector<SampleBlock> taken;
    source.SetPaused(false);
    released = true;
    while (!source.Ended(int64_t(taken.size()))) {
        source.WaitForNext(int64_t(taken.size()));
        for (int64_t due = source.Due(); int64_t(taken.size()) < due;)
            taken.push_back(source.Block(int64_t(taken.size())));
    }
    return taken;
}

bool Same(const std::vector<SampleBlock>& a, const std::vector<SampleBlock>& b, size_t count) {
    if (a.size() < count || b.size() < count) return false;
    for (size_t i = 0; i < count; ++i)
        if (std::memcmp(a[i].bytes, b[i].bytes, sizeof a[i].bytes) != 0) return false;
    return true;
}

// Live blocks are the blocks a track of the same sound gives, whether a block's samples
// come in one read or, at a rate that does not divide by the block rate, in reads of
// uneven length.
TEST(CaptureSource, LiveBlocksEqualTheTracksAndABrokenStreamEndsTheRun) {
    struct Case {
        int rate, fps, frames;
    } const cases[] = {{44100, 50, 44100}, {1000, 30, 5000}, {8000, 7, 2000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        const StereoAudio track = Chirp(c.rate, c.frames);
        const std::vector<SampleBlock> expected = AnalyzeAudio(track, c.fps);
        std::atomic<bool> released{false};
        CaptureSource source(std::make_unique<TrackCapture>(track, released), c.fps, INT64_MAX);
        const std::vector<SampleBlock> live = TakeAll(source, released);
        // The last block whose samples are all in the track arrives; then the stream breaks.
        EXPECT_EQ(live.size(), expected.size());
        EXPECT_TRUE(Same(live, expected, expected.size()));
        EXPECT_EQ(source.error(), "gone");
    }
}

TEST(CaptureSource, EndsAfterTheBlocksAskedFor) {
    std::atomic<bool> released{false};
    CaptureSource source(std::make_unique<TrackCapture>(Chirp(1000, 100000), released), 50, 7);
    EXPECT_EQ(TakeAll(source, released).size(), 7u);
    EXPECT_EQ(source.error(), "");
}

// A run ends at once though its read waits for a server that no longer answers.
TEST(CaptureSource, EndsWhileAReadWaitsForeverForTheServer) {
    std::atomic<bool> released{false};
    auto stuck = std::make_unique<CaptureSource>(std::make_unique<TrackCapture>(Chirp(1000, 1000), released), 50, 7);
    stuck->SetPaused(false);
    stuck.reset();  // returns: the wait was interrupted
    EXPECT_FALSE(released);
}
}  // namespace
