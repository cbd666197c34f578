#include "effects/simple_vis.h"

#include <algorithm>

#include "effects/line_drawing.h"
#include "effects/pixel_spans.h"
#include "core/mmx.h"
#include "core/effect_settings.h"
#include "core/page_definition.h"
#include "core/row_bands.h"

namespace {
// Scale factors are single precision; the products that use them are formed in double
// and truncated toward zero. Every product here is bounded by the frame size.
int32_t Trunc(double v) { return static_cast<int32_t>(v); }

// A waveform byte is a signed sample: inverting its top bit maps -128..127 to 0..255
// and silence to 128.
int32_t Unsigned(uint8_t sample) { return sample ^ 0x80; }

struct Frame {
    uint32_t* pixels;
    int32_t width, height;
    RenderResources* resources;
    void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) const {
        AddLine(pixels, x1, y1, x2, y2, width, height, colour);
    }
};

// What differs between the two channels.
struct Channel {
    const uint8_t* spectrum;
    const uint8_t* waveform;
    uint32_t colour;
    int32_t mid;    // spectra grow from this row
    float slope;    // rows per spectrum step: upwards for channel 0, downwards for 1
    int32_t nudge;  // one row away from the middle
    int32_t base;   // top row of the channel's oscilloscope band
    float unit;     // rows per waveform step
};

// One vertical line per column x, from row from to row to(x). The packed path adds the
// same pixels a row at a time across a run of columns, instead of down each column, and
// the threads share the rows that the run's lines reach: each pixel takes one addition,
// so the cut changes nothing.
template <typename RowOf>
void ColumnLines(const Frame& f, uint32_t colour, int32_t from, RowOf to) {
    if (!mmxAvailable) {
        for (int32_t x = 0; x < f.width; ++x) f.Line(x, from, x, to(x), colour);
        return;
    }
    constexpr int32_t kColumns = 1024;
    int32_t top[kColumns], bottom[kColumns];
    for (int32_t x0 = 0; x0 < f.width; x0 += kColumns) {
        const int32_t n = std::min(kColumns, f.width - x0);
        int32_t reachedTop = f.height, reachedEnd = 0;
        for (int32_t i = 0; i < n; ++i) {
            const RowSpan rows = VerticalRows(from, to(x0 + i), f.height);
            top[i] = rows.top;
            bottom[i] = std::max(rows.top, rows.bottom);
            if (rows.top >= rows.bottom) continue;
            reachedTop = std::min(reachedTop, rows.top);
            reachedEnd = std::max(reachedEnd, rows.bottom);
        }
        if (reachedTop >= reachedEnd) continue;
        ForEachBand(f.resources, size_t(reachedEnd - reachedTop), 1, [&](int, size_t first, size_t end) {
            AddColumnSpans(f.pixels + x0, f.width, top, bottom, n, colour, reachedTop + int32_t(first),
                           reachedTop + int32_t(end));
        });
    }
}

void SolidSpectrum(const Frame& f, const Channel& c) {
    const float step = static_cast<float>(200.0 / f.width);
    ColumnLines(f, c.colour, c.mid, [&](int32_t x) {
        const int32_t v = c.spectrum[Trunc(double(x) * step)];
        return c.mid + c.nudge + Trunc(v * double(c.slope) - 1.0);
    });
}

void LineSpectrum(const Frame& f, const Channel& c) {
    // About width / 200 columns per bin, by way of the oscilloscope's 288 samples.
    const float perSample = static_cast<float>(1.0 / static_cast<float>(288.0 / f.width));
    const float spacing = static_cast<float>(double(perSample) * double(1.44f));
    auto rowOf = [&](int k) { return c.mid + c.nudge + Trunc(c.spectrum[k] * double(c.slope)); };
    int32_t x0 = 0, y0 = rowOf(0);
    for (int k = 1; k < 200; ++k) {
        const int32_t x = Trunc(k * double(spacing)), y = rowOf(k);
        f.Line(x0, y0, x, y, c.colour);
        x0 = x;
        y0 = y;
    }
}

