#include "core/worker_pool.h"

#include <algorithm>
#include <chrono>
#include <exception>

namespace {
// How long an idle worker or a waiting caller spins before it sleeps: long enough to
// catch the next job of the same frame, short enough to give the core back soon.
constexpr auto kSpin = std::chrono::microseconds(50);

inline void Pause() {
#if defined(__i386__) || defined(__x86_64__)
    __builtin_ia32_pause();
#endif
}

constexpr uint32_t kBandMask = 0xFFFF;
}  // namespace

// A few pauses, then turns given to other threads (there may be more threads than cores)
// for kSpin or while kept awake, then sleep until the word changes or the pool is kept
// awake again. A sleeper counts itself before it looks at the word and the flag, and a
// waker changes them before it looks at the count (all in one order, seq_cst): either the
// sleeper sees the change, or the waker sees the sleeper and notifies it under the lock
// that the sleeper holds until it waits.
template <typename T>
T WorkerPool::WaitForChange(const std::atomic<T>& word, T old) {
    constexpr int kPauses = 64;
    for (;;) {
        const auto until = std::chrono::steady_clock::now() + kSpin;
        for (int i = 0;; ++i) {
            const T now = word.load(std::memory_order_acquire);
            if (now != old) return now;
            if (i < kPauses) {
                Pause();
            } else if (awake.load(std::memory_order_relaxed) || std::chrono::steady_clock::now() < until) {
                std::this_thread::yield();
            } else {
                break;
            }
        }
        std::unique_lock<std::mutex> hold(sleepLock);
        sleepers.fetch_add(1);
        T now;
        while ((now = word.load()) == old && !awake.load()) wake.wait(hold);
        sleepers.fetch_sub(1);
        if (now != old) return now;
    }
}

void WorkerPool::KeepAwake(bool on) {
    if (workers.empty()) return;
    awake.store(on);
    if (on) WakeSleepers();
}

void WorkerPool::WakeSleepers() {
    if (sleepers.load() == 0) return;
    { std::lock_guard<std::mutex> hold(sleepLock); }
    wake.notify_all();
}

void WorkerPool::SetThreads(int threads) {
    threads = std::clamp(threads, 1, kMaxThreads);
    if (threads == this->threads()) return;
    if (!workers.empty()) {
        stopping.store(true, std::memory_order_relaxed);
        jobNumber.fetch_add(1);
        WakeSleepers();
        for (std::thread& worker : workers) worker.join();
        workers.clear();
        stopping.store(false, std::memory_order_relaxed);
    }
    try {
        workers.reserve(size_t(threads - 1));
        for (int i = 1; i < threads; ++i)
            workers.emplace_back(&WorkerPool::WorkerLoop, this, jobNumber.load(std::memory_order_relaxed));
    } catch (const std::exception&) {
        // Fewer threads draw the same frames, only slower.
    }
}

void WorkerPool::Run(int bands, BandWork work, void* context) {
    // More bands than the ticket counts (never met: bands are cut a few per thread) run here.
    if (workers.empty() || bands <= 1 || bands > int(kBandMask)) {
        for (int band = 0; band < bands; ++band) work(context, band);
        return;
    }
    jobWork = work;
    jobContext = context;
    finished.store(0, std::memory_order_relaxed);
    const uint32_t job = jobNumber.load(std::memory_order_relaxed) + 1;
    ticket.store(uint64_t(job) << 32 | uint64_t(bands) << 16, std::memory_order_release);
    jobNumber.store(job);
    WakeSleepers();
    TakeBands(job);
    for (int done = finished.load(std::memory_order_acquire); done != bands;) done = WaitForChange(finished, done);
}

void WorkerPool::WorkerLoop(uint32_t seen) {
    for (;;) {
        seen = WaitForChange(jobNumber, seen);
        if (stopping.load(std::memory_order_relaxed)) return;
        TakeBands(seen);
    }
}

void WorkerPool::TakeBands(uint32_t job) {
    uint64_t t = ticket.load(std::memory_order_acquire);
    for (;;) {
        const uint32_t bands = uint32_t(t >> 16) & kBandMask, next = uint32_t(t) & kBandMask;
        if (uint32_t(t >> 32) != job || next >= bands) return;
        if (!ticket.compare_exchange_weak(t, t + 1, std::memory_order_acquire)) continue;
        jobWork(jobContext, int(next));
        // The caller waits only for the last band, so only the last one wakes it.
        if (finished.fetch_add(1) + 1 == int(bands)) WakeSleepers();
    }
}
