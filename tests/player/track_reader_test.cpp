#include <gtest/gtest.h>

#include <fstream>

#include "player/track_reader.h"
#include "tests/player/temp_dir.h"

namespace {
void Put32(std::string& bytes, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes += char(v >> (8 * i));
}

// 16-bit stereo PCM of a second of silence at the 44.1 kHz rate, whatever rate the header
// claims.
std::string Wav(uint32_t rate) {
    const uint32_t data = 44100 * 4;
    std::string b = "RIFF";
    Put32(b, 36 + data);
    b += "WAVEfmt ";
    Put32(b, 16);
    b += std::string("\1\0\2\0", 4);
    Put32(b, rate);
    Put32(b, rate * 4);
    b += std::string("\4\0\20\0", 4);
    b += "data";
    Put32(b, data);
    return b + std::string(data, '\0');
}

// The players size buffers by the rate: one no sound has is refused, naming the file.
TEST(TrackReader, RefusesARateNoSoundHas) {
    TempDir dir;
    for (const uint32_t rate : {8000u, 44100u, 768000u, 768001u, 2000000000u}) {
        const std::string path = dir.File(std::to_string(rate) + ".wav");
        std::ofstream(path, std::ios::binary) << Wav(rate);
        TrackReader track;
        std::string error;
        const bool usable = rate <= 768000;
        EXPECT_EQ(track.OpenFile(path, error), usable) << rate << ": " << error;
        if (usable) {
            EXPECT_EQ(track.sampleRate(), int(rate));
        } else {
            EXPECT_NE(error.find("'" + path + "' claims a sample rate of " + std::to_string(rate) + " Hz"),
                      std::string::npos)
                << error;
        }
    }
}
}  // namespace
