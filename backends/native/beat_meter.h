#pragma once

struct BeatReading;

// The beat detection page's live meter: the beat band's energy in the latest block
// against the threshold it must exceed to fire a beat, and a light that flashes on each
// beat, so that the sensitivity and band can be tuned by eye. Drawn with Dear ImGui
// inside the current window, in a strip of the given size in pixels.
class BeatMeter {
public:
    explicit BeatMeter(const BeatReading& reading) : reading(reading) {}

    void Draw(float left, float top, float width, float height);
    // On the beat detection page, whose corner is given, below its controls.
    void DrawOnBeatPage(float left, float top, float pixelsPerUnit);

private:
    const BeatReading& reading;  // the intake's, for as long as the meter lives
    float range = 1;             // the bar's full scale, following the largest recent values
    unsigned seenBeats = 0;      // the detector's beat count at the last draw
    double lastBeatTime = -1e9;  // when the light was last lit, in ImGui's seconds
};
