// Feeding audio: PCM in the layouts players hold, or ready-made sample blocks.
#include "capi/engine_handle.h"

static_assert(QELV_BLOCK_BYTES == kBlockBytes);
static_assert(QELV_MAX_WAITING_BLOCKS == StreamRenderer::kMaxWaiting);

namespace {
template <class Sample>
int FeedPcm(qelv_engine* engine, const Sample* samples, size_t frames, int channels, int sampleRate) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] {
        const PcmLayout layout{channels, sampleRate};
        std::string error;
        if (!CheckPcmLayout(layout, error)) return engine->Fail(QELV_ERROR_ARGUMENT, error);
        if (!samples && frames > 0) return engine->Fail(QELV_ERROR_ARGUMENT, "PCM to feed needs its samples");
        std::lock_guard<std::mutex> lock(engine->feedLock);
        engine->renderer.FeedPcm(samples, frames, layout);
        return QELV_OK;
    });
}
}  // namespace

int qelv_feed_float(qelv_engine* engine, const float* samples, size_t frames, int channels, int sample_rate) {
    return FeedPcm(engine, samples, frames, channels, sample_rate);
}

int qelv_feed_int16(qelv_engine* engine, const int16_t* samples, size_t frames, int channels, int sample_rate) {
    return FeedPcm(engine, samples, frames, channels, sample_rate);
}

int qelv_feed_blocks(qelv_engine* engine, const void* blocks, size_t count) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] {
        if (!blocks && count > 0) return engine->Fail(QELV_ERROR_ARGUMENT, "blocks to feed need their bytes");
        std::lock_guard<std::mutex> lock(engine->feedLock);
        engine->renderer.FeedBlocks(static_cast<const uint8_t*>(blocks), count);
        return QELV_OK;
    });
}
