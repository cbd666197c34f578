#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

#include "pipeline/effect.h"

constexpr int kChainSlots = 256;

// The effects in drawing order. Occupied slots form a prefix; the chain owns them.
struct EffectChain {
    Effect* effects[kChainSlots] = {};
    int32_t typeIds[kChainSlots] = {};
};

extern EffectChain effectChain;
// Guards the chain and every effect's render, load and save.
extern std::mutex renderLock;
// Nonzero: every frame starts black. Stored in presets as one byte. Written by the window
// thread and read by the render thread without a lock, hence atomic.
extern std::atomic<int32_t> framebufferClear;

// Number of occupied slots.
int ChainLength(const EffectChain& chain);

void RenderChain(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height, int32_t beat);
// The new effect's slot, or -1 when the chain is full, the type id is unknown, or memory ran out.
int AppendEffect(int32_t typeId);
void RemoveEffect(int slot);
void SwapEffects(int slot);
void ClearChain();
// Quit, after the render thread has ended: no lock.
void DeleteAllEffects();
// A new effect of the type, or null for a type id outside the table or when memory ran out.
Effect* CreateEffect(int32_t typeId);
