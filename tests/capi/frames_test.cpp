#include <gtest/gtest.h>
#include <qelv/qelv.h>
#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "player/audio.h"
#include "tests/capi/capi_support.h"

namespace {
constexpr int kWidth = 64, kHeight = 48;

// The demo track's first seconds, interleaved as a player holds them.
std::vector<float> DemoPcm(size_t frames) {
    const StereoAudio demo = DemoTrack();
    std::vector<float> pcm;
    for (size_t i = 0; i < frames; ++i) pcm.insert(pcm.end(), {demo.left[i], demo.right[i]});
    return pcm;
}

// Six channels of 16-bit samples at a rate that 50 blocks a second do not divide: a kick
// every half second and a rising tone in the first two, loud noise in the other four
// (which must not show).
std::vector<int16_t> SixChannelPcm(int rate, size_t frames) {
    std::vector<int16_t> pcm;
    uint32_t noise = 7;
    for (size_t n = 0; n < frames; ++n) {
        const double t = double(n) / rate, sinceKick = std::fmod(t, 0.5);
        const double kick = sinceKick < 0.08 ? std::sin(2 * M_PI * 60 * sinceKick) * (1 - sinceKick / 0.08) : 0;
        const double tone = 0.3 * std::sin(2 * M_PI * (200 + 400 * t) * t);
        pcm.push_back(int16_t(std::lround(24000 * kick + 6000 * tone)));
        pcm.push_back(int16_t(std::lround(20000 * kick - 6000 * tone)));
        for (int c = 2; c < 6; ++c) {
            noise = noise * 1103515245u + 12345u;
            pcm.push_back(int16_t(noise >> 16));
        }
    }
    return pcm;
}

void WriteWav(const std::string& path, const std::vector<int16_t>& pcm, int channels, int rate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    EXPECT_EQ(sf_writef_short(file, pcm.data(), sf_count_t(pcm.size() / size_t(channels))),
              sf_count_t(pcm.size() / size_t(channels)));
    sf_close(file);
}

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// The library's frames are the tool's, byte for byte, however the audio comes: the demo
// track fed a block's worth at a time and drawn after each piece, with and without a
// preset of particles; a WAV's six 16-bit channels fed all at once in uneven pieces and
// drawn by time, at 50 and at 30 blocks a second; and a sample stream's blocks.
TEST(CapiFrames, EqualTheToolsRenders) {
    TempDir dir;
    const int wavRate = 11025;
    const std::vector<int16_t> wav = SixChannelPcm(wavRate, 2 * wavRate + 123);
    WriteWav(dir.File("six.wav"), wav, 6, wavRate);
    const std::string stream = std::string(QELV_TEST_DATA) + "/demo-2s.qsb";

    struct Case {
        const char* name;
        std::string toolArguments;
        const char* preset;  // shipped, or null for the built-in chain
        int fps;
        // Draws the frames through the library.
        std::function<std::vector<Frame>(qelv_engine*, size_t frames)> draw;
    };
    const auto demoInPieces = [](qelv_engine* engine, size_t frames) {
        const std::vector<float> pcm = DemoPcm(frames * 882);
        std::vector<Frame> drawn;
        for (size_t i = 0; i < frames; ++i) {
            EXPECT_EQ(qelv_feed_float(engine, pcm.data() + 2 * 882 * i, 882, 2, 44100), QELV_OK);
            drawn.push_back(Draw(engine, kWidth, kHeight));
        }
        return drawn;
    };
    const auto wavByTime = [&wav](int fps) {
        return [&wav, fps](qelv_engine* engine, size_t frames) {
            for (size_t start = 0, piece = 1; start < wav.size() / 6; start += piece, piece = piece * 3 % 4099 + 1)
                EXPECT_EQ(qelv_feed_int16(engine, wav.data() + 6 * start, std::min(piece, wav.size() / 6 - start), 6,
                                          wavRate),
                          QELV_OK);
            std::vector<Frame> drawn;
            for (size_t i = 0; i < frames; ++i) drawn.push_back(DrawUntil(engine, kWidth, kHeight, double(i) / fps));
            return drawn;
        };
    };
    const Case cases[] = {
        {"demo", "--demo --frames 60", nullptr, 50, demoInPieces},
        {"demo with particles", "--demo --frames 60", "fireflies", 50, demoInPieces},
        {"six-channel WAV", "--audio " + dir.File("six.wav"), "beat-star", 50, wavByTime(50)},
        {"six-channel WAV at 30 blocks a second", "--audio " + dir.File("six.wav") + " --fps 30", nullptr, 30,
         wavByTime(30)},
        {"sample stream", "--samples " + stream, "aurora", 50,
         [&stream](qelv_engine* engine, size_t frames) {
             const std::vector<uint8_t> blocks = FileBytes(stream);
             EXPECT_EQ(qelv_feed_blocks(engine, blocks.data(), blocks.size() / QELV_BLOCK_BYTES), QELV_OK);
             std::vector<Frame> drawn;
             for (size_t i = 0; i < frames; ++i) drawn.push_back(DrawUntil(engine, kWidth, kHeight, i / 50.0));
             return drawn;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string preset = c.preset ? std::string(" --preset ") + c.preset : "";
        const std::vector<Frame> expected = ToolFrames(dir, c.toolArguments + preset, kWidth, kHeight);
        ASSERT_GT(expected.size(), 20u);
        EnginePtr engine = MakeEngine(kWidth, kHeight);
        ASSERT_EQ(qelv_set_block_rate(engine.get(), c.fps), QELV_OK);
        // Threads share each frame's rows and change nothing of it.
        ASSERT_EQ(qelv_set_threads(engine.get(), 3), QELV_OK);
        if (c.preset) {
            ASSERT_EQ(qelv_load_shipped_preset(engine.get(), c.preset), QELV_OK) << qelv_errmsg(engine.get());
        }
        const std::vector<Frame> drawn = c.draw(engine.get(), expected.size());
        ASSERT_EQ(drawn.size(), expected.size());
        for (size_t i = 0; i < drawn.size(); ++i)
            ASSERT_EQ(std::memcmp(drawn[i].data(), expected[i].data(), drawn[i].size() * 4), 0) << "frame " << i;
    }
}

// One block a frame: the beats counted are the frames drawn on a beat, and there are some.
TEST(CapiFrames, CountsTheBeatsTheFramesWereDrawnOn) {
    EnginePtr engine = MakeEngine(kWidth, kHeight);
    const std::vector<float> pcm = DemoPcm(200 * 882);
    uint32_t beatFrames = 0;
    for (size_t i = 0; i < 200; ++i) {
        ASSERT_EQ(qelv_feed_float(engine.get(), pcm.data() + 2 * 882 * i, 882, 2, 44100), QELV_OK);
        Draw(engine.get(), kWidth, kHeight);
        beatFrames += uint32_t(qelv_last_frame_was_beat(engine.get()));
    }
    EXPECT_GE(beatFrames, 4u);  // a kick every half second, for four seconds
    EXPECT_EQ(qelv_beat_count(engine.get()), beatFrames);
}

// Audio fed far ahead of any drawing: blocks beyond the wait's limit reach the beat
// detector undrawn, and their beats count.
TEST(CapiFrames, CountsTheBeatsOfAudioNeverDrawn) {
    EnginePtr engine = MakeEngine(kWidth, kHeight);
    const size_t blocks = QELV_MAX_WAITING_BLOCKS + 200;
    const std::vector<float> pcm = DemoPcm(blocks * 882);
    ASSERT_EQ(qelv_feed_float(engine.get(), pcm.data(), blocks * 882, 2, 44100), QELV_OK);
    EXPECT_GE(qelv_beat_count(engine.get()), 4u);
}
}  // namespace
