#pragma once
#include <chrono>

// Ends work that has stopped getting anywhere: it expires once `limit` has passed since
// the last Reset. A limit of zero expires at once.
class ProgressDeadline {
public:
    using Clock = std::chrono::steady_clock;

    explicit ProgressDeadline(Clock::duration limit) : limit(limit) {}
    Clock::duration span() const { return limit; }
    // Reset at each new call and on each step forward, so that only a call that is stuck
    // runs out, however long the whole work takes.
    void Reset(Clock::time_point now = Clock::now()) { last = now; }
    bool Expired(Clock::time_point now = Clock::now()) const { return now - last >= limit; }

private:
    Clock::duration limit;
    Clock::time_point last = Clock::now();
};
