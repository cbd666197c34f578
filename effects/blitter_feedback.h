#pragma once
#include <cstddef>
#include <cstdint>

#include "core/effect.h"
#include "core/render_resources.h"

// Rescales the frame about its centre every frame: directions 0..31 zoom in, 32 leaves
// the frame alone, 33 and up zoom out. A beat can jump to a second direction, from which
// the effect glides back to the normal one by 3 per frame.
class BlitterFeedbackEffect : public Effect {
public:
    static constexpr char kName[] = "Blitter Feedback v0.0";

    void render(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height) override;
    const char* name() const override { return kName; }
    // Also restarts the glide at the normal direction.
    void load(const uint8_t* data, int32_t length) override;
    const SettingTable* settingTable() const override;
    const PageDefinition* page() const override;

    // Scratch of the frame's size; the plain path builds the scaled picture in it, the
    // packed path keeps there the rows that its in-place order would overwrite too soon.
    // Null before the first frame.
    const uint32_t* workPixels() const { return resources ? resources->scratch.get() : nullptr; }

    int32_t normalDirection = 30;
    int32_t onBeatDirection = 30;
    int32_t blend = 0;          // nonzero: average the scaled picture with the frame
    int32_t onBeatChanges = 0;  // nonzero: a beat jumps to the on-beat direction
    // Where the glide stands; the pages set it to the direction just chosen.
    int32_t currentDirection = 30;

private:
    // The direction of this frame; moves the glide on by one step.
    int32_t nextDirection();
    void zoomIn(uint32_t* frame, int32_t width, int32_t height, int32_t direction, bool blended);
    void zoomOut(uint32_t* frame, int32_t width, int32_t height, int32_t direction, bool blended);
    // Both scalings done in place on the frame, with the same result.
    void packedScale(uint32_t* frame, int32_t width, int32_t height, int32_t direction, bool blended);

    // The chain's one scratch frame, shared by all its zooming effects.
    FrameScratch& workBuffer() { return resources->scratch; }
};
