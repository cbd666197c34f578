#pragma once
#include <cstdint>
#include <string>

#include "player/audio.h"
#include "player/audio_file_reader.h"
#include "player/wav_writer.h"

// A track read piece by piece as interleaved stereo: an audio file, decoded as it is
// read, or the built-in demo track (short, so made whole).
class TrackReader {
public:
    // Players size their buffers from the sample rate, so a file that claims more than
    // any sound has (768 kHz) is refused.
    static constexpr int kMaxSampleRate = 768000;
    bool OpenFile(const std::string& path, std::string& error);
    void OpenDemo();
    int sampleRate() const { return demoOpen ? demo.sampleRate : file.sampleRate(); }
    // Up to `frames` frames; 0 at the end, -1 with a message when the file is damaged.
    int64_t Read(float* interleaved, int64_t frames, std::string& error);

private:
    AudioFileReader file;
    StereoAudio demo;
    size_t demoRead = 0;
    bool demoOpen = false;
};

// Reads the track to its end, or to maxFrames when that is positive, copying what it
// reads from frame copyFrom on into wav when one is given (opened, and finished here);
// the frames read, or -1 with a message.
int64_t ReadThrough(TrackReader& track, int64_t maxFrames, WavWriter* wav, std::string& error, int64_t copyFrom = 0);
