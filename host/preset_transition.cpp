#include "host/preset_transition.h"

#include <algorithm>

#include "host/blend_frames.h"
#include "engine/effect_chain.h"

PresetTransition::PresetTransition(int64_t blocks) : length(blocks), outgoing(std::make_unique<EffectChain>()) {}

PresetTransition::~PresetTransition() = default;

void PresetTransition::Begin(EffectChain& shown, const std::vector<uint32_t>& frame, int32_t width, int32_t height) {
    if (length <= 0) return;
    if (!fading || 2 * done >= length) Keep(shown, frame, width, height);
    fading = true;
    done = 0;
    blended = outgoingFrame;
}

void PresetTransition::Keep(EffectChain& shown, const std::vector<uint32_t>& frame, int32_t width, int32_t height) {
    outgoing->TakeEffects(shown);
    outgoing->SetThreads(shown.Threads());
    outgoing->resources.particleRandom = shown.resources.particleRandom;
    outgoingFrame = frame;
    frameWidth = width;
    frameHeight = height;
}

void PresetTransition::Draw(const uint8_t* samples, int32_t beat, int64_t blocks, const std::vector<uint32_t>& frame,
                            int32_t width, int32_t height) {
    if (!fading) return;
    done += blocks;
    if (done >= length) {
        fading = false;
        outgoing->ClearChain();
        return;
    }
    // A new size starts the outgoing frame black, as it does the shown one.
    if (width != frameWidth || height != frameHeight) {
        frameWidth = width;
        frameHeight = height;
        outgoingFrame.assign(frame.size(), 0u);
    }
    if (outgoing->framebufferClear) std::fill(outgoingFrame.begin(), outgoingFrame.end(), 0u);
    outgoing->RenderChain(samples, outgoingFrame.data(), width, height, beat);
    blended.resize(frame.size());
    BlendFrames(outgoingFrame.data(), frame.data(), blended.data(), frame.size(), done, length);
}
