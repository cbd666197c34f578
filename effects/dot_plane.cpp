#include "effects/dot_plane.h"

#include <algorithm>
#include <cmath>

#include "effects/line_drawing.h"
#include "effects/saturating_convert.h"
#include "core/effect_settings.h"
#include "core/page_definition.h"

namespace {
using Matrix = float[4][4];

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kSpringPerHeight = 0.003921568859368563f;  // 1/255
constexpr float kSpringStrength = 0.15000000596046448f;
constexpr float kEntrySpeedPerHeight = 0.011111111380159855f;  // 1/90
constexpr float kDotSpacing = 5.46875f;
constexpr float kFocalPerWidth = 0.6875f;
constexpr float kRotationPerSpeed = 0.2f;

float SinOf(float radians) { return float(std::sin(double(radians))); }
float CosOf(float radians) { return float(std::cos(double(radians))); }

void Multiply(const Matrix a, const Matrix b, Matrix out) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j] + a[i][3] * b[3][j];
}

// Turn about the vertical axis, then tilt towards the viewer, then move into view.
void BuildView(float rotationDegrees, float tiltDegrees, Matrix m) {
    const float a = rotationDegrees * kDegreesToRadians, t = tiltDegrees * kDegreesToRadians;
    const float ca = CosOf(a), sa = SinOf(a), ct = CosOf(t), st = SinOf(t);
    const Matrix ry = {{ca, 0, -sa, 0}, {0, 1, 0, 0}, {sa, 0, ca, 0}, {0, 0, 0, 1}};
    const Matrix rx = {{1, 0, 0, 0}, {0, ct, st, 0}, {0, -st, ct, 0}, {0, 0, 0, 1}};
    const Matrix translate = {{1, 0, 0, 0}, {0, 1, 0, -20}, {0, 0, 1, 400}, {0, 0, 0, 1}};
    Matrix turned;
    Multiply(rx, ry, turned);
    Multiply(translate, turned, m);
}

// The page turns at most ten degrees a frame, where one correction keeps the angle in
// 0..360; a preset may ask for many turns a frame, which the remainder handles the same way.
float KeepInTurn(float degrees) {
    degrees = std::fmod(degrees, 360.0f);
    if (degrees < 0.0f) degrees += 360.0f;
    return degrees;
}

// One channel of a ramp entry: m sixteenths of the way from a to b, rounded down.
uint32_t RampChannel(int32_t colourA, int32_t colourB, int shift, int m) {
    const int32_t a = (colourA >> shift) & 0xFF, b = (colourB >> shift) & 0xFF;
    return uint32_t((a * 65536 + m * (b - a) * 4096) >> 16);
}
}  // namespace

void DotPlaneEffect::settingsChanged() {
    const int32_t points[5] = {bottomColour, lowColour, midColour, highColour, topColour};
    for (int segment = 0; segment < 4; ++segment)
        for (int m = 0; m < 16; ++m) {
            const int32_t a = points[segment], b = points[segment + 1];
            ramp[segment * 16 + m] =
                RampChannel(a, b, 16, m) << 16 | RampChannel(a, b, 8, m) << 8 | RampChannel(a, b, 0, m);
        }
}

void DotPlaneEffect::advanceRows(const uint8_t* spectrum) {
    float formerFront[kGrid];
    std::copy(heights[0], heights[0] + kGrid, formerFront);
    // From the back, so every row still reads its neighbour's old values.
    for (int row = kGrid - 1; row >= 1; --row)
        for (int k = 0; k < kGrid; ++k) {
            const float h = std::max(heights[row - 1][k] + speeds[row - 1][k], 0.0f);
            heights[row][k] = h;
            speeds[row][k] = speeds[row - 1][k] - h * kSpringPerHeight * kSpringStrength;
            dotColours[row][k] = dotColours[row - 1][k];
        }
    for (int k = 0; k < kGrid; ++k) {
        const uint8_t v = std::max({spectrum[3 * k], spectrum[3 * k + 1], spectrum[3 * k + 2]});
        heights[0][k] = v;
        dotColours[0][k] = ramp[v / 4];
        speeds[0][k] = (float(v) - formerFront[k]) * kEntrySpeedPerHeight;
    }
}

