#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "apps/qelv/play/capture_source.h"
#include "player/audio.h"

namespace {
// Serves a track in whatever pieces it is asked for, then breaks (at its end, or at
// `breakAt`), as a server that went away does; reopened, it refuses `refusals` times, then
// serves the track from its start, round and round. Holds back
// its first read until released, so that no block arrives before the test has resumed the
// source; never released, it is a server that stopped answering, and so is a reopening
// that hangs. At `stallAt` it holds one read back for `stallFor`, as a server that hangs
// a while does.
struct TrackCapture final : SoundCapture {
    TrackCapture(StereoAudio track, std::atomic<bool>& released)
        : track(std::move(track)), released(released), breakAt(this->track.left.size()) {}
    bool Read(float* interleaved, int frames, std::string& error) override {
        while (!released && !interrupted) std::this_thread::yield();
        if (next + size_t(frames) > stallAt) {
            stallAt = SIZE_MAX;
            const auto until = std::chrono::steady_clock::now() + stallFor;
            while (std::chrono::steady_clock::now() < until && !interrupted) std::this_thread::yield();
        }
        if (interrupted) {
            error = "interrupted";
            return false;
        }
        if (next + size_t(frames) > breakAt) {
            error = "gone";
            return false;
        }
        for (int i = 0; i < frames; ++i, ++next) {
            interleaved[2 * i] = track.left[next % track.left.size()];
            interleaved[2 * i + 1] = track.right[next % track.left.size()];
        }
        return true;
    }
    bool Reopen(std::string& error) override {
        reopening = true;
        while (reopenHangs && !interrupted) std::this_thread::yield();
        error = interrupted ? "interrupted" : "still gone";
        if (interrupted || refusals-- > 0) return false;
        next = 0;
        breakAt = SIZE_MAX;
        return true;
    }
    void Interrupt() override { interrupted = true; }
    int sampleRate() const override { return track.sampleRate; }
    StereoAudio track;
    std::atomic<bool>& released;
    std::atomic<bool> interrupted{false}, reopening{false};
    size_t next = 0, breakAt, stallAt = SIZE_MAX;
    std::chrono::milliseconds stallFor{0};
    int refusals = 0;
    bool reopenHangs = false;
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

// Takes the blocks the source delivers, as a session does, until it ends or `enough` says
// so.
std::vector<SampleBlock> TakeAll(CaptureSource& source, std::atomic<bool>& released,
                                 const std::function<bool(const std::vector<SampleBlock>&)>& enough = {}) {
    std::vector<SampleBlock> taken;
    source.SetPaused(false);
    released = true;
    while (!source.Ended(int64_t(taken.size())) && !(enough && enough(taken))) {
        source.WaitForNext(int64_t(taken.size()));
        for (int64_t due = source.Due(); int64_t(taken.size()) < due;)
            taken.push_back(source.Block(int64_t(taken.size())));
    }
    return taken;
}

bool Same(const SampleBlock& a, const SampleBlock& b) { return std::memcmp(a.bytes, b.bytes, sizeof a.bytes) == 0; }

bool Same(const std::vector<SampleBlock>& a, const std::vector<SampleBlock>& b, size_t count) {
    if (a.size() < count || b.size() < count) return false;
    for (size_t i = 0; i < count; ++i)
        if (!Same(a[i], b[i])) return false;
    return true;
}

// Live blocks are the blocks a track of the same sound gives, whether a block's samples
// come in one read or, at a rate that does not divide by the block rate, in reads of
// uneven length.
TEST(CaptureSource, LiveBlocksEqualTheTracks) {
    struct Case {
        int rate, fps, frames;
    } const cases[] = {{44100, 50, 44100}, {1000, 30, 5000}, {8000, 7, 2000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        const StereoAudio track = Chirp(c.rate, c.frames);
        const std::vector<SampleBlock> expected = AnalyzeAudio(track, c.fps);
        std::atomic<bool> released{false};
        CaptureSource source(std::make_unique<TrackCapture>(track, released), c.fps, int64_t(expected.size()));
        const std::vector<SampleBlock> live = TakeAll(source, released);
        EXPECT_EQ(live.size(), expected.size());
        EXPECT_TRUE(Same(live, expected, expected.size()));
    }
}

TEST(CaptureSource, EndsAfterTheBlocksAskedFor) {
    std::atomic<bool> released{false};
    CaptureSource source(std::make_unique<TrackCapture>(Chirp(1000, 100000), released), 50, 7);
    EXPECT_EQ(TakeAll(source, released).size(), 7u);
}

// A stream that breaks, or stops answering, gives blocks of silence in its place, said once
// however many tries fail, until its sound arrives again, said once too.
TEST(CaptureSource, ABrokenOrStalledStreamGoesOnInSilenceUntilItIsBack) {
    struct Case {
        const char* name;
        bool breaks;
        std::string reason;
    } const cases[] = {{"broken", true, "gone"}, {"stalled", false, "the sound server stopped answering"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StereoAudio track = Chirp(1000, 1000);
        std::atomic<bool> released{false};
        auto capture = std::make_unique<TrackCapture>(track, released);
        if (c.breaks) {
            capture->breakAt = 300;
            capture->refusals = 1;
        } else {
            capture->breakAt = SIZE_MAX;  // round and round
            capture->stallAt = 300;
            capture->stallFor = std::chrono::milliseconds(1700);
        }
        const size_t before = 300 / 20 + 1;  // the blocks of 300 samples at 1000 Hz, 50 a second
        std::mutex said;
        std::vector<std::string> lost;
        int back = 0;
        CaptureSource::Hooks hooks;
        hooks.lost = [&](const std::string& reason) {
            const std::lock_guard<std::mutex> guard(said);
            lost.push_back(reason);
        };
        hooks.back = [&] {
            const std::lock_guard<std::mutex> guard(said);
            ++back;
        };
        CaptureSource source(std::move(capture), 50, INT64_MAX, hooks, std::chrono::milliseconds(200));
        auto silent = [](const SampleBlock& block) { return Same(block, SilentBlock()); };
        auto soundAfterSilence = [&](const std::vector<SampleBlock>& blocks) {
            if (blocks.size() <= before) return blocks.end();
            return std::find_if(blocks.begin() + ptrdiff_t(before), blocks.end(),
                                [&](const SampleBlock& block) { return !silent(block); });
        };
        const std::vector<SampleBlock> taken = TakeAll(source, released, [&](const std::vector<SampleBlock>& blocks) {
            return soundAfterSilence(blocks) != blocks.end();
        });
        const auto sound = soundAfterSilence(taken);
        // Two tries a second apart, or a stall of 1.7 s found after 0.2 s: well over 50
        // blocks of silence.
        EXPECT_GE(sound - taken.begin() - ptrdiff_t(before), 50);
        EXPECT_TRUE(std::all_of(taken.begin() + ptrdiff_t(before), sound, silent));
        const std::lock_guard<std::mutex> guard(said);
        EXPECT_EQ(lost, std::vector<std::string>{c.reason});
        EXPECT_EQ(back, 1);
    }
}

// A run ends at once though a read, or a reopening, waits forever for the server.
TEST(CaptureSource, EndsWhileTheServerNeverAnswers) {
    for (const bool reopening : {false, true}) {
        SCOPED_TRACE(reopening);
        std::atomic<bool> released{reopening};
        auto capture = std::make_unique<TrackCapture>(Chirp(1000, 10), released);
        capture->reopenHangs = true;
        const TrackCapture& server = *capture;
        auto stuck = std::make_unique<CaptureSource>(std::move(capture), 50, 7);
        stuck->SetPaused(false);
        // The track's one block is read, the next breaks, and a second later the reopening
        // begins and waits.
        if (reopening) std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        EXPECT_EQ(server.reopening, reopening);
        stuck.reset();  // returns: the wait was interrupted
    }
}
}  // namespace
