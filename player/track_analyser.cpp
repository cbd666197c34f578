#include "player/track_analyser.h"

#include <utility>

TrackAnalyser::TrackAnalyser(int sampleRate, double fps, TakeBlock take)
    : take(std::move(take)), sampleRate(sampleRate), fps(fps) {}

void TrackAnalyser::Append(const float* interleaved, size_t frames) {
    while (frames > 0) {
        // Block `made` is due once its newest sample is in the window, no sooner.
        const int64_t due = NewestSampleOfBlock(made, sampleRate, fps) + 1 - appended;
        const size_t now = due > 0 && uint64_t(due) < frames ? size_t(due) : frames;
        if (due > 0) {
            stream.Append(interleaved, now);
            appended += int64_t(now);
            interleaved += 2 * now;
            frames -= now;
            if (int64_t(now) < due) return;
        }
        stream.Analyse(block);
        ++made;
        take(block);
    }
}
