// Files that libsndfile does not read, through libavformat: the right sound from real
// encodes, and hostile files refused without reading anything but the file named.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>

#include "player/external_program.h"
#include "player/input_file.h"
#include "player/media_decoder.h"
#include "player/progress_deadline.h"
#include "tests/player/temp_dir.h"
#include "tests/player/whole_track.h"

namespace {
// The names of the files opened in a folder while it is watched.
class OpenedFiles {
public:
    explicit OpenedFiles(const std::string& folder) : fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        EXPECT_GE(inotify_add_watch(fd, folder.c_str(), IN_OPEN), 0);
    }
    ~OpenedFiles() { close(fd); }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;)
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len) names.insert(event->name);
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        return names;
    }

private:
    int fd;
};

// Every frame through the in-process decoder alone, even where libsndfile would read the file.
bool DecodeWithLibav(const std::string& path, StereoAudio& audio, std::string& error,
                     std::chrono::steady_clock::duration limit = MediaDecoder::kNoProgressLimit) {
    InputFile input;
    MediaDecoder decoder(limit);
    if (!input.Open(path, error) || !decoder.Open(input.descriptor(), path, error)) return false;
    audio = {};
    audio.sampleRate = decoder.sampleRate();
    float interleaved[2 * 1000];
    for (int64_t frames; (frames = decoder.Read(interleaved, 1000, error)) != 0;) {
        if (frames < 0) return false;
        for (int64_t i = 0; i < frames; ++i) {
            audio.left.push_back(interleaved[2 * i]);
            audio.right.push_back(interleaved[2 * i + 1]);
        }
    }
    return true;
}

// Root mean square: 0.354 for a sine of amplitude 0.5.
double Loudness(const std::vector<float>& samples) {
    double sum = 0;
    for (const float v : samples) sum += double(v) * v;
    return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
}

// One second of the ffmpeg program's sound source, encoded as asked.
bool Encode(const std::string& source, const std::string& codec, const std::string& path) {
    const std::string command = "ffmpeg -v error -nostdin -y -f lavfi -i " + ShellQuote(source) + " " + codec + " " +
                                ShellQuote(path);
    return std::system(command.c_str()) == 0;
}

#define SKIP_WITHOUT_FFMPEG() \
    if (!FindOnPath("ffmpeg")) GTEST_SKIP() << "the ffmpeg program, which makes the files, is not installed"

TEST(MediaDecoding, EncodedFilesComeBackWhole) {
    SKIP_WITHOUT_FFMPEG();
    struct Case {
        const char* name;
        const char* codec;
        int rate;
        int slack;  // frames the encoder adds or drops at the ends (the ffmpeg program decodes as many)
    };
    const Case cases[] = {
        {"aac.m4a", "-c:a aac", 48000, 128},      {"vorbis.ogg", "-c:a libvorbis", 44100, 128},
        {"opus.opus", "-c:a libopus", 48000, 0},  {"lame.mp3", "-c:a libmp3lame", 44100, 0},
        {"flac.mka", "-c:a flac", 96000, 0},      {"wma.wma", "-c:a wmav2", 22050, 546},
        {"pcm.mov", "-c:a pcm_s16be", 8000, 0},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const std::string source = "aevalsrc=0.5*sin(2*PI*440*t):s=" + std::to_string(c.rate) + ":d=1";
        ASSERT_TRUE(Encode(source, c.codec, dir.File(c.name))) << c.name;
        StereoAudio audio;
        std::string error;
        ASSERT_TRUE(DecodeWithLibav(dir.File(c.name), audio, error)) << error;
        EXPECT_EQ(audio.sampleRate, c.rate) << c.name;
        EXPECT_NEAR(double(audio.left.size()), c.rate, c.slack) << c.name;
        EXPECT_NEAR(Loudness(audio.left), 0.354, 0.02) << c.name;
        EXPECT_EQ(audio.left, audio.right) << c.name;
    }
}

// A chained Ogg may change its rate part-way: the rest is resampled to the first rate.
TEST(MediaDecoding, ARateChangePartWayIsResampledToTheFirst) {
    SKIP_WITHOUT_FFMPEG();
    TempDir dir;
    for (const char* rate : {"44100", "22050"})
        ASSERT_TRUE(Encode(std::string("aevalsrc=0.5*sin(2*PI*440*t):d=1:s=") + rate, "-c:a libvorbis",
                           dir.File(std::string(rate) + ".ogg")));
    {
        std::ofstream chained(dir.File("chained.ogg"), std::ios::binary);
        for (const char* part : {"44100.ogg", "22050.ogg"}) chained << std::ifstream(dir.File(part)).rdbuf();
    }
    StereoAudio audio;
    std::string error;
    ASSERT_TRUE(DecodeWithLibav(dir.File("chained.ogg"), audio, error)) << error;
    EXPECT_EQ(audio.sampleRate, 44100);
    // The demuxer trims no padding from the second part (the ffmpeg program neither).
    EXPECT_NEAR(double(audio.left.size()), 2 * 44100, 1024);
    const std::vector<float> second(audio.left.begin() + 44100 + 256, audio.left.end());
    EXPECT_NEAR(Loudness(second), 0.354, 0.02);
}

