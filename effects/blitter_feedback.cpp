#include "effects/blitter_feedback.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "effects/blitter_rows.h"
#include "effects/vector_isa.h"
#include "core/mmx.h"
#include "core/effect_settings.h"
#include "core/page_definition.h"
#include "core/row_bands.h"

namespace {
// The largest direction whose zoom-out scale (d + 96) x 512 fits 32 bits. Preset values
// beyond it shrink the picture to nothing on any real frame anyway.
constexpr int32_t kMaxDirection = std::numeric_limits<int32_t>::max() / 512 - 96;
constexpr int32_t kUnscaledDirection = 32;
constexpr int32_t kGlideStep = 3;

// Halves of both words added; blue is averaged exactly, green and red lose their low bit.
inline uint32_t Average(uint32_t a, uint32_t b) {
    return ((a & 0xFEFEFEFFu) + (b & 0xFEFEFEFFu)) >> 1;
}

// One row of a scaled picture: the source position starts at start and advances by step
// per pixel (16.16 fixed point); blended, each value is averaged with the frame pixel it
// will replace.
void ScaleRow(uint32_t* out, const uint32_t* source, const uint32_t* here, int32_t count, uint64_t start,
              uint64_t step, bool blended) {
    uint64_t x = start;
    if (blended) {
        for (int32_t i = 0; i < count; ++i, x += step) out[i] = Average(source[x >> 16], here[i]);
    } else {
        for (int32_t i = 0; i < count; ++i, x += step) out[i] = source[x >> 16];
    }
}

void ScaleRowPlain(uint32_t* out, const uint32_t* here, const uint32_t* source, int32_t, int32_t count,
                   const ColumnWalk& walk, bool blended) {
    ScaleRow(out, source, here, count, walk.start, walk.step, blended);
}

// The largest step the vector rows take: zooming out to direction 64.
constexpr uint64_t kMaxLaneStep = 160 * 512;

// The packed path scales the frame in place, without the copy back. Output row r is
// frame row top + r, count pixels from column left, read from frame row
// (y0 + r x step) >> 16 with the column walk x0 + i x step. Within a band of output rows,
// the rows that read a source at or below themselves are drawn top down, then the rest
// bottom up, so that every source row of the band is read before the band overwrites it.
// The rows that must outlive that order are first copied to the same rows of spare:
// those that rows of other bands read, and those that read themselves (the rows of the
// second pass that read such a row take the copy too). Then no band reads what another
// writes, and one band draws exactly what the whole frame in one pass draws.
struct InPlaceScale {
    uint32_t* frame;
    uint32_t* spare;
    int32_t width, top, left, rows, count;
    uint64_t y0, step;
    bool blended;
    ColumnWalk walk;
    ScaledRow scaleRow = nullptr;

    InPlaceScale(uint32_t* frame, uint32_t* spare, int32_t width, int32_t top, int32_t left, int32_t rows,
                 int32_t count, uint64_t y0, uint64_t x0, uint64_t step, bool blended)
        : frame(frame), spare(spare), width(width), top(top), left(left), rows(rows), count(count), y0(y0),
          step(step), blended(blended) {
        scaleRow = ScaleRowPlain;
        walk.start = x0;
        walk.step = step;
        if (step <= kMaxLaneStep) {
            PrepareColumnWalk(walk, x0, step);
            scaleRow = ScaleRowSse2;
#if defined(__x86_64__)
            if (Avx2Usable()) scaleRow = ScaleRowAvx2;
#endif
        }
    }

    int64_t SourceOf(int32_t r) const { return int64_t((y0 + uint64_t(r) * step) >> 16); }
    uint32_t* Row(uint32_t* pixels, int64_t y) const { return pixels + size_t(y) * size_t(width); }
    bool Drawn(int64_t y) const { return y >= top && y < int64_t(top) + rows; }
    bool ReadsItself(int64_t y) const { return Drawn(y) && SourceOf(int32_t(y - top)) == y; }

