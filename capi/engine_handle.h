#pragma once
#include <mutex>
#include <new>
#include <string>
#include <system_error>

#include <qelv/qelv.h>

#include "engine/engine.h"
#include "host/default_chain.h"
#include "host/stream_renderer.h"

// What a qelv_engine* points to. The feeding calls hold feedLock, every other call that
// changes the engine holds drawLock; calls that restart the audio hold both. The two sides
// meet only in the renderer's queue of waiting blocks.
struct qelv_engine {
    static constexpr int32_t kDefaultBlockRate = 50;

    qelv_engine(int32_t width, int32_t height) : renderer(engine, width, height, kDefaultBlockRate) {}

    // Made with the default chain before the renderer starts it, as `qelv render` does.
    struct DefaultEngine : Engine {
        DefaultEngine() { BuildDefaultChain(chain); }
    };
    DefaultEngine engine;
    StreamRenderer renderer;
    std::mutex feedLock, drawLock;
    double transitionSeconds = 0;  // under drawLock

    // Records why a call failed; returns the code.
    int Fail(int code, std::string why);
    // A copy of the latest failure's message.
    std::string LastFailure() const;

private:
    mutable std::mutex messageLock;
    std::string message = "no error";
};

// A transition's length in blocks, as `qelv play --transition` counts it.
int64_t TransitionBlocks(double seconds, int32_t fps);

// The boundary: no exception crosses it. A body returns a result code; what it throws
// becomes a failure of the engine (or of this thread's qelv_create when it is null).
int FailWithoutEngine(int code, std::string why);

template <class Body>
int Guarded(qelv_engine* engine, Body&& body) noexcept {
    const auto fail = [engine](int code, const char* why) {
        try {
            return engine ? engine->Fail(code, why) : FailWithoutEngine(code, why);
        } catch (...) {
            return code;  // no memory even for the message
        }
    };
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return fail(QELV_ERROR_MEMORY, "out of memory");
    } catch (const std::exception& e) {
        // Resources a lock or a container could not get: memory in all but name.
        return fail(QELV_ERROR_MEMORY, e.what());
    } catch (...) {
        return fail(QELV_ERROR_MEMORY, "an unexpected failure");
    }
}
