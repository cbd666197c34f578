// The analysis without an engine: a whole track's blocks, as `qelv analyze` writes them.
#include <cstring>
#include <vector>

#include "capi/engine_handle.h"
#include "host/pcm_blocks.h"

int qelv_analyze_float(const float* samples, size_t frames, int channels, int sample_rate, int block_rate,
                       void* blocks, size_t capacity, size_t* count) {
    return Guarded(nullptr, [&] {
        if (!count) return FailWithoutEngine(QELV_ERROR_ARGUMENT, "qelv_analyze_float needs a place for the count");
        std::string error;
        if (!CheckPcmLayout(PcmLayout{channels, sample_rate}, error)) return FailWithoutEngine(QELV_ERROR_ARGUMENT, error);
        if (block_rate < 1 || block_rate > 1000)
            return FailWithoutEngine(QELV_ERROR_ARGUMENT, "a block rate of " + std::to_string(block_rate) +
                                                              ": from 1 to 1000 blocks a second are taken");
        if (!samples && frames > 0) return FailWithoutEngine(QELV_ERROR_ARGUMENT, "PCM to analyse needs its samples");
        std::vector<SampleBlock> made;
        PcmBlocks pcm(block_rate, [&](const SampleBlock& block) { made.push_back(block); });
        pcm.Append(samples, frames, PcmLayout{channels, sample_rate});
        *count = made.size();
        if (!blocks && capacity == 0) return QELV_OK;
        if (!blocks || capacity < made.size())
            return FailWithoutEngine(QELV_ERROR_ARGUMENT, "the track gives " + std::to_string(made.size()) +
                                                              " blocks, more than room for " + std::to_string(capacity));
        for (size_t i = 0; i < made.size(); ++i)
            std::memcpy(static_cast<uint8_t*>(blocks) + i * QELV_BLOCK_BYTES, made[i].bytes, QELV_BLOCK_BYTES);
        return QELV_OK;
    });
}