int32_t SilentRow(const Channel& c) { return c.base + Trunc(128 * double(c.unit)); }
int32_t WaveRow(const Channel& c, int i) { return c.base + Trunc(Unsigned(c.waveform[i]) * double(c.unit)); }

void LineOscilloscope(const Frame& f, const Channel& c) {
    const float spacing = static_cast<float>(1.0 / static_cast<float>(288.0 / f.width));
    int32_t x0 = 0, y0 = SilentRow(c);
    for (int j = 0; j < 288; ++j) {
        const int32_t x = Trunc(j * double(spacing)), y = WaveRow(c, j);
        f.Line(x0, y0, x, y, c.colour);
        x0 = x;
        y0 = y;
    }
}

void SolidOscilloscope(const Frame& f, const Channel& c) {
    const float step = static_cast<float>(288.0 / f.width);
    ColumnLines(f, c.colour, SilentRow(c), [&](int32_t x) { return WaveRow(c, Trunc(double(x) * step)); });
}
}  // namespace

void SimpleVisEffect::render(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    void (*draw)(const Frame&, const Channel&);
    switch (style) {
        case kSolidSpectrum: draw = SolidSpectrum; break;
        case kLineSpectrum: draw = LineSpectrum; break;
        case kLineOscilloscope: draw = LineOscilloscope; break;
        case kSolidOscilloscope: draw = SolidOscilloscope; break;
        default: return;
    }
    const Frame f{frame, width, height, resources};
    const float d = static_cast<float>(height * 0.001953125);  // height / 512
    const int32_t mid = height / 2;
    const int32_t enabled = enabledChannels;
    if (enabled & 1) {
        const uint32_t colour = uint32_t(leftColour);
        draw(f, Channel{samples + kSpectrumOffset0, samples + kWaveformOffset0, colour, mid, -d, -1, 0, d});
    }
    if (enabled & 2) {
        const uint32_t colour = uint32_t(rightColour);
        draw(f, Channel{samples + kSpectrumOffset1, samples + kWaveformOffset1, colour, mid, d, 1, height / 2, d});
    }
}

const SettingTable* SimpleVisEffect::settingTable() const {
    static const SettingWord words[] = {
        {"enabled channels", FieldKind::Flags, SettingMember(&SimpleVisEffect::enabledChannels)},
        {"left colour", FieldKind::Colour, SettingMember(&SimpleVisEffect::leftColour)},
        {"right colour", FieldKind::Colour, SettingMember(&SimpleVisEffect::rightColour)},
        {"style", FieldKind::Number, SettingMember(&SimpleVisEffect::style)},
    };
    static const SettingTable table = MakeSettingTable(words);
    return &table;
}

const PageDefinition* SimpleVisEffect::page() const {
    static constexpr auto kChannels = SettingMember(&SimpleVisEffect::enabledChannels);
    static constexpr auto kStyle = SettingMember(&SimpleVisEffect::style);
    static const PageBinding bindings[] = {
        {.controlId = 1009, .kind = ControlKind::CheckBox, .word = kChannels, .mask = 1},
        {.controlId = 1010, .kind = ControlKind::CheckBox, .word = kChannels, .mask = 2},
        {.controlId = 1011, .kind = ControlKind::ColourButton, .word = SettingMember(&SimpleVisEffect::leftColour)},
        {.controlId = 1012, .kind = ControlKind::ColourButton, .word = SettingMember(&SimpleVisEffect::rightColour)},
        {.controlId = 1013, .kind = ControlKind::RadioButton, .word = kStyle, .value = kSolidSpectrum},
        {.controlId = 1014, .kind = ControlKind::RadioButton, .word = kStyle, .value = kLineSpectrum},
        {.controlId = 1015, .kind = ControlKind::RadioButton, .word = kStyle, .value = kLineOscilloscope},
        {.controlId = 1016, .kind = ControlKind::RadioButton, .word = kStyle, .value = kSolidOscilloscope},
    };
    static const PageDefinition definition = MakePage(103, bindings);
    return &definition;
}
