#pragma once
#include <cstdint>
#include <memory>
#include <vector>

struct EffectChain;

// A soft change of preset. The outgoing effects keep drawing their own frame, from the
// same samples and beat as the shown chain, while the picture fades from their frame to
// the shown chain's, the new one's weight rising with every block played: after the
// transition's length in blocks only the new chain is left.
//
// A change during a fade keeps as the outgoing picture whichever of the two was shown
// more (the old one in the first half, the incoming one from halfway on), drops the
// other, and starts a full fade to the newest preset from it.
class PresetTransition {
public:
    explicit PresetTransition(int64_t blocks);  // 0: every change is a hard cut
    ~PresetTransition();
    PresetTransition(const PresetTransition&) = delete;
    PresetTransition& operator=(const PresetTransition&) = delete;

    // Just before the shown chain's effects are replaced: takes those it fades out, with a
    // copy of their frame and of the chain's particle generator, so that they go on
    // drawing what they would have drawn. Until the next frame the picture is theirs.
    void Begin(EffectChain& shown, const std::vector<uint32_t>& frame, int32_t width, int32_t height);
    // After the shown chain has drawn frame from samples with beat, blocks since the
    // previous frame.
    void Draw(const uint8_t* samples, int32_t beat, int64_t blocks, const std::vector<uint32_t>& frame, int32_t width,
              int32_t height);
    // The picture to show for the shown chain's frame: the blend while a fade is on.
    const uint32_t* Picture(const std::vector<uint32_t>& frame) const { return fading ? blended.data() : frame.data(); }

private:
    void Keep(EffectChain& shown, const std::vector<uint32_t>& frame, int32_t width, int32_t height);

    const int64_t length;
    int64_t done = 0;  // blocks played since the change
    bool fading = false;
    int32_t frameWidth = 0, frameHeight = 0;
    std::unique_ptr<EffectChain> outgoing;
    std::vector<uint32_t> outgoingFrame, blended;
};
