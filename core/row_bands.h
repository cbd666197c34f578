#pragma once
#include <cstddef>
#include <cstdint>

#include "core/render_resources.h"

// Words in a cache line of the processors we run on: cuts of whole lines keep two threads
// from writing into one line.
constexpr size_t kLineWords = 16;

// How a whole-frame effect shares its work among the chain's threads: [0, count) (rows,
// or words of the frame) cut into bands of nearly equal size, each cut a multiple of
// grain, the last band taking what is left. Without resources, or with one thread, it is
// one band on the calling thread. Every effect cuts its work this way and no other.
//
// The first band may be given a larger share (firstShare, where each other band has
// kShareUnit) when every other band carries work of its own besides.
struct BandSplit {
    static constexpr uint32_t kShareUnit = 64;
    size_t count = 0, grain = 1;
    int bands = 1;
    uint32_t firstShare = kShareUnit;

    size_t Begin(int band) const {
        if (band >= bands) return count;
        const auto sharesBefore = [&](int b) {
            return b == 0 ? 0 : uint64_t(firstShare) + kShareUnit * uint64_t(b - 1);
        };
        return size_t(uint64_t(count / grain) * sharesBefore(band) / sharesBefore(bands)) * grain;
    }
    size_t End(int band) const { return Begin(band + 1); }
};

// Bands per thread when work is cut for several: the threads take bands as they come
// free, so a thread that starts late, or that the system interrupts, leaves its share to
// the others instead of holding up the frame.
constexpr size_t kBandsPerThread = 4;

// One band per thread (perThread 1) suits work whose every cut costs extra.
inline BandSplit SplitIntoBands(const RenderResources* resources, size_t count, size_t grain = 1,
                                size_t perThread = kBandsPerThread) {
    const size_t units = count / grain;
    const size_t threads = resources ? size_t(resources->workers.threads()) : 1;
    const size_t bands = threads > 1 ? threads * perThread : 1;
    return {count, grain, int(units < bands ? (units ? units : 1) : bands)};
}

// Calls work(band, begin, end) once for every band of split, on the caller and the
// workers, and returns when all are done. Bands must touch disjoint words or only read.
template <typename Work>
void ForEachBand(RenderResources* resources, const BandSplit& split, Work&& work) {
    if (!resources || split.bands <= 1) {
        for (int band = 0; band < split.bands; ++band) work(band, split.Begin(band), split.End(band));
        return;
    }
    struct Job {
        const BandSplit& split;
        Work& work;
    } job{split, work};
    resources->workers.Run(split.bands, [](void* context, int band) {
        Job& j = *static_cast<Job*>(context);
        j.work(band, j.split.Begin(band), j.split.End(band));
    }, &job);
}

template <typename Work>
void ForEachBand(RenderResources* resources, size_t count, size_t grain, Work&& work) {
    ForEachBand(resources, SplitIntoBands(resources, count, grain), work);
}
