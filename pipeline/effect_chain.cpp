#include "pipeline/effect_chain.h"

#include "pipeline/effect_factory.h"

EffectChain effectChain;
std::mutex renderLock;
std::atomic<int32_t> framebufferClear{1};

int ChainLength(const EffectChain& chain) {
    int n = 0;
    while (n < kChainSlots && chain.effects[n]) ++n;
    return n;
}

Effect* CreateEffect(int32_t typeId) {
    if (typeId < 0 || typeId >= EffectTypeCount()) return nullptr;
    return effectFactories[typeId](nullptr);
}

void RenderChain(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height, int32_t beat) {
    std::lock_guard<std::mutex> lock(renderLock);
    for (int i = 0; i < kChainSlots && effectChain.effects[i]; ++i) {
        effectChain.effects[i]->beat = beat;
        effectChain.effects[i]->render(samples, frame, width, height);
    }
}

int AppendEffect(int32_t typeId) {
    const int slot = ChainLength(effectChain);
    if (slot == kChainSlots) return -1;
    std::lock_guard<std::mutex> lock(renderLock);
    // A failed creation (unknown type, no memory) must not leave a hole in the prefix.
    Effect* effect = CreateEffect(typeId);
    if (!effect) return -1;
    effectChain.effects[slot] = effect;
    effectChain.typeIds[slot] = typeId;
    return slot;
}

void RemoveEffect(int slot) {
    if (slot < 0 || slot >= kChainSlots) return;
    std::lock_guard<std::mutex> lock(renderLock);
    delete effectChain.effects[slot];
    for (int i = slot; i + 1 < kChainSlots; ++i) {
        effectChain.effects[i] = effectChain.effects[i + 1];
        effectChain.typeIds[i] = effectChain.typeIds[i + 1];
    }
    effectChain.effects[kChainSlots - 1] = nullptr;
}

void SwapEffects(int slot) {
    if (slot < 0 || slot + 1 >= kChainSlots) return;
    std::lock_guard<std::mutex> lock(renderLock);
    std::swap(effectChain.effects[slot], effectChain.effects[slot + 1]);
    std::swap(effectChain.typeIds[slot], effectChain.typeIds[slot + 1]);
}

void ClearChain() {
    std::lock_guard<std::mutex> lock(renderLock);
    for (Effect*& effect : effectChain.effects) {
        delete effect;
        effect = nullptr;
    }
}

void DeleteAllEffects() {
    for (int i = 0; i < kChainSlots && effectChain.effects[i]; ++i) delete effectChain.effects[i];
    for (Effect*& effect : effectChain.effects) effect = nullptr;
}

int EffectTypeCount() {
    int n = 0;
    while (effectFactories[n]) ++n;
    return n;
}