    // Output rows first .. end - 1 are one band.
    void CopyShared(int32_t first, int32_t end) const {
        for (int32_t r = first; r < end; ++r) {
            const int64_t y = int64_t(top) + r;
            const bool readBefore = first > 0 && y <= SourceOf(first - 1);
            const bool readAfter = end < rows && y >= SourceOf(end);
            if (readBefore || readAfter || ReadsItself(y)) std::memcpy(Row(spare, y), Row(frame, y), size_t(width) * 4);
        }
    }
    void Draw(int32_t first, int32_t end) const {
        const auto draw = [&](int32_t r) {
            const int64_t from = SourceOf(r);
            const bool ownBand = from >= int64_t(top) + first && from < int64_t(top) + end;
            const bool copied = Drawn(from) && (!ownBand || ReadsItself(from));
            uint32_t* out = Row(frame, int64_t(top) + r) + left;
            scaleRow(out, out, Row(copied ? spare : frame, from), width, count, walk, blended);
        };
        const auto readsBelow = [&](int32_t r) { return SourceOf(r) >= int64_t(top) + r; };
        for (int32_t r = first; r < end; ++r)
            if (readsBelow(r)) draw(r);
        for (int32_t r = end; r-- > first;)
            if (!readsBelow(r)) draw(r);
    }
};

// One band per thread: a zoom about the centre reads each row from nearer the centre (or,
// zooming out, from further out on the same side), so a cut at the centre is read across
// by no row, while every further cut makes rows to copy.
void ScaleInPlace(RenderResources* resources, const InPlaceScale& scale) {
    const BandSplit split = SplitIntoBands(resources, size_t(scale.rows), 1, 1);
    ForEachBand(resources, split,
                [&](int, size_t first, size_t end) { scale.CopyShared(int32_t(first), int32_t(end)); });
    ForEachBand(resources, split, [&](int, size_t first, size_t end) { scale.Draw(int32_t(first), int32_t(end)); });
}
}  // namespace

const SettingTable* BlitterFeedbackEffect::settingTable() const {
    static const SettingWord words[] = {
        {"normal direction", FieldKind::Number, SettingMember(&BlitterFeedbackEffect::normalDirection)},
        {"on-beat direction", FieldKind::Number, SettingMember(&BlitterFeedbackEffect::onBeatDirection)},
        {"blend", FieldKind::Number, SettingMember(&BlitterFeedbackEffect::blend)},
        {"on-beat changes", FieldKind::Number, SettingMember(&BlitterFeedbackEffect::onBeatChanges)},
        {"current direction", FieldKind::Number, SettingMember(&BlitterFeedbackEffect::currentDirection)},
    };
    static const SettingTable table = MakeSettingTable(words, 4);
    return &table;
}

// Moving either trackbar also moves the picture to that direction at once, so the user
// sees the on-beat setting while choosing it.
const PageDefinition* BlitterFeedbackEffect::page() const {
    static const PageBinding bindings[] = {
        {.controlId = 1014, .kind = ControlKind::Trackbar,
         .word = SettingMember(&BlitterFeedbackEffect::normalDirection), .minimum = 0, .maximum = 64,
         .alsoWord = SettingMember(&BlitterFeedbackEffect::currentDirection)},
        {.controlId = 1017, .kind = ControlKind::Trackbar,
         .word = SettingMember(&BlitterFeedbackEffect::onBeatDirection), .minimum = 0, .maximum = 64,
         .alsoWord = SettingMember(&BlitterFeedbackEffect::currentDirection)},
        {.controlId = 1015, .kind = ControlKind::CheckBox, .word = SettingMember(&BlitterFeedbackEffect::blend)},
        {.controlId = 1018, .kind = ControlKind::CheckBox,
         .word = SettingMember(&BlitterFeedbackEffect::onBeatChanges)},
    };
    static const PageDefinition definition = MakePage(105, bindings);
    return &definition;
}

void BlitterFeedbackEffect::load(const uint8_t* data, int32_t length) {
    Effect::load(data, length);
    currentDirection = normalDirection;
}

// The glide heads for the normal direction from whichever side the on-beat direction
// lies on. Once past the normal direction it is held there: the clamp of the drawn
// direction hides the difference, and the value can no longer run away.
int32_t BlitterFeedbackEffect::nextDirection() {
    const int32_t normal = normalDirection;
    const int64_t current = currentDirection;
    if (normal < onBeatDirection) {
        currentDirection = int32_t(std::max<int64_t>(current - kGlideStep, normal));
        return int32_t(std::max<int64_t>(current, normal));
    }
    currentDirection = int32_t(std::min<int64_t>(current + kGlideStep, normal));
    return int32_t(std::min<int64_t>(current, normal));
}

