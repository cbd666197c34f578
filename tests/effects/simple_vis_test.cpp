#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "effects/simple_vis.h"
#include "core/effect_settings.h"

namespace {
// One channel in red, the other in blue, so each can be found even where it added up.
constexpr uint32_t kLeft = 0x010000, kRight = 0x000001;
uint32_t Channel(uint32_t colour) { return colour * 0xFF; }

struct Picture {
    int width, height;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
    // Rows of column x that the colour reached.
    std::set<int> rows(int x, uint32_t colour) const {
        std::set<int> r;
        for (int y = 0; y < height; ++y)
            if (at(x, y) & Channel(colour)) r.insert(y);
        return r;
    }
    std::set<int> columns(int y, uint32_t colour) const {
        std::set<int> c;
        for (int x = 0; x < width; ++x)
            if (at(x, y) & Channel(colour)) c.insert(x);
        return c;
    }
    bool black() const {
        for (uint32_t p : pixels)
            if (p) return false;
        return true;
    }
};

std::set<int> Range(int first, int last) {
    std::set<int> r;
    for (int i = first; i <= last; ++i) r.insert(i);
    return r;
}

struct SimpleVis : ::testing::Test {
    SimpleVisEffect effect;
    uint8_t samples[kSnapshotBytes] = {};
    uint8_t* spectrum(int channel) { return samples + (channel ? kSpectrumOffset1 : kSpectrumOffset0); }
    uint8_t* waveform(int channel) { return samples + (channel ? kWaveformOffset1 : kWaveformOffset0); }
    void SetUp() override {
        effect.leftColour = kLeft;
        effect.rightColour = kRight;
    }
    Picture Draw(int width, int height) {
        Picture p{width, height, std::vector<uint32_t>(size_t(width) * height, 0)};
        effect.render(samples, p.pixels.data(), width, height);
        return p;
    }
};

TEST_F(SimpleVis, StartsWithBothChannelsWhiteAsSolidSpectrum) {
    SimpleVisEffect fresh;
    EXPECT_STREQ(fresh.name(), "SimpleVis v0.0");
    EXPECT_EQ(fresh.enabledChannels, 3);
    EXPECT_EQ(fresh.leftColour, 0xFFFFFF);
    EXPECT_EQ(fresh.rightColour, 0xFFFFFF);
    EXPECT_EQ(fresh.style, 0);
}

// Height 240: middle row 120, 0.46875 rows per spectrum step.
TEST_F(SimpleVis, SolidSpectrumOfSilenceLeavesTwoLeftRowsAndNoRightOnes) {
    const Picture p = Draw(8, 240);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(p.rows(x, kLeft), Range(118, 119));
        EXPECT_TRUE(p.rows(x, kRight).empty());
    }
}

TEST_F(SimpleVis, SolidSpectrumAtFullScaleFillsBothHalvesUpToTheLastRow) {
    std::memset(samples, 255, 2 * kBins);
    const Picture p = Draw(8, 240);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(p.rows(x, kLeft), Range(0, 119));
        EXPECT_EQ(p.rows(x, kRight), Range(120, 238));  // the last row is never drawn
    }
}

TEST_F(SimpleVis, SolidSpectrumSpreadsTwoHundredBinsOverTheWidth) {
    // Height 512: one row per step. Width 100: column x shows bin 2x.
    for (int bin = 0; bin < 200; ++bin) spectrum(0)[bin] = uint8_t(bin);
    spectrum(1)[0] = 1;  // less than a row: still one pixel
    spectrum(1)[2] = 3;
    const Picture p = Draw(100, 512);
    EXPECT_EQ(p.rows(0, kLeft), Range(254, 255));
    EXPECT_EQ(p.rows(1, kLeft), Range(252, 255));      // bin 2: 2 + 2 rows
    EXPECT_EQ(p.rows(99, kLeft), Range(56, 255));      // bin 198: 2 + 198 rows
    EXPECT_EQ(p.rows(0, kRight), Range(256, 256));
    EXPECT_EQ(p.rows(1, kRight), Range(256, 258));
    EXPECT_TRUE(p.rows(2, kRight).empty());
}

