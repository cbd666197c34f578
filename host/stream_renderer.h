#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>

#include "engine/lockstep_renderer.h"
#include "host/pcm_blocks.h"
#include "host/preset_transition.h"

struct EffectChain;

// An engine drawing frames from audio that arrives as a player has it, PCM or ready-made
// sample blocks: `qelv render` and the library draw through it alike. Blocks are numbered
// from 0 in the order they are made; block k shows the music at time k / fps. Each frame
// takes the waiting blocks up to a number (all, or those due at the moment being heard),
// feeds them to the intake in order and draws once, as LockstepRenderer does for a block.
//
// Two sides, each used by one thread at a time: the feeding side (Feed*, blocksMade) and
// the drawing side (everything else). They meet only in the queue of waiting blocks, under
// a lock held for the hand-over alone, never while a frame is drawn. Restart belongs to
// both: the caller keeps both sides out while it runs.
class StreamRenderer {
public:
    // At most this many blocks wait; the oldest of more go to the intake at once, so that
    // their beats and peaks still count.
    static constexpr size_t kMaxWaiting = 1024;
    static constexpr int64_t kAllBlocks = std::numeric_limits<int64_t>::max();

    // fps: blocks a second of audio, from 1 to 1000.
    StreamRenderer(Engine& engine, int32_t width, int32_t height, int32_t fps);

    // Feeding side. The layout must pass CheckPcmLayout.
    void FeedPcm(const float* samples, size_t frames, PcmLayout layout) { FeedAny(samples, frames, layout); }
    void FeedPcm(const int16_t* samples, size_t frames, PcmLayout layout) { FeedAny(samples, frames, layout); }
    // Blocks of kBlockBytes each.
    void FeedBlocks(const uint8_t* blocks, size_t count);
    // Blocks made since the start or the last Restart.
    int64_t blocksMade() const { return made; }

    // Drawing side. Takes the waiting blocks numbered up to `last` and draws a frame; the
    // beat flag it was drawn with.
    int32_t Draw(int64_t last = kAllBlocks);
    // Drops the waiting blocks numbered up to `last` unseen, as though the stream began
    // after them: the part of a track before a render's pre-roll.
    void Skip(int64_t last);
    // What to show: the frame, or its blend with the outgoing chain's during a fade.
    const uint32_t* Picture() const { return transition->Picture(renderer.frame()); }
    int32_t width() const { return renderer.width(); }
    int32_t height() const { return renderer.height(); }
    int32_t fps() const { return blockRate; }
    void Resize(int32_t width, int32_t height) { renderer.Resize(width, height); }
    // Later changes of chain fade over this many blocks; 0 cuts. Ends a fade under way.
    void SetTransition(int64_t blocks) { transition = std::make_unique<PresetTransition>(blocks); }
    // The incoming chain's effects replace the engine's, leaving it empty, with the fade.
    void ChangeChain(EffectChain& incoming);

    // Both sides: waiting blocks are dropped, the analysis starts afresh at the new block
    // rate and numbering starts again from 0.
    void Restart(int32_t fps);

    // Safe from any thread.
    uint32_t beatCount() const;
    bool lastFrameWasBeat() const { return lastBeat.load(std::memory_order_relaxed); }

private:
    template <class Sample>
    void FeedAny(const Sample* samples, size_t frames, PcmLayout layout) {
        fedBlocks = false;
        pcm->Append(samples, frames, layout);
    }
    std::unique_ptr<PcmBlocks> NewPcm(int32_t fps);
    // Called under queueLock.
    void Enqueue(const SampleBlock& block);

    LockstepRenderer renderer;
    std::unique_ptr<PresetTransition> transition;  // one per length
    int32_t blockRate;
    std::atomic<bool> lastBeat{false};

    // Feeding side.
    std::unique_ptr<PcmBlocks> pcm;
    bool fedBlocks = false;
    int64_t made = 0;

    struct Numbered {
        int64_t number;
        SampleBlock block;
    };
    std::mutex queueLock;
    std::deque<Numbered> waiting;  // guarded by queueLock
};
