#include "host/stream_renderer.h"

#include <cstring>

#include "engine/effect_chain.h"
#include "engine/engine.h"

StreamRenderer::StreamRenderer(Engine& engine, int32_t width, int32_t height, int32_t fps)
    : renderer(engine, width, height), transition(std::make_unique<PresetTransition>(0)), blockRate(fps),
      pcm(NewPcm(fps)) {}

std::unique_ptr<PcmBlocks> StreamRenderer::NewPcm(int32_t fps) {
    return std::make_unique<PcmBlocks>(fps, [this](const SampleBlock& block) {
        std::lock_guard<std::mutex> lock(queueLock);
        Enqueue(block);
    });
}

void StreamRenderer::Enqueue(const SampleBlock& block) {
    waiting.push_back({made++, block});
    if (waiting.size() > kMaxWaiting) {
        renderer.FeedBlock(waiting.front().block.bytes);
        waiting.pop_front();
    }
}

void StreamRenderer::FeedBlocks(const uint8_t* blocks, size_t count) {
    // The PCM that came before is cut off here, as at the end of a track.
    if (!fedBlocks) pcm->Restart();
    fedBlocks = true;
    std::lock_guard<std::mutex> lock(queueLock);
    for (size_t i = 0; i < count; ++i) {
        SampleBlock block;
        std::memcpy(block.bytes, blocks + i * kBlockBytes, kBlockBytes);
        Enqueue(block);
    }
}

int32_t StreamRenderer::Draw(int64_t last) {
    int64_t taken = 0;
    {
        // The intake is fed under the queue's lock, so that blocks overflowing on the
        // feeding side reach it in order with these.
        std::lock_guard<std::mutex> lock(queueLock);
        for (; !waiting.empty() && waiting.front().number <= last; ++taken) {
            renderer.FeedBlock(waiting.front().block.bytes);
            waiting.pop_front();
        }
    }
    const int32_t beat = renderer.DrawFrame();
    transition->Draw(renderer.samples(), beat, taken, renderer.frame(), renderer.width(), renderer.height());
    lastBeat.store(beat != 0, std::memory_order_relaxed);
    return beat;
}

void StreamRenderer::Skip(int64_t last) {
    std::lock_guard<std::mutex> lock(queueLock);
    while (!waiting.empty() && waiting.front().number <= last) waiting.pop_front();
}

void StreamRenderer::ChangeChain(EffectChain& incoming) {
    transition->Begin(renderer.engine().chain, renderer.frame(), renderer.width(), renderer.height());
    renderer.engine().chain.TakeEffects(incoming);
}

void StreamRenderer::Restart(int32_t fps) {
    blockRate = fps;
    pcm = NewPcm(fps);
    fedBlocks = false;
    std::lock_guard<std::mutex> lock(queueLock);
    waiting.clear();
    made = 0;
}

uint32_t StreamRenderer::beatCount() const {
    return renderer.engine().intake.beatReading.beats.load(std::memory_order_relaxed);
}