TEST_F(SimpleVis, LineSpectrumPlacesTwoHundredPointsByWidth) {
    // Even bins silent, odd bins at 100: the polyline zigzags, and its bottom and top
    // rows hold exactly the even and the odd points.
    effect.style = SimpleVisEffect::kLineSpectrum;
    for (int bin = 1; bin < 200; bin += 2) spectrum(0)[bin] = 100;
    for (int width : {400, 200}) {
        const int spacing = width / 200;
        std::set<int> even, odd;
        for (int k = 0; k < 200; ++k) (k % 2 ? odd : even).insert(k * spacing);
        const Picture p = Draw(width, 512);
        EXPECT_EQ(p.columns(255, kLeft), even) << width;  // 256 - 1 - 0
        EXPECT_EQ(p.columns(155, kLeft), odd) << width;   // 256 - 1 - 100
        EXPECT_EQ(*p.columns(257, kRight).rbegin(), 199 * spacing) << width;  // silent right channel
    }
}

TEST_F(SimpleVis, LineOscilloscopeOfSilenceIsAHorizontalLinePerQuarter) {
    effect.style = SimpleVisEffect::kLineOscilloscope;
    std::memset(waveform(0), 0, 2 * kBins);
    const Picture p = Draw(64, 40);
    // Samples spread over 287/288 of the width: the last one lands on column 63.
    EXPECT_EQ(p.columns(10, kLeft), Range(0, 63));
    EXPECT_EQ(p.columns(30, kRight), Range(0, 63));
    int lit = 0;
    for (int y = 0; y < 40; ++y) lit += int(p.columns(y, kLeft | kRight).size());
    EXPECT_EQ(lit, 2 * 64);  // nothing beyond the two lines
}

TEST_F(SimpleVis, LineOscilloscopeStartsFromTheSilentRow) {
    effect.style = SimpleVisEffect::kLineOscilloscope;
    effect.enabledChannels = 1;
    std::memset(waveform(0), 0x80, kBins);  // the lowest sample: row 0 of the band
    const Picture p = Draw(288, 512);
    EXPECT_EQ(p.rows(0, kLeft), Range(0, 127));  // from (0, 128) up to (0, 0)
    EXPECT_EQ(p.columns(0, kLeft), Range(0, 287));
}

TEST_F(SimpleVis, SolidOscilloscopeHangsEachColumnFromTheSilentRow) {
    effect.style = SimpleVisEffect::kSolidOscilloscope;
    // Width 576: column x shows sample x / 2. Height 512: one row per step.
    waveform(0)[0] = 0x80;  // -128: the top of the band
    waveform(0)[1] = 0x7F;  // 127: the bottom
    waveform(1)[0] = 0x7F;
    const Picture p = Draw(576, 512);
    EXPECT_EQ(p.rows(0, kLeft), Range(0, 127));
    EXPECT_EQ(p.rows(1, kLeft), Range(0, 127));
    EXPECT_EQ(p.rows(2, kLeft), Range(128, 254));
    EXPECT_TRUE(p.rows(4, kLeft).empty());  // silence: a single point
    EXPECT_EQ(p.rows(0, kRight), Range(384, 510));
    EXPECT_TRUE(p.rows(2, kRight).empty());
}

TEST_F(SimpleVis, EnabledChannelsChooseTheHalves) {
    std::memset(samples, 255, 2 * kBins);
    effect.enabledChannels = 0;
    EXPECT_TRUE(Draw(8, 240).black());
    effect.enabledChannels = 4;  // bits above 1 mean nothing
    EXPECT_TRUE(Draw(8, 240).black());
    effect.enabledChannels = 2;
    const Picture p = Draw(8, 240);
    EXPECT_TRUE(p.rows(3, kLeft).empty());
    EXPECT_EQ(p.rows(3, kRight), Range(120, 238));
}

