#include <algorithm>
#include <cstdint>
#include <vector>

#include "player/audio.h"
#include "player/demo_voices.h"

// Twelve bars at 120 beats a minute (two seconds a bar) over Am F C G, then a last kick
// and a second of tail: 25 seconds. From the start: a kick on every beat, whose click is
// what the beat detector hears; the bass on the off-beats, so that each kick stands alone
// in the low bins; held chords over a breath of bright noise. From bar 2: snare on beats
// 2 and 4, hats on the sixteenths between the kicks, an open hat closing each bar. From
// bar 4: an arpeggio in the upper bins. Bar 8 is a break: a second and a half of silence,
// then a snare fill.
namespace {
constexpr int kSixteenthsPerBar = 16;
constexpr int kSixteenthsPerSecond = 8;
constexpr int kBars = 12;
constexpr int kBreakBar = 8;
constexpr double kBarSeconds = 2.0;
constexpr double kTailSeconds = 1.0;
// Beyond any real device; also keeps the track's length far from overflow and exhaustion.
constexpr int kMaxSampleRate = 768000;

enum class Voice { kick, snare, hat, bass, pad, air, pluck };

struct Note {
    int sixteenth;     // start, counted from the beginning of the track
    Voice voice;
    double gain;
    double pan;        // -1 left .. 1 right
    double frequency;  // pitched voices only
    double length;     // seconds
};

struct Chord {
    int bass;      // MIDI note of the root, low
    int notes[3];  // the held chord
};
const Chord kChords[4] = {
    {33, {57, 60, 64}},  // Am
    {29, {57, 60, 65}},  // F
    {36, {55, 60, 64}},  // C
    {31, {55, 59, 62}},  // G
};

std::vector<Note> Arrangement() {
    std::vector<Note> notes;
    for (int bar = 0; bar < kBars; ++bar) {
        const int first = bar * kSixteenthsPerBar;
        const Chord& chord = kChords[bar % 4];
        if (bar == kBreakBar) {
            for (int i = 0; i < 4; ++i)
                notes.push_back({first + 12 + i, Voice::snare, 0.3 + 0.1 * i, 0.0, 0.0, kSnareLength});
            continue;
        }
        const bool drums = bar >= 2, arpeggio = bar >= 4;
        for (int beat = 0; beat < 4; ++beat) {
            const int at = first + 4 * beat;
            notes.push_back({at, Voice::kick, 0.9, 0.0, 0.0, kKickLength});
            const int bassNote = chord.bass + (beat == 3 ? 12 : 0);
            notes.push_back({at + 2, Voice::bass, 0.32, 0.0, NoteFrequency(bassNote), kBassLength});
            if (!drums) continue;
            if (beat % 2 == 1) notes.push_back({at, Voice::snare, 0.6, 0.1, 0.0, kSnareLength});
            notes.push_back({at + 1, Voice::hat, 0.3, 0.3, 0.0, kHatLength});
            notes.push_back({at + 2, Voice::hat, 0.6, -0.3, 0.0, beat == 3 ? kOpenHatLength : kHatLength});
            notes.push_back({at + 3, Voice::hat, 0.3, 0.3, 0.0, kHatLength});
        }
        for (int note : chord.notes)
            notes.push_back({first, Voice::pad, 0.055, 0.0, NoteFrequency(note), kBarSeconds});
        notes.push_back({first, Voice::air, 0.06, 0.0, 0.0, kBarSeconds});
        if (arpeggio) {
            for (int i = 0; i < kSixteenthsPerBar; ++i) {
                const int note = chord.notes[i % 3] + 12 * (1 + (i / 6) % 2);
                const double pan = i % 2 ? 0.4 : -0.4;
                notes.push_back({first + i, Voice::pluck, 0.09, pan, NoteFrequency(note), kPluckLength});
            }
        }
    }
    const int end = kBars * kSixteenthsPerBar;
    notes.push_back({end, Voice::kick, 0.9, 0.0, 0.0, kKickLength});
    for (int note : kChords[0].notes)
        notes.push_back({end, Voice::pad, 0.055, 0.0, NoteFrequency(note), kTailSeconds});
    return notes;
}

double VoiceSample(const Note& note, double t, int64_t sampleIndex) {
    switch (note.voice) {
        case Voice::kick: return Kick(t, sampleIndex);
        case Voice::snare: return Snare(t, sampleIndex);
        case Voice::hat: return Hat(t, note.length, sampleIndex);
        case Voice::bass: return Bass(t, note.frequency);
        case Voice::pad: return Pad(t, note.length, note.frequency);
        case Voice::air: return Air(t, note.length, sampleIndex);
        case Voice::pluck: return Pluck(t, note.frequency);
    }
    return 0.0;
}
}  // namespace

StereoAudio DemoTrack(int sampleRate) {
    StereoAudio audio;
    audio.sampleRate = sampleRate;
    if (sampleRate < 1 || sampleRate > kMaxSampleRate) return audio;

    const int64_t rate = sampleRate;
    const int64_t total =
        kBars * kSixteenthsPerBar * rate / kSixteenthsPerSecond + int64_t(kTailSeconds * double(rate));
    std::vector<double> left(size_t(total), 0.0), right(size_t(total), 0.0);
    for (const Note& note : Arrangement()) {
        const int64_t start = note.sixteenth * rate / kSixteenthsPerSecond;
        const int64_t end = std::min(total, start + int64_t(note.length * double(rate)) + 1);
        for (int64_t n = start; n < end; ++n) {
            const double value = note.gain * VoiceSample(note, double(n - start) / double(rate), n);
            left[size_t(n)] += value * (1.0 - note.pan);
            right[size_t(n)] += value * (1.0 + note.pan);
        }
    }
    audio.left.resize(size_t(total));
    audio.right.resize(size_t(total));
    for (size_t n = 0; n < size_t(total); ++n) {
        audio.left[n] = float(std::clamp(0.55 * left[n], -1.0, 1.0));
        audio.right[n] = float(std::clamp(0.55 * right[n], -1.0, 1.0));
    }
    return audio;
}
