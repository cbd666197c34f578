#pragma once
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "player/track_stream.h"

// A track ready to play, read as it plays: an audio track with its sound, or a sample
// stream.
using PlaylistTrack = std::unique_ptr<TrackStream>;

// Looks for the next entry of a list that loads, on a thread of its own: a file that
// turns out not to play can take a good part of a second to be found out, and the
// window's thread must not wait for a row of them.
class TrackFinder {
public:
    // Loads entry i; false with a message. Called on the finder's thread.
    using Load = std::function<bool(size_t entry, PlaylistTrack& track, std::string& error)>;
    struct Failure {
        size_t entry;
        std::string error;
    };

    explicit TrackFinder(Load load);
    // Stops after the entry being tried.
    ~TrackFinder();
    TrackFinder(const TrackFinder&) = delete;
    TrackFinder& operator=(const TrackFinder&) = delete;

    // Tries the entries in their order until one loads, the search before given up.
    void Search(std::vector<size_t> entries);
    // The entries that failed since the last call, in order.
    std::vector<Failure> TakeFailures();
    // Whether the search has ended, with a track or with none (as it has before any).
    bool Ended();
    // What an ended search found: its track and entry, or null when no entry loaded.
    PlaylistTrack TakeFound(size_t& entry);

private:
    void Run(const std::vector<size_t>& entries);
    void Stop();

    const Load load;
    std::mutex mutex;  // guards all below but the thread
    std::vector<Failure> failures;
    PlaylistTrack found;
    size_t foundEntry = 0;
    bool ended = true, stopping = false;
    std::thread searcher;
};
