#pragma once
#include <cstdint>
#include <memory>
#include <string>

// An audio file decoded piece by piece as stereo at its own sample rate, in fixed memory
// however long it is. Mono goes to both sides; beyond two channels, a file libsndfile
// reads gives its first two, any other is mixed down.
class AudioFileReader {
public:
    AudioFileReader();
    ~AudioFileReader();
    AudioFileReader(const AudioFileReader&) = delete;
    AudioFileReader& operator=(const AudioFileReader&) = delete;

    // Anything the installed libsndfile decodes (WAV, FLAC, Ogg, MP3 where supported), or
    // else an audio container that libavformat reads (AAC in MP4, Matroska, WMA, ...).
    // Only a regular file is opened, and only that file is read.
    bool Open(const std::string& path, std::string& error);
    int sampleRate() const { return rate; }
    // What the header claims, which may be unknown (0 or less) or untrue.
    int64_t claimedFrames() const { return claimed; }
    // Up to `frames` interleaved stereo frames; 0 at the end, -1 with a message when the
    // file is damaged part-way.
    int64_t Read(float* interleaved, int64_t frames, std::string& error);

private:
    struct File;
    std::unique_ptr<File> file;
    std::string path;
    int rate = 0;
    int64_t claimed = 0;
};
