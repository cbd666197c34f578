// Making, sizing and restarting engines.
#include <mutex>

#include "capi/engine_handle.h"
#include "core/worker_pool.h"
#include "core/mmx.h"

namespace {
bool SideInRange(int side) { return side >= QELV_MIN_SIDE && side <= QELV_MAX_SIDE; }

std::string SizeError(int width, int height) {
    return "a frame of " + std::to_string(width) + "x" + std::to_string(height) + ": each side is from " +
           std::to_string(QELV_MIN_SIDE) + " to " + std::to_string(QELV_MAX_SIDE) + " pixels";
}
}  // namespace

int qelv_create(int width, int height, qelv_engine** engine) {
    return Guarded(nullptr, [&] {
        if (!engine) return FailWithoutEngine(QELV_ERROR_ARGUMENT, "qelv_create needs a place for the engine");
        *engine = nullptr;
        if (!SideInRange(width) || !SideInRange(height))
            return FailWithoutEngine(QELV_ERROR_ARGUMENT, SizeError(width, height));
        // Every engine in the process shares the processor's answer; both paths draw alike.
        static std::once_flag probed;
        std::call_once(probed, ProbeMmx);
        *engine = new qelv_engine(width, height);
        return QELV_OK;
    });
}

void qelv_destroy(qelv_engine* engine) { delete engine; }

int qelv_resize(qelv_engine* engine, int width, int height) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] {
        if (!SideInRange(width) || !SideInRange(height)) return engine->Fail(QELV_ERROR_ARGUMENT, SizeError(width, height));
        std::lock_guard<std::mutex> lock(engine->drawLock);
        engine->renderer.Resize(width, height);
        return QELV_OK;
    });
}

int qelv_set_block_rate(qelv_engine* engine, int blocks_per_second) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] {
        if (blocks_per_second < 1 || blocks_per_second > 1000)
            return engine->Fail(QELV_ERROR_ARGUMENT, "a block rate of " + std::to_string(blocks_per_second) +
                                                         ": from 1 to 1000 blocks a second are taken");
        std::scoped_lock lock(engine->drawLock, engine->feedLock);
        engine->renderer.Restart(blocks_per_second);
        engine->renderer.SetTransition(TransitionBlocks(engine->transitionSeconds, blocks_per_second));
        return QELV_OK;
    });
}

int qelv_set_threads(qelv_engine* engine, int threads) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] {
        if (threads < 1 || threads > WorkerPool::kMaxThreads)
            return engine->Fail(QELV_ERROR_ARGUMENT, std::to_string(threads) + " threads: from 1 to " +
                                                         std::to_string(WorkerPool::kMaxThreads) + " are taken");
        std::lock_guard<std::mutex> lock(engine->drawLock);
        engine->engine.chain.SetThreads(threads);
        return QELV_OK;
    });
}

int qelv_reset_audio(qelv_engine* engine) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] {
        std::scoped_lock lock(engine->drawLock, engine->feedLock);
        engine->renderer.Restart(engine->renderer.fps());
        return QELV_OK;
    });
}
