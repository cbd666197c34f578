#include "apps/qelv/play/track_finder.h"

TrackFinder::TrackFinder(Load load) : load(std::move(load)) {}

TrackFinder::~TrackFinder() { Stop(); }

void TrackFinder::Stop() {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    if (searcher.joinable()) searcher.join();
}

void TrackFinder::Search(std::vector<size_t> entries) {
    Stop();
    const std::lock_guard<std::mutex> lock(mutex);
    failures.clear();
    found.reset();
    stopping = false;
    ended = entries.empty();
    if (!ended) searcher = std::thread([this, entries = std::move(entries)] { Run(entries); });
}

void TrackFinder::Run(const std::vector<size_t>& entries) {
    for (const size_t entry : entries) {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            if (stopping) break;
        }
        PlaylistTrack track;
        std::string error;
        const bool loaded = load(entry, track, error);
        const std::lock_guard<std::mutex> lock(mutex);
        if (loaded) {
            found = std::move(track);
            foundEntry = entry;
            break;
        }
        failures.push_back({entry, error});
    }
    const std::lock_guard<std::mutex> lock(mutex);
    ended = true;
}

std::vector<TrackFinder::Failure> TrackFinder::TakeFailures() {
    std::vector<Failure> taken;
    const std::lock_guard<std::mutex> lock(mutex);
    taken.swap(failures);
    return taken;
}

bool TrackFinder::Ended() {
    const std::lock_guard<std::mutex> lock(mutex);
    return ended;
}

PlaylistTrack TrackFinder::TakeFound(size_t& entry) {
    const std::lock_guard<std::mutex> lock(mutex);
    entry = foundEntry;
    return std::move(found);
}
