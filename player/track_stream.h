#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "player/sample_stream.h"
#include "player/track_reader.h"

class TrackAnalyser;

// The highest sample rate a track is played at: the highest that sound servers take. The
// sound kept ahead is sized from the rate, so a header claiming more is refused rather
// than believed.
constexpr int kHighestPlayedRate = 384000;

// A track decoded and analysed on a thread of its own a few seconds ahead of where it is
// played, so that a track of any length plays in the same small memory. Its blocks are
// AnalyzeAudio's for the whole track; its sound is the decoded samples, for the output.
// A sample stream (.qsb) is read ahead the same way, as blocks with no sound.
class TrackStream {
public:
    // lead: how many seconds the thread works ahead of the blocks taken and the sound
    // played, at most.
    explicit TrackStream(double fps, double lead = 4.0);
    ~TrackStream();
    TrackStream(const TrackStream&) = delete;
    TrackStream& operator=(const TrackStream&) = delete;

    // Opens the file, or the demo track for an empty path, and waits for its first block;
    // false with a message naming it when it cannot be read, has a sample rate below fps or
    // above kHighestPlayedRate, or is too short for a block. withSound:
    // the sound is kept for TakeSound, which must then be called as it plays.
    bool Open(const std::string& path, bool withSound, std::string& error);
    // A sample stream's blocks, played silently at the given rate.
    bool OpenSampleStream(const std::string& path, int silentRate, std::string& error);
    int sampleRate() const { return rate; }
    // Whether TakeSound gives the track's sound (a sample stream has none).
    bool soundKept();

    // How many blocks have been made so far; all of them once finished() is true.
    int64_t blocksMade();
    bool finished();
    // Block `index`, which must have been made; blocks are taken in order, and taking one
    // gives up those before it.
    const SampleBlock& Block(int64_t index);
    // Copies up to `frames` decoded interleaved stereo frames, the count copied. After the
    // track's end it fills every frame asked for with silence.
    size_t TakeSound(float* interleaved, size_t frames);
    // The sound will not be played after all (no device opened): it is no longer kept.
    void DiscardSound();
    // Why the track ended early, if it did (empty otherwise); the blocks made stand.
    std::string damage();

private:
    // Starts the thread and waits for the first block.
    bool Start(std::string& error);
    void Decode();
    // The next piece: frames decoded (blocks read, for a sample stream), 0 at the end,
    // -1 with a message.
    int64_t ReadPiece(float* interleaved, TrackAnalyser& analyser, std::vector<SampleBlock>& fresh,
                      std::string& error);
    // The decoder's pieces: false once it should stop.
    bool WaitForRoom(std::unique_lock<std::mutex>& lock);

    const double fps;
    const double lead;
    std::string name;  // for messages
    TrackReader reader;
    SampleStreamReader samples;
    bool sampleStream = false;
    int rate = 0;
    bool sound = false;

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<SampleBlock> blocks;  // from block `firstKept` on
    int64_t firstKept = 0, made = 0;
    std::vector<float> ring;  // the decoded sound not yet played, interleaved
    size_t ringStart = 0, ringFrames = 0;
    int64_t maxBlocks = 0;
    bool done = false, stop = false;
    std::string damaged;
    std::thread decoder;
};