TEST_F(SimpleVis, StylesOutsideTheFourDrawNothing) {
    std::memset(samples, 255, 2 * kBins);
    for (int32_t style : {4, -1}) {
        effect.style = style;
        EXPECT_TRUE(Draw(16, 64).black()) << style;
    }
}

TEST_F(SimpleVis, AddsOntoTheFrameWithSaturation) {
    effect.leftColour = 0x80FF10;
    effect.enabledChannels = 1;
    Picture p = Draw(8, 240);
    effect.render(samples, p.pixels.data(), 8, 240);
    EXPECT_EQ(p.at(0, 119), 0xFFFF20u);
    EXPECT_EQ(p.at(0, 117), 0u);
}

std::vector<uint8_t> Payload(std::initializer_list<int32_t> words) {
    std::vector<uint8_t> bytes(4 * words.size());
    size_t i = 0;
    for (int32_t w : words) WriteInt32LE(bytes.data() + 4 * i++, w);
    return bytes;
}

TEST(SimpleVisPayload, ReadsOnlyTheWordsThatAreWhole) {
    const std::vector<uint8_t> data = Payload({1, 0x112233, 0x445566, 2, 99});
    for (int length = 4; length <= 7; ++length) {
        SimpleVisEffect e;
        e.load(data.data(), length);
        EXPECT_EQ(e.enabledChannels, 1);
        EXPECT_EQ(e.leftColour, 0xFFFFFF);
    }
    for (int length = 8; length <= 11; ++length) {
        SimpleVisEffect e;
        e.load(data.data(), length);
        EXPECT_EQ(e.leftColour, 0x112233);
        EXPECT_EQ(e.rightColour, 0xFFFFFF);
    }
    SimpleVisEffect e;
    e.load(data.data(), 20);
    EXPECT_EQ(e.rightColour, 0x445566);
    EXPECT_EQ(e.style, 2);
    uint8_t out[32] = {};
    ASSERT_EQ(e.save(out), 16);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 16), std::vector<uint8_t>(data.begin(), data.begin() + 16));
}

TEST(SimpleVisPayload, TakesValuesWithoutRangeChecks) {
    const std::vector<uint8_t> data = Payload({-1, 0x7F000000, 0, -1});
    SimpleVisEffect e;
    e.load(data.data(), 16);
    EXPECT_EQ(e.enabledChannels, -1);
    EXPECT_EQ(e.leftColour, 0x7F000000);
    EXPECT_EQ(e.style, -1);
}
}  // namespace

namespace {
// A fixed scene at odd sizes: the same checksums on every build show that the single-
// precision factors and truncations come out alike everywhere.
uint64_t SceneChecksum(int32_t style, int32_t width, int32_t height) {
    uint8_t samples[kSnapshotBytes];
    uint32_t state = 1;
    for (uint8_t& b : samples) {
        state = state * 214013u + 2531011u;
        b = uint8_t(state >> 16);
    }
    SimpleVisEffect effect;
    effect.style = style;
    effect.leftColour = 0x123456;
    effect.rightColour = 0x654321;
    std::vector<uint32_t> frame(size_t(width) * height);
    effect.render(samples, frame.data(), width, height);
    uint64_t hash = 14695981039346656037u;  // FNV-1a over the words
    for (uint32_t p : frame) hash = (hash ^ p) * 1099511628211u;
    return hash;
}

TEST(SimpleVisScene, GivesTheSameFramesOnEveryBuild) {
    const uint64_t expected[4][2] = {
        {4229108112571759482u, 2213024413829729214u},
        {9182297924462056907u, 14295610577594642723u},
        {2226388149319779314u, 1136486741208981740u},
        {13610873076613877410u, 14556283244550114117u},
    };
    for (int32_t style = 0; style < 4; ++style) {
        EXPECT_EQ(SceneChecksum(style, 333, 217), expected[style][0]) << style;
        EXPECT_EQ(SceneChecksum(style, 1021, 767), expected[style][1]) << style;
    }
}
}  // namespace
