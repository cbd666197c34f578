#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// Threads made once that share the bands of one job with the thread that asks for it.
// A job hands its bands out through one atomic word that also names the job, so a worker
// that wakes late finds the job over and takes nothing; the caller waits for the count of
// finished bands. Between jobs a worker spins (all through a frame when the chain keeps it
// awake), since the next effect's job usually follows soon, then sleeps. A job touches
// the sleepers' lock only when some thread sleeps: a frame starts no thread, takes no
// lock and allocates nothing.
class WorkerPool {
public:
    using BandWork = void (*)(void* context, int band);
    // More would only take turns on the cores there are.
    static constexpr int kMaxThreads = 64;

    WorkerPool() = default;
    ~WorkerPool() { SetThreads(1); }
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // threads counts the caller: 1 starts no worker. A new count ends the workers and
    // starts the new ones; never while a job runs. When the system refuses a thread, the
    // pool goes on with those it has.
    void SetThreads(int threads);
    int threads() const { return int(workers.size()) + 1; }

    // Calls work(context, band) once for every band 0 .. bands - 1, on the caller and the
    // workers, and returns when all have returned.
    void Run(int bands, BandWork work, void* context);

    // While on, idle workers keep spinning instead of sleeping: a chain turns it on for
    // the length of a frame, so that a job after an effect drawn on one thread does not
    // wait for a worker to wake.
    void KeepAwake(bool on);

private:
    void WorkerLoop(uint32_t seen);
    // Takes bands of the given job until none is left or the job is over.
    void TakeBands(uint32_t job);
    // Returns what word holds once it differs from old.
    template <typename T>
    T WaitForChange(const std::atomic<T>& word, T old);
    // After a change of a word that threads may wait on.
    void WakeSleepers();

    std::vector<std::thread> workers;
    // The job number, bumped to wake the workers for a job or to stop them.
    std::atomic<uint32_t> jobNumber{0};
    // The job number in the high half, the band count and the next band in the low half.
    std::atomic<uint64_t> ticket{0};
    std::atomic<int> finished{0};
    std::atomic<bool> stopping{false};
    // Written before a job is published, read only by those who took one of its bands.
    BandWork jobWork = nullptr;
    void* jobContext = nullptr;
    // Threads that wait past their spin sleep here, counted so that a change wakes them
    // only when there are any.
    std::atomic<int> sleepers{0};
    std::atomic<bool> awake{false};
    std::mutex sleepLock;
    std::condition_variable wake;
};
