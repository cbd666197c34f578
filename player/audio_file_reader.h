#pragma once
#include <cstdint>
#include <memory>
#include <string>

// An audio file decoded piece by piece as stereo (mono to both sides, beyond two channels
// only the first two), in fixed memory however long it is.
class AudioFileReader {
public:
    AudioFileReader();
    ~AudioFileReader();
    AudioFileReader(const AudioFileReader&) = delete;
    AudioFileReader& operator=(const AudioFileReader&) = delete;

    // Anything the installed libsndfile decodes (WAV, FLAC, Ogg, MP3 where supported), or
    // else ffmpeg, when it is on PATH (AAC, Opus, ...; resampled to 44.1 kHz).
    bool Open(const std::string& path, std::string& error);
    int sampleRate() const { return rate; }
    // What the header claims, which may be unknown (0 or less) or untrue.
    int64_t claimedFrames() const { return claimed; }
    // Up to `frames` interleaved stereo frames; 0 at the end, -1 with a message when the
    // file is damaged part-way.
    int64_t Read(float* interleaved, int64_t frames, std::string& error);

private:
    bool OpenThroughFfmpeg();

    struct File;
    std::unique_ptr<File> file;
    std::string path;
    int rate = 0;
    int64_t claimed = 0;
};
