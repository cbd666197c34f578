#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "apps/qelv/render/frame_sink.h"

namespace {
// The engine hands frames to a ring of copies; a thread of its own passes them on to the
// inner sink, so the engine waits only when the ring is full. Every copy is made once,
// before the first frame.
class Queued final : public FrameSink {
public:
    Queued(std::unique_ptr<FrameSink> inner, size_t words, int depth)
        : inner(std::move(inner)), words(words), slots(size_t(depth), std::vector<uint32_t>(words)) {
        worker = std::thread([this] { Drain(); });
    }
    ~Queued() override { Stop(); }

    bool Write(const uint32_t* pixels, std::string& error) override {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return held < slots.size() || failed; });
        if (failed) {
            error = failure;
            return false;
        }
        std::vector<uint32_t>& slot = slots[(first + held) % slots.size()];
        lock.unlock();
        // Only this thread fills the free slots, so the copy needs no lock.
        std::copy(pixels, pixels + words, slot.begin());
        lock.lock();
        ++held;
        changed.notify_all();
        return true;
    }

    bool Finish(std::string& error) override {
        Stop();
        if (failed) {
            error = failure;
            return false;
        }
        return inner->Finish(error);
    }

private:
    void Drain() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return held > 0 || ending; });
            if (held == 0) return;
            const std::vector<uint32_t>& slot = slots[first];
            lock.unlock();
            std::string error;
            const bool ok = inner->Write(slot.data(), error);
            lock.lock();
            if (!ok) {
                failed = true;
                failure = error;
                changed.notify_all();
                return;
            }
            first = (first + 1) % slots.size();
            --held;
            changed.notify_all();
        }
    }

    void Stop() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            ending = true;
        }
        changed.notify_all();
        if (worker.joinable()) worker.join();
    }

    std::unique_ptr<FrameSink> inner;
    size_t words;
    std::vector<std::vector<uint32_t>> slots;
    std::mutex mutex;
    std::condition_variable changed;
    size_t first = 0, held = 0;  // the frames waiting, oldest first
    bool ending = false, failed = false;
    std::string failure;
    std::thread worker;
};
}  // namespace

std::unique_ptr<FrameSink> QueueFrames(std::unique_ptr<FrameSink> inner, int32_t width, int32_t height,
                                       int depth) {
    return std::make_unique<Queued>(std::move(inner), size_t(width) * size_t(height), depth);
}
