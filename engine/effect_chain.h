#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

#include "core/effect.h"
#include "core/render_resources.h"

constexpr int kChainSlots = 256;

// The effects in drawing order. Occupied slots form a prefix; the chain owns them.
struct EffectChain {
    Effect* effects[kChainSlots] = {};
    int32_t typeIds[kChainSlots] = {};
    // Guards the chain and every effect's render, load and save.
    std::mutex renderLock;
    // Nonzero: every frame starts black. Stored in presets as one byte. Written by the
    // window thread and read by the render thread without a lock, hence atomic.
    std::atomic<int32_t> framebufferClear{1};
    // Lent to every effect of the chain while it draws.
    RenderResources resources;
    // One effect's payload at a time while a preset is read or written, under the lock.
    uint8_t payloadScratch[kPayloadScratchBytes] = {};

    EffectChain() = default;
    EffectChain(const EffectChain&) = delete;
    EffectChain& operator=(const EffectChain&) = delete;
    ~EffectChain() { DeleteAllEffects(); }

    void RenderChain(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height, int32_t beat);
    // How many threads draw each frame, the calling one included: 1 (the default) keeps
    // every effect on the caller. Any number gives the same frames word for word. The
    // workers are started here, never per frame; they stay with this chain when its
    // effects go to another.
    void SetThreads(int threads);
    int Threads();
    // The new effect's slot, or -1 when the chain is full, the type id is unknown, or memory ran out.
    int AppendEffect(int32_t typeId);
    void RemoveEffect(int slot);
    void SwapEffects(int slot);
    void ClearChain();
    // Deletes this chain's effects and takes the other's, with their type ids and its clear
    // flag, leaving it empty: a preset read into a spare chain goes in at once. Holds one
    // lock at a time.
    void TakeEffects(EffectChain& other);
    // Quit, after the render thread has ended: no lock.
    void DeleteAllEffects();
};

// Number of occupied slots.
int ChainLength(const EffectChain& chain);

// A new effect of the type, or null for a type id outside the table or when memory ran out.
Effect* CreateEffect(int32_t typeId);
