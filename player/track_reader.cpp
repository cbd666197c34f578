#include "player/track_reader.h"

#include <algorithm>

bool TrackReader::OpenFile(const std::string& path, std::string& error) {
    demoOpen = false;
    if (!file.Open(path, error)) return false;
    if (file.sampleRate() <= kMaxSampleRate) return true;
    error = "'" + path + "' claims a sample rate of " + std::to_string(file.sampleRate()) + " Hz, more than the " +
            std::to_string(kMaxSampleRate) + " Hz of any sound";
    return false;
}

void TrackReader::OpenDemo() {
    demo = DemoTrack();
    demoRead = 0;
    demoOpen = true;
}

int64_t TrackReader::Read(float* interleaved, int64_t frames, std::string& error) {
    if (!demoOpen) return file.Read(interleaved, frames, error);
    const size_t count = std::min(demo.left.size() - demoRead, size_t(std::max<int64_t>(frames, 0)));
    for (size_t i = 0; i < count; ++i) {
        interleaved[2 * i] = demo.left[demoRead + i];
        interleaved[2 * i + 1] = demo.right[demoRead + i];
    }
    demoRead += count;
    return int64_t(count);
}

int64_t ReadThrough(TrackReader& track, int64_t maxFrames, WavWriter* wav, std::string& error, int64_t copyFrom) {
    constexpr int64_t kPiece = 4096;
    float interleaved[2 * kPiece];
    int64_t total = 0;
    for (;;) {
        const int64_t wanted = maxFrames > 0 ? std::min(kPiece, maxFrames - total) : kPiece;
        const int64_t frames = wanted > 0 ? track.Read(interleaved, wanted, error) : 0;
        if (frames < 0) return -1;
        if (frames == 0) break;
        const int64_t skipped = std::clamp<int64_t>(copyFrom - total, 0, frames);
        if (wav && !wav->Write(interleaved + 2 * skipped, size_t(frames - skipped), error)) return -1;
        total += frames;
    }
    if (wav && !wav->Finish(error)) return -1;
    return total;
}