void BlitterFeedbackEffect::render(const uint8_t*, uint32_t* frame, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    const size_t bytes = size_t(width) * size_t(height) * 4;
    // Without a work buffer the frame is skipped whole; the next frame tries again.
    if (!workBuffer().Reserve(bytes)) return;

    if (beat && onBeatChanges) currentDirection = onBeatDirection;
    const int32_t direction = std::clamp(nextDirection(), 0, kMaxDirection);
    const bool blended = blend != 0;
    if (mmxAvailable) {
        packedScale(frame, width, height, direction, blended);
    } else if (direction < kUnscaledDirection) {
        zoomIn(frame, width, height, direction, blended);
    } else if (direction > kUnscaledDirection) {
        zoomOut(frame, width, height, direction, blended);
    }
}

void BlitterFeedbackEffect::packedScale(uint32_t* frame, int32_t width, int32_t height, int32_t direction,
                                        bool blended) {
    if (direction < kUnscaledDirection) {
        const uint64_t step = uint64_t(direction + 32) * 1024;
        const uint64_t inset = uint64_t(32 - direction) * 512;
        ScaleInPlace(resources, InPlaceScale(frame, workBuffer().get(), width, 0, 0, height, width,
                                             inset * uint64_t(height) + 32768, inset * uint64_t(width) + 32768,
                                             step, blended));
    } else if (direction > kUnscaledDirection) {
        const uint64_t scale = uint64_t(direction + 96) * 512;
        const int32_t smallWidth = int32_t(uint64_t(width) * 65536 / scale);
        const int32_t smallHeight = int32_t(uint64_t(height) * 65536 / scale);
        if (smallWidth == 0) return;
        ScaleInPlace(resources, InPlaceScale(frame, workBuffer().get(), width, (height - smallHeight) / 2,
                                             (width - smallWidth) / 2, smallHeight, smallWidth, 32768, 32768, scale,
                                             blended));
    }
}

// Enlarges the centre: the source advances (d + 32)/64 of a pixel per output pixel,
// positions in 16.16 fixed point starting so that the centre stays in place. Every row
// reads the frame as it was, so the work buffer takes the picture and the frame takes it
// back once every band has drawn.
void BlitterFeedbackEffect::zoomIn(uint32_t* frame, int32_t width, int32_t height, int32_t direction,
                                   bool blended) {
    const uint64_t step = uint64_t(direction + 32) * 1024;
    const uint64_t xStart = uint64_t(32 - direction) * 512 * uint64_t(width) + 32768;
    const uint64_t yStart = uint64_t(32 - direction) * 512 * uint64_t(height) + 32768;
    uint32_t* work = workBuffer().get();
    const size_t pitch = size_t(width);
    const BandSplit split = SplitIntoBands(resources, size_t(height));
    ForEachBand(resources, split, [&](int, size_t first, size_t end) {
        for (size_t r = first; r < end; ++r) {
            const size_t from = size_t((yStart + uint64_t(r) * step) >> 16);
            ScaleRow(work + r * pitch, frame + from * pitch, frame + r * pitch, width, xStart, step, blended);
        }
    });
    ForEachBand(resources, split, [&](int, size_t first, size_t end) {
        std::memcpy(frame + first * pitch, work + first * pitch, (end - first) * pitch * 4);
    });
}

// Shrinks the whole frame to 128/(d + 96) of its size in a centred rectangle; the border
// around it keeps whatever the frame held.
void BlitterFeedbackEffect::zoomOut(uint32_t* frame, int32_t width, int32_t height, int32_t direction,
                                    bool blended) {
    const uint64_t scale = uint64_t(direction + 96) * 512;
    const int32_t smallWidth = int32_t(uint64_t(width) * 65536 / scale);
    const int32_t smallHeight = int32_t(uint64_t(height) * 65536 / scale);
    const size_t pitch = size_t(width);
    const size_t offset = size_t((height - smallHeight) / 2) * pitch + size_t((width - smallWidth) / 2);
    uint32_t* work = workBuffer().get() + offset;
    uint32_t* here = frame + offset;
    const BandSplit split = SplitIntoBands(resources, size_t(smallHeight));
    ForEachBand(resources, split, [&](int, size_t first, size_t end) {
        for (size_t r = first; r < end; ++r) {
            const size_t from = size_t((32768 + uint64_t(r) * scale) >> 16);
            ScaleRow(work + r * pitch, frame + from * pitch, here + r * pitch, smallWidth, 32768, scale, blended);
        }
    });
    ForEachBand(resources, split, [&](int, size_t first, size_t end) {
        for (size_t r = first; r < end; ++r) std::memcpy(here + r * pitch, work + r * pitch, size_t(smallWidth) * 4);
    });
}
