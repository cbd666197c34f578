#pragma once
#include <cstdint>

// The live player's timing. Block k of a track analysed at fps blocks a second shows
// the music up to k / fps seconds, so it is due once playback has got there.

// How many blocks (from the first) are due at a playback position given in samples.
int64_t BlocksDueAt(int64_t position, int sampleRate, int32_t fps, int64_t blockCount);
// The first position at which block k is due; blockCount gives the end of the track.
int64_t PositionOfBlock(int64_t block, int sampleRate, int32_t fps);

// Hands out every block exactly once and in order, however few frames the display keeps
// up with: blocks that came due since the last frame all go to the intake before the
// next frame is drawn, so no beat or peak between two frames is lost.
class BlockPacer {
public:
    explicit BlockPacer(int64_t blockCount) : count(blockCount) {}
    struct Span {
        int64_t first, end;  // [first, end); empty when nothing new is due
        bool empty() const { return first == end; }
    };
    Span Take(int64_t due);
    int64_t fed() const { return next; }
    bool allFed() const { return next == count; }

private:
    int64_t count, next = 0;
};

// The frame size for a window's inside size, as the output window's resize asks for
// it: the width rounded up to a multiple of 4, each side at least 8; like --size, at
// most 8192.
struct FrameSize {
    int32_t width, height;
    bool operator==(const FrameSize&) const = default;
};
FrameSize FrameSizeForWindow(int32_t width, int32_t height);
