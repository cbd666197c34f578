#include "player/track_stream.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "player/track_analyser.h"

namespace {
// Frames decoded at a time: small, so that the first block and each refill come soon.
constexpr size_t kPiece = 1024;

std::string Quoted(const std::string& path) { return "'" + path + "'"; }
}  // namespace

TrackStream::TrackStream(double fps, double lead) : fps(fps), lead(lead) {}

TrackStream::~TrackStream() {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        stop = true;
    }
    changed.notify_all();
    if (decoder.joinable()) decoder.join();
}

bool TrackStream::Open(const std::string& path, bool withSound, std::string& error) {
    name = path.empty() ? "the demo track" : Quoted(path);
    if (path.empty()) {
        reader.OpenDemo();
    } else if (!reader.OpenFile(path, error)) {
        return false;
    }
    rate = reader.sampleRate();
    if (fps > rate) {  // more blocks than samples would only repeat them
        error = "cannot play " + name + ": " + std::to_string(int64_t(fps)) +
                " blocks per second is more than its " + std::to_string(rate) + " Hz sample rate";
        return false;
    }
    if (rate > kHighestPlayedRate) {
        error = "cannot play " + name + ": its header gives a sample rate of " + std::to_string(rate) +
                " Hz, above the " + std::to_string(kHighestPlayedRate) + " Hz played";
        return false;
    }
    sound = withSound;
    if (sound) ring.resize(2 * (size_t(std::ceil(lead * rate)) + kPiece));
    return Start(error);
}

bool TrackStream::OpenSampleStream(const std::string& path, int silentRate, std::string& error) {
    name = Quoted(path);
    if (!samples.Open(path, error)) return false;
    sampleStream = true;
    rate = silentRate;
    return Start(error);
}

bool TrackStream::Start(std::string& error) {
    // At least two blocks ahead, so the next is always on its way.
    maxBlocks = std::max<int64_t>(2, int64_t(std::ceil(lead * fps)));
    decoder = std::thread([this] { Decode(); });
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return made > 0 || done; });
    if (made > 0) return true;
    error = damaged.empty() ? name + " is too short for a frame" : damaged;
    return false;
}

bool TrackStream::WaitForRoom(std::unique_lock<std::mutex>& lock) {
    changed.wait(lock, [this] {
        const bool soundRoom = !sound || 2 * (ringFrames + kPiece) <= ring.size();
        return stop || (int64_t(blocks.size()) < maxBlocks && soundRoom);
    });
    return !stop;
}

void TrackStream::Decode() {
    std::vector<float> piece(2 * kPiece);
    std::vector<SampleBlock> fresh;
    TrackAnalyser analyser(rate, fps, [&fresh](const SampleBlock& block) { fresh.push_back(block); });
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            if (!WaitForRoom(lock)) return;
        }
        // Decoding and analysis run unlocked; only what they made is handed over locked.
        std::string error;
        const int64_t got = ReadPiece(piece.data(), analyser, fresh, error);
        {
            const std::lock_guard<std::mutex> lock(mutex);
            blocks.insert(blocks.end(), fresh.begin(), fresh.end());
            made += int64_t(fresh.size());
            if (got > 0 && sound) {
                const size_t frames = ring.size() / 2;
                for (size_t i = 0; i < size_t(got); ++i) {
                    const size_t at = 2 * ((ringStart + ringFrames + i) % frames);
                    ring[at] = piece[2 * i];
                    ring[at + 1] = piece[2 * i + 1];
                }
                ringFrames += size_t(got);
            }
            if (got <= 0) {
                done = true;
                if (got < 0) damaged = error;
            }
        }
        fresh.clear();
        changed.notify_all();
        if (got <= 0) return;
    }
}

int64_t TrackStream::ReadPiece(float* interleaved, TrackAnalyser& analyser, std::vector<SampleBlock>& fresh,
                               std::string& error) {
    if (sampleStream) {
        if (made + int64_t(fresh.size()) == samples.blockCount()) return 0;
        if (samples.Next(fresh.emplace_back(), error)) return 1;
        fresh.pop_back();
        return -1;
    }
    const int64_t got = reader.Read(interleaved, int64_t(kPiece), error);
    if (got > 0) analyser.Append(interleaved, size_t(got));
    return got;
}

int64_t TrackStream::blocksMade() {
    const std::lock_guard<std::mutex> lock(mutex);
    return made;
}

bool TrackStream::soundKept() {
    const std::lock_guard<std::mutex> lock(mutex);
    return sound;
}

bool TrackStream::finished() {
    const std::lock_guard<std::mutex> lock(mutex);
    return done;
}

void TrackStream::DiscardSound() {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        sound = false;
        ringFrames = 0;
    }
    changed.notify_all();
}

std::string TrackStream::damage() {
    const std::lock_guard<std::mutex> lock(mutex);
    return damaged;
}

const SampleBlock& TrackStream::Block(int64_t index) {
    const std::lock_guard<std::mutex> lock(mutex);
    const int64_t givenUp = std::min(index - firstKept, int64_t(blocks.size()) - 1);
    if (givenUp > 0) {
        blocks.erase(blocks.begin(), blocks.begin() + givenUp);
        firstKept += givenUp;
        changed.notify_all();
    }
    // The decoder only appends, which leaves the front where it is.
    return blocks.front();
}

size_t TrackStream::TakeSound(float* interleaved, size_t frames) {
    size_t count = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        const size_t ringSize = ring.size() / 2;
        count = std::min(frames, ringFrames);
        for (size_t i = 0; i < count; ++i) {
            const size_t at = 2 * ((ringStart + i) % ringSize);
            interleaved[2 * i] = ring[at];
            interleaved[2 * i + 1] = ring[at + 1];
        }
        if (count > 0) ringStart = (ringStart + count) % ringSize;
        ringFrames -= count;
        if (done && ringFrames == 0) {
            std::fill(interleaved + 2 * count, interleaved + 2 * frames, 0.0f);
            count = frames;
        }
    }
    changed.notify_all();
    return count;
}
