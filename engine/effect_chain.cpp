#include "engine/effect_chain.h"

#include <algorithm>
#include <iterator>

#include "engine/effect_factory.h"

int ChainLength(const EffectChain& chain) {
    int n = 0;
    while (n < kChainSlots && chain.effects[n]) ++n;
    return n;
}

Effect* CreateEffect(int32_t typeId) {
    if (typeId < 0 || typeId >= EffectTypeCount()) return nullptr;
    return effectFactories[typeId](nullptr);
}

void EffectChain::RenderChain(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height, int32_t beat) {
    std::lock_guard<std::mutex> lock(renderLock);
    resources.workers.KeepAwake(true);
    for (int i = 0; i < kChainSlots && effects[i]; ++i) {
        effects[i]->beat = beat;
        effects[i]->resources = &resources;
        effects[i]->render(samples, frame, width, height);
    }
    resources.workers.KeepAwake(false);
}

void EffectChain::SetThreads(int threads) {
    std::lock_guard<std::mutex> lock(renderLock);
    resources.workers.SetThreads(threads);
}

int EffectChain::Threads() {
    std::lock_guard<std::mutex> lock(renderLock);
    return resources.workers.threads();
}

int EffectChain::AppendEffect(int32_t typeId) {
    const int slot = ChainLength(*this);
    if (slot == kChainSlots) return -1;
    std::lock_guard<std::mutex> lock(renderLock);
    // A failed creation (unknown type, no memory) must not leave a hole in the prefix.
    Effect* effect = CreateEffect(typeId);
    if (!effect) return -1;
    effects[slot] = effect;
    typeIds[slot] = typeId;
    return slot;
}

void EffectChain::RemoveEffect(int slot) {
    if (slot < 0 || slot >= kChainSlots) return;
    std::lock_guard<std::mutex> lock(renderLock);
    delete effects[slot];
    for (int i = slot; i + 1 < kChainSlots; ++i) {
        effects[i] = effects[i + 1];
        typeIds[i] = typeIds[i + 1];
    }
    effects[kChainSlots - 1] = nullptr;
}

void EffectChain::SwapEffects(int slot) {
    if (slot < 0 || slot + 1 >= kChainSlots) return;
    std::lock_guard<std::mutex> lock(renderLock);
    std::swap(effects[slot], effects[slot + 1]);
    std::swap(typeIds[slot], typeIds[slot + 1]);
}

void EffectChain::ClearChain() {
    std::lock_guard<std::mutex> lock(renderLock);
    for (Effect*& effect : effects) {
        delete effect;
        effect = nullptr;
    }
}

void EffectChain::TakeEffects(EffectChain& other) {
    if (&other == this) return;
    Effect* taken[kChainSlots];
    int32_t takenIds[kChainSlots];
    {
        std::lock_guard<std::mutex> lock(other.renderLock);
        std::copy(std::begin(other.effects), std::end(other.effects), taken);
        std::copy(std::begin(other.typeIds), std::end(other.typeIds), takenIds);
        std::fill(std::begin(other.effects), std::end(other.effects), nullptr);
    }
    ClearChain();
    std::lock_guard<std::mutex> lock(renderLock);
    std::copy(taken, taken + kChainSlots, effects);
    std::copy(takenIds, takenIds + kChainSlots, typeIds);
    framebufferClear = other.framebufferClear.load();
}

void EffectChain::DeleteAllEffects() {
    for (int i = 0; i < kChainSlots && effects[i]; ++i) delete effects[i];
    for (Effect*& effect : effects) effect = nullptr;
}

int EffectTypeCount() {
    int n = 0;
    while (effectFactories[n]) ++n;
    return n;
}
