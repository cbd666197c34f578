// Drawing frames into the caller's buffer, and the beats they were drawn on.
#include <cmath>
#include <cstring>

#include "capi/engine_handle.h"

namespace {
// The frame's words into rows `stride` bytes apart, as they are or as R, G, B, 255 bytes.
void CopyFrame(const uint32_t* frame, int32_t width, int32_t height, uint8_t* pixels, size_t stride, int format) {
    const size_t rowBytes = size_t(width) * 4;
    for (int32_t y = 0; y < height; ++y, frame += width, pixels += stride) {
        if (format == QELV_FORMAT_XRGB) {
            std::memcpy(pixels, frame, rowBytes);
            continue;
        }
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t word = frame[x];
            uint8_t* pixel = pixels + 4 * size_t(x);
            pixel[0] = uint8_t(word >> 16);
            pixel[1] = uint8_t(word >> 8);
            pixel[2] = uint8_t(word);
            pixel[3] = 255;
        }
    }
}

// Block k is due at k / fps; a millionth of a block forgives a time computed so in floating
// point. Times before the start take nothing; times past any block take all.
int64_t LastBlockDueAt(double seconds, int32_t fps) {
    const double last = std::floor(seconds * fps + 1e-6);
    return last < 0 ? -1 : last >= 9e18 ? StreamRenderer::kAllBlocks : int64_t(last);
}

int Draw(qelv_engine* engine, void* pixels, size_t stride, int format, double seconds) {
    if (std::isnan(seconds)) return engine->Fail(QELV_ERROR_ARGUMENT, "drawing until a time that is not a number");
    std::lock_guard<std::mutex> lock(engine->drawLock);
    StreamRenderer& renderer = engine->renderer;
    if (!pixels) return engine->Fail(QELV_ERROR_ARGUMENT, "drawing needs a buffer for the frame");
    if (format != QELV_FORMAT_XRGB && format != QELV_FORMAT_RGBA)
        return engine->Fail(QELV_ERROR_ARGUMENT, "pixel format " + std::to_string(format) +
                                                     " is neither QELV_FORMAT_XRGB nor QELV_FORMAT_RGBA");
    if (stride < size_t(renderer.width()) * 4)
        return engine->Fail(QELV_ERROR_ARGUMENT, "rows " + std::to_string(stride) + " bytes apart cannot hold " +
                                                     std::to_string(renderer.width()) + " pixels of 4 bytes");
    renderer.Draw(LastBlockDueAt(seconds, renderer.fps()));
    CopyFrame(renderer.Picture(), renderer.width(), renderer.height(), static_cast<uint8_t*>(pixels), stride, format);
    return QELV_OK;
}
}  // namespace

int qelv_draw(qelv_engine* engine, void* pixels, size_t stride, int format) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] { return Draw(engine, pixels, stride, format, HUGE_VAL); });
}

int qelv_draw_until(qelv_engine* engine, void* pixels, size_t stride, int format, double seconds) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] { return Draw(engine, pixels, stride, format, seconds); });
}

uint32_t qelv_beat_count(const qelv_engine* engine) { return engine ? engine->renderer.beatCount() : 0; }

int qelv_last_frame_was_beat(const qelv_engine* engine) {
    return engine && engine->renderer.lastFrameWasBeat() ? 1 : 0;
}
