#include "effects/flyin_particle.h"

#include <algorithm>

#include "effects/line_drawing.h"
#include "core/render_resources.h"
#include "effects/saturating_convert.h"
#include "core/effect_settings.h"
#include "core/page_definition.h"

namespace {
// Coverage of the soft disc, 0..255, row by row.
constexpr uint8_t kCoverage[64] = {
    0,   31,  171, 243, 247, 183, 47,  0,    //
    31,  231, 255, 255, 255, 255, 243, 51,   //
    171, 255, 255, 255, 255, 255, 255, 203,  //
    243, 255, 255, 255, 255, 255, 255, 255,  //
    247, 255, 255, 255, 255, 255, 255, 255,  //
    183, 255, 255, 255, 255, 255, 255, 215,  //
    47,  243, 255, 255, 255, 255, 251, 71,   //
    0,   51,  203, 255, 255, 215, 71,  0,    //
};

constexpr float kTargetStep = 0.020833334f;  // 1/48
constexpr double kSpring = 0.004;
constexpr double kDamping = 0.991;
constexpr double kAtRest = 0.0000001;
constexpr int32_t kLargestDrawnSize = 128;

// A new anchor within 16/48 of the centre.
double RandomTarget(ParticleRandom& random) { return double(float(random.Next() % 33 - 16) * kTargetStep); }

void Spring(double& velocity, double position, double target) {
    if (!(-kAtRest < position && position < kAtRest)) velocity = velocity - (position - target) * kSpring;
}

bool Inside(int64_t x, int64_t y, int32_t width, int32_t height) {
    return x >= 0 && x < width && y >= 0 && y < height;
}
}  // namespace

void FlyinParticleEffect::settingsChanged() {
    const uint32_t c = uint32_t(colour);
    for (int i = 0; i < kSpriteSide * kSpriteSide; ++i) {
        const uint32_t b = kCoverage[i];
        const uint32_t red = ((c >> 16) & 0xFF) * b / 256, green = ((c >> 8) & 0xFF) * b / 256,
                       blue = (c & 0xFF) * b / 256;
        sprite[i] = red << 16 | green << 8 | blue;
    }
}

void FlyinParticleEffect::load(const uint8_t* data, int32_t length) {
    Effect::load(data, length);
    currentSize = size;
}

void FlyinParticleEffect::render(const uint8_t*, uint32_t* frame, int32_t width, int32_t height) {
    if (!(flags & 1)) return;
    const int32_t radius = std::min(height / 2, (3 * width) / 8);
    if (beat) {
        targetX = RandomTarget(resources->particleRandom);
        targetY = RandomTarget(resources->particleRandom);
    }
    Spring(velocityX, positionX, targetX);
    Spring(velocityY, positionY, targetY);
    positionX += velocityX;
    positionY += velocityY;
    velocityX *= kDamping;
    velocityY *= kDamping;
    // A preset's distance can throw the point far outside the frame, hence 64 bits.
    const int64_t x = width / 2 + int64_t(SaturatingTrunc(radius * positionX * distance / 32));
    const int64_t y = height / 2 + int64_t(SaturatingTrunc(double(radius) * distance / 32 * positionY));

    if (beat && (flags & 2)) currentSize = beatSize;
    const int32_t drawnSize = currentSize;
    currentSize = int32_t((int64_t(size) + drawnSize) / 2);  // settles one short of size from below
    draw(frame, width, height, x, y, drawnSize);
}

void FlyinParticleEffect::draw(uint32_t* frame, int32_t width, int32_t height, int64_t x, int64_t y,
                               int32_t drawnSize) const {
    if (drawnSize <= 1) {
        if (Inside(x, y, width, height))
            frame[y * width + x] = AddPixel(frame[y * width + x], uint32_t(colour));
        return;
    }
    const int32_t side = std::min(drawnSize, kLargestDrawnSize);
    const int64_t left = x - side / 2, top = y - side / 2;
    // A 16.16 walk through the sprite's eight cells per axis.
    const int32_t step = 524288 / side;
    for (int32_t j = 0; j < side; ++j) {
        const int32_t spriteRow = (j * step) >> 16;
        for (int32_t i = 0; i < side; ++i) {
            if (!Inside(left + i, top + j, width, height)) continue;
            uint32_t& pixel = frame[(top + j) * width + left + i];
            pixel = AddPixel(pixel, sprite[spriteRow * kSpriteSide + ((i * step) >> 16)]);
        }
    }
}

const SettingTable* FlyinParticleEffect::settingTable() const {
    static const SettingWord words[] = {
        {"flags", FieldKind::Flags, SettingMember(&FlyinParticleEffect::flags)},
        {"colour", FieldKind::Colour, SettingMember(&FlyinParticleEffect::colour)},
        {"distance", FieldKind::Number, SettingMember(&FlyinParticleEffect::distance)},
        {"size", FieldKind::Number, SettingMember(&FlyinParticleEffect::size)},
        {"beat size", FieldKind::Number, SettingMember(&FlyinParticleEffect::beatSize)},
    };
    static const SettingTable table = MakeSettingTable(words);
    return &table;
}

const PageDefinition* FlyinParticleEffect::page() const {
    using E = FlyinParticleEffect;
    // A new size shows at once, not only after the next beat.
    constexpr auto kCurrentSize = SettingMember(&E::currentSize);
    static const PageBinding bindings[] = {
        {.controlId = 1009, .kind = ControlKind::CheckBox, .word = SettingMember(&E::flags), .mask = 1},
        {.controlId = 1018, .kind = ControlKind::CheckBox, .word = SettingMember(&E::flags), .mask = 2},
        {.controlId = 1011, .kind = ControlKind::ColourButton, .word = SettingMember(&E::colour)},
        {.controlId = 1014, .kind = ControlKind::Trackbar, .word = SettingMember(&E::distance), .minimum = 1,
         .maximum = 32},
        {.controlId = 1015, .kind = ControlKind::Trackbar, .word = SettingMember(&E::size), .minimum = 1,
         .maximum = 128, .alsoWord = kCurrentSize},
        {.controlId = 1016, .kind = ControlKind::Trackbar, .word = SettingMember(&E::beatSize), .minimum = 1,
         .maximum = 128, .alsoWord = kCurrentSize},
    };
    static const PageDefinition definition = MakePage(113, bindings);
    return &definition;
}
