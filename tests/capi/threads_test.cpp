#include <gtest/gtest.h>
#include <qelv/qelv.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "player/audio.h"
#include "tests/capi/capi_support.h"

namespace {
constexpr int kWidth = 48, kHeight = 32, kFrames = 100, kRate = 44100;

std::vector<int16_t> DemoPcm() {
    const StereoAudio demo = DemoTrack(kRate);
    std::vector<int16_t> pcm;
    for (size_t i = 0; i < size_t(kFrames) * kRate / 50; ++i)
        for (float s : {demo.left[i], demo.right[i]}) pcm.push_back(int16_t(std::lround(s * 32000)));
    return pcm;
}

// A player's two threads: one feeds the track in small pieces as fast as it can, the other
// draws frame i once the audio up to its time has been fed. Two such players run at once,
// each with engines of its own; every frame is the one the same calls draw on one thread.
TEST(CapiThreads, FeedingWhileDrawingDrawsTheFramesOfOneThread) {
    const std::vector<int16_t> pcm = DemoPcm();
    const size_t total = pcm.size() / 2;
    std::vector<Frame> expected;
    {
        EnginePtr engine = MakeEngine(kWidth, kHeight);
        ASSERT_EQ(qelv_load_shipped_preset(engine.get(), "fireflies"), QELV_OK);
        ASSERT_EQ(qelv_feed_int16(engine.get(), pcm.data(), total, 2, kRate), QELV_OK);
        for (int i = 0; i < kFrames; ++i) expected.push_back(DrawUntil(engine.get(), kWidth, kHeight, i / 50.0));
    }
    struct Player {
        EnginePtr engine = MakeEngine(kWidth, kHeight);
        std::atomic<size_t> fed{0};
        std::vector<Frame> frames;
    };
    Player players[2];
    std::vector<std::thread> threads;
    for (Player& player : players) {
        ASSERT_EQ(qelv_load_shipped_preset(player.engine.get(), "fireflies"), QELV_OK);
        threads.emplace_back([&player, &pcm, total] {
            for (size_t start = 0, piece = 97; start < total; start += piece)
                if (qelv_feed_int16(player.engine.get(), pcm.data() + 2 * start, std::min(piece, total - start), 2,
                                    kRate) == QELV_OK)
                    player.fed.store(std::min(start + piece, total), std::memory_order_release);
        });
        threads.emplace_back([&player] {
            for (int i = 0; i < kFrames; ++i) {
                // Frame i's block shows sample floor(i * 882): it is made once that is in.
                while (player.fed.load(std::memory_order_acquire) <= size_t(i) * 882) std::this_thread::yield();
                player.frames.push_back(DrawUntil(player.engine.get(), kWidth, kHeight, i / 50.0));
                qelv_beat_count(player.engine.get());
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (const Player& player : players) {
        ASSERT_EQ(player.frames.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(player.frames[i], expected[i]) << "frame " << i;
    }
}

// Everything at once on one engine: a feeder far ahead of the drawer (the wait overflows
// into the beat detector), blocks and PCM by turns, while the drawer draws, changes the
// preset with a fade, resizes and restarts the audio. Nothing breaks, and the beats of
// the audio nobody drew still count.
TEST(CapiThreads, FeedingRunsAgainstEveryOtherCall) {
    const std::vector<int16_t> pcm = DemoPcm();
    const size_t total = pcm.size() / 2;
    EnginePtr engine = MakeEngine(kWidth, kHeight);
    ASSERT_EQ(qelv_set_transition(engine.get(), 0.2), QELV_OK);
    std::atomic<bool> fed{false};
    std::thread feeder([&] {
        const std::vector<uint8_t> silence(QELV_BLOCK_BYTES * 3, 0);
        for (int pass = 0; pass < 15; ++pass) {
            for (size_t start = 0; start < total; start += 1000)
                EXPECT_EQ(qelv_feed_int16(engine.get(), pcm.data() + 2 * start, std::min<size_t>(1000, total - start),
                                          2, pass % 2 ? kRate : 22050),
                          QELV_OK);
            EXPECT_EQ(qelv_feed_blocks(engine.get(), silence.data(), 3), QELV_OK);
        }
        fed = true;
    });
    std::vector<uint8_t> rgba(size_t(kWidth + 8) * 4 * (kHeight + 8));
    const char* presets[] = {"aurora", "comet", "radar"};
    for (int i = 0; !fed || i < 400; ++i) {
        const int result = i % 97 == 0    ? qelv_load_shipped_preset(engine.get(), presets[i / 97 % 3])
                           : i % 131 == 0 ? qelv_resize(engine.get(), kWidth + i % 8, kHeight + i % 5)
                           : i % 173 == 0 ? qelv_reset_audio(engine.get())
                                          : QELV_OK;
        EXPECT_EQ(result, QELV_OK) << qelv_errmsg(engine.get());
        EXPECT_EQ(qelv_draw(engine.get(), rgba.data(), size_t(kWidth + 8) * 4, QELV_FORMAT_RGBA), QELV_OK)
            << qelv_errmsg(engine.get());
    }
    feeder.join();
    EXPECT_GT(qelv_beat_count(engine.get()), 0u);
}
}  // namespace