// More channels are mixed down with the library's matrix (centre and surrounds at -3 dB,
// scaled so no mix passes full scale); mono goes to both sides whole; channels in no
// known arrangement go to both sides equally.
TEST(MediaDecoding, ChannelsMixDownToStereo) {
    SKIP_WITHOUT_FFMPEG();
    const std::string sine = "0.5*sin(2*PI*440*t)";
    struct Case {
        const char* name;
        std::string channels;  // the source's expression for each channel, and its layout
        const char* codec;
        double left, right;  // loudness of each side
    };
    const Case cases[] = {
        {"mono.m4a", sine + ":c=mono", "-c:a aac", 0.354, 0.354},
        {"front-left.m4a", sine + "|0|0|0|0|0:c=5.1", "-c:a aac", 0.354 / (1 + 2 * M_SQRT1_2), 0},
        {"centre.m4a", "0|0|" + sine + "|0|0|0:c=5.1", "-c:a aac", 0.354 * M_SQRT1_2 / (1 + 2 * M_SQRT1_2),
         0.354 * M_SQRT1_2 / (1 + 2 * M_SQRT1_2)},
        {"nine.mka", sine + "|0|0|0|0|0|0|0|0", "-c:a pcm_s16le", 0.354 / 9, 0.354 / 9},
    };
    TempDir dir;
    for (const Case& c : cases) {
        ASSERT_TRUE(Encode("aevalsrc=" + c.channels + ":s=48000:d=1", c.codec, dir.File(c.name))) << c.name;
        StereoAudio audio;
        std::string error;
        ASSERT_TRUE(DecodeAudioFile(dir.File(c.name), audio, error)) << error;
        EXPECT_EQ(audio.sampleRate, 48000) << c.name;
        EXPECT_NEAR(Loudness(audio.left), c.left, 0.01) << c.name;
        EXPECT_NEAR(Loudness(audio.right), c.right, 0.01) << c.name;
    }
}

// Texts that name other files (a live playlist that would be waited on for ever, scripts
// that splice in a sibling or a pipe) are refused at once, and nothing but the named
// file is opened.
TEST(MediaDecoding, FilesThatNameOtherFilesAreRefused) {
    struct Case {
        const char* name;
        const char* text;
        const char* sibling;
        bool pipe;  // the sibling is a named pipe, which would block whoever opened it
        const char* format;
    };
    const Case cases[] = {
        {"live.m4a", "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\nsegment.wav\n", "segment.wav", false, "'hls'"},
        {"splice.m4a", "ffconcat version 1.0\nfile other.wav\n", "other.wav", false, "'concat'"},
        {"wait.m4a", "ffconcat version 1.0\nfile pipe\n", "pipe", true, "'concat'"},
    };
    TempDir dir;
    StereoAudio tone;
    tone.sampleRate = 8000;
    tone.left = tone.right = std::vector<float>(8000, 0.25f);
    for (const Case& c : cases) {
        std::string error;
        if (c.pipe)
            ASSERT_EQ(mkfifo(dir.File(c.sibling).c_str(), 0600), 0);
        else
            ASSERT_TRUE(WriteWav(dir.File(c.sibling), tone, error)) << error;
        std::ofstream(dir.File(c.name)) << c.text;
        const OpenedFiles opened(dir.Path());
        StereoAudio audio;
        EXPECT_FALSE(DecodeAudioFile(dir.File(c.name), audio, error)) << c.name;
        EXPECT_NE(error.find("'" + dir.File(c.name) + "'"), std::string::npos) << error;
        EXPECT_NE(error.find(c.format), std::string::npos) << error;
        EXPECT_EQ(opened.Names(), std::set<std::string>{c.name});
    }
}

TEST(MediaDecoding, ACallWithoutProgressGivesUp) {
    const ProgressDeadline::Clock::time_point start;
    ProgressDeadline deadline(std::chrono::seconds(10));
    deadline.Reset(start);
    EXPECT_FALSE(deadline.Expired(start + std::chrono::milliseconds(9999)));
    EXPECT_TRUE(deadline.Expired(start + std::chrono::seconds(10)));
    deadline.Reset(start + std::chrono::seconds(5));  // progress
    EXPECT_FALSE(deadline.Expired(start + std::chrono::seconds(10)));

    // With no time allowed the decoder stops at its first read, and says why.
    SKIP_WITHOUT_FFMPEG();
    TempDir dir;
    ASSERT_TRUE(Encode("aevalsrc=0:d=1", "-c:a aac", dir.File("a.m4a")));
    StereoAudio audio;
    std::string error;
    EXPECT_FALSE(DecodeWithLibav(dir.File("a.m4a"), audio, error, std::chrono::seconds(0)));
    EXPECT_EQ(error, "cannot read '" + dir.File("a.m4a") + "': no progress in 0 s, given up");
}
}  // namespace
