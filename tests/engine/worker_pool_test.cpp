#include "core/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <thread>
#include <mutex>

namespace {

// Jobs of every size up to past the thread count, back to back, while the count changes
// between them: each band runs exactly once, and the job is over when Run returns.
TEST(WorkerPool, RunsEveryBandOnceOnAnyNumberOfThreads) {
    WorkerPool pool;
    for (int threads : {1, 2, 3, 8, 2, 1}) {
        pool.SetThreads(threads);
        ASSERT_EQ(pool.threads(), threads);
        for (int job = 0; job < 300; ++job) {
            const int bands = 1 + job % 70;
            const auto ran = std::make_unique<std::atomic<int>[]>(size_t(bands));
            pool.Run(bands, [](void* context, int band) { static_cast<std::atomic<int>*>(context)[band]++; },
                     ran.get());
            for (int band = 0; band < bands; ++band) ASSERT_EQ(ran[size_t(band)].load(), 1) << band << " of " << bands;
        }
    }
}

TEST(WorkerPool, SharesAJobAmongItsThreadsAndKeepsTheCountInRange) {
    WorkerPool pool;
    pool.SetThreads(0);
    EXPECT_EQ(pool.threads(), 1);
    pool.SetThreads(1000);
    EXPECT_EQ(pool.threads(), WorkerPool::kMaxThreads);
    pool.SetThreads(3);
    // Bands that wait for each other can only finish when three threads take them at once.
    struct Meeting {
        std::atomic<int> arrived{0};
        std::mutex lock;
        std::set<std::thread::id> threads;
    } meeting;
    pool.Run(3, [](void* context, int) {
        auto& m = *static_cast<Meeting*>(context);
        {
            std::lock_guard<std::mutex> hold(m.lock);
            m.threads.insert(std::this_thread::get_id());
        }
        m.arrived++;
        while (m.arrived.load() < 3) std::this_thread::yield();
    }, &meeting);
    EXPECT_EQ(meeting.threads.size(), 3u);
}

}  // namespace