void DotPlaneEffect::render(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height) {
    Matrix m;
    BuildView(rotationAngle, tiltAngle, m);
    advanceRows(samples + kSpectrumOffset0);

    const float focal = float(width) * kFocalPerWidth;
    const float cx = float(width / 2), cy = float(height / 2);
    // Back to front as seen from the viewer, so nearer dots are drawn last.
    const bool rowsForward = rotationAngle >= 90.0f && rotationAngle <= 270.0f;
    const bool columnsForward = !(rotationAngle < 180.0f);
    for (int r = 0; r < kGrid; ++r) {
        const int row = rowsForward ? r : kGrid - 1 - r;
        const float z0 = float(row - 32) * kDotSpacing;
        for (int c = 0; c < kGrid; ++c) {
            const int column = columnsForward ? c : kGrid - 1 - c;
            const float x0 = float(column - 32) * kDotSpacing, y0 = 64.0f - heights[row][column];
            const float x = m[0][0] * x0 + m[0][1] * y0 + m[0][2] * z0 + m[0][3];
            const float y = m[1][0] * x0 + m[1][1] * y0 + m[1][2] * z0 + m[1][3];
            const float z = m[2][0] * x0 + m[2][1] * y0 + m[2][2] * z0 + m[2][3];
            const float scale = focal / z;
            const int32_t px = SaturatingTrunc(x * scale + cx), py = SaturatingTrunc(y * scale + cy);
            if (px < 0 || px >= width || py < 0 || py >= height - 1) continue;
            // Dots are two pixels tall: the lower pixel takes the upper one's new value.
            uint32_t* pixel = frame + int64_t(py) * width + px;
            pixel[0] = AddPixel(pixel[0], dotColours[row][column]);
            pixel[width] = pixel[0];
        }
    }

    rotationAngle = KeepInTurn(rotationAngle + float(rotationSpeed) * kRotationPerSpeed);
    tiltAngle = KeepInTurn(tiltAngle);
}

const SettingTable* DotPlaneEffect::settingTable() const {
    static const SettingWord words[] = {
        {"rotation speed", FieldKind::Number, SettingMember(&DotPlaneEffect::rotationSpeed)},
        {"bottom colour", FieldKind::Colour, SettingMember(&DotPlaneEffect::bottomColour)},
        {"low colour", FieldKind::Colour, SettingMember(&DotPlaneEffect::lowColour)},
        {"mid colour", FieldKind::Colour, SettingMember(&DotPlaneEffect::midColour)},
        {"high colour", FieldKind::Colour, SettingMember(&DotPlaneEffect::highColour)},
        {"top colour", FieldKind::Colour, SettingMember(&DotPlaneEffect::topColour)},
    };
    static const SettingTable table = MakeSettingTable(words);
    return &table;
}

const PageDefinition* DotPlaneEffect::page() const {
    using E = DotPlaneEffect;
    static const PageBinding bindings[] = {
        {.controlId = 1014, .kind = ControlKind::Trackbar, .word = SettingMember(&E::rotationSpeed),
         .minimum = -50, .maximum = 50},
        {.controlId = 1019, .kind = ControlKind::ColourButton, .word = SettingMember(&E::topColour)},
        {.controlId = 1020, .kind = ControlKind::ColourButton, .word = SettingMember(&E::highColour)},
        {.controlId = 1021, .kind = ControlKind::ColourButton, .word = SettingMember(&E::midColour)},
        {.controlId = 1022, .kind = ControlKind::ColourButton, .word = SettingMember(&E::lowColour)},
        {.controlId = 1023, .kind = ControlKind::ColourButton, .word = SettingMember(&E::bottomColour)},
    };
    static const PageDefinition definition = MakePage(106, bindings);
    return &definition;
}
