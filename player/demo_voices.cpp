#include "player/demo_voices.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kTwoPi = 6.283185307179586;

// (1 - t / length)^power for 0 <= t < length, else 0: a decay with no exponential.
double Decay(double t, double length, int power) {
    if (t < 0.0 || t >= length) return 0.0;
    const double base = 1.0 - t / length;
    double value = 1.0;
    for (int i = 0; i < power; ++i) value *= base;
    return value;
}

// A linear rise over the first seconds of a note, to avoid a click.
double Attack(double t, double seconds) { return t < seconds ? t / seconds : 1.0; }
}  // namespace

double SineOfTurns(double turns) {
    double t = turns - std::floor(turns);  // 0..1 turn; floor is exact
    // Fold onto -1/4..1/4 turn, where the series below is accurate to about 1e-9.
    if (t > 0.75)
        t -= 1.0;
    else if (t > 0.25)
        t = 0.5 - t;
    const double x = t * kTwoPi, x2 = x * x;
    // Taylor series to x^15, in Horner form.
    double p = 1.0 / 6227020800.0 - x2 / 1307674368000.0;
    p = -1.0 / 39916800.0 + x2 * p;
    p = 1.0 / 362880.0 + x2 * p;
    p = -1.0 / 5040.0 + x2 * p;
    p = 1.0 / 120.0 + x2 * p;
    p = -1.0 / 6.0 + x2 * p;
    return x * (1.0 + x2 * p);
}

double NoiseAt(uint32_t seed, int64_t sampleIndex) {
    // One LCG step from a state made of the seed and the index, then a mix of the bits.
    uint32_t state = uint32_t(uint64_t(sampleIndex)) * 2654435761u ^ seed * 0x9E3779B9u;
    state = state * 1664525u + 1013904223u;
    state ^= state >> 16;
    state *= 0x85EBCA6Bu;
    state ^= state >> 13;
    return double(int32_t(state)) / 2147483648.0;
}

double NoteFrequency(int midiNote) {
    static const double kSemitone[12] = {1.0,
                                         1.0594630943592953,
                                         1.122462048309373,
                                         1.189207115002721,
                                         1.2599210498948732,
                                         1.3348398541700344,
                                         1.4142135623730951,
                                         1.4983070768766815,
                                         1.5874010519681994,
                                         1.681792830507429,
                                         1.7817974362806785,
                                         1.887748625363387};
    // Counted from A0 (MIDI 21, 27.5 Hz); octaves are exact doublings.
    int octaves = (midiNote - 21) / 12, semitone = (midiNote - 21) % 12;
    if (semitone < 0) {
        semitone += 12;
        --octaves;
    }
    double frequency = 27.5 * kSemitone[semitone];
    for (; octaves > 0; --octaves) frequency *= 2.0;
    for (; octaves < 0; ++octaves) frequency *= 0.5;
    return frequency;
}

double Kick(double t, int64_t sampleIndex) {
    // Pitch falls from 45 + 135 Hz to 45 Hz over the sweep as (1 - t/sweep)^3; the phase is
    // its integral in closed form.
    const double low = 45.0, drop = 135.0, sweep = 0.12;
    const double rest = 1.0 - std::min(t, sweep) / sweep;
    double turns = low * t + drop * sweep / 4.0 * (1.0 - rest * rest * rest * rest);
    const double body = SineOfTurns(turns) * Decay(t, kKickLength, 2) * Attack(t, 0.002);
    const double click = NoiseAt(1, sampleIndex) * Decay(t, 0.012, 2);
    return 0.95 * body + 0.7 * click;
}

double Snare(double t, int64_t sampleIndex) {
    const double tone = SineOfTurns(190.0 * t) * Decay(t, 0.07, 2);
    const double noise = (NoiseAt(2, sampleIndex) - NoiseAt(2, sampleIndex - 1)) * 0.5;
    return 0.35 * tone + 0.45 * noise * Decay(t, kSnareLength, 3);
}

double Hat(double t, double length, int64_t sampleIndex) {
    // A fourth difference keeps only the top of the noise, mostly above 10 kHz.
    auto noise = [&](int64_t back) { return NoiseAt(3, sampleIndex - back); };
    const double high = (noise(0) - 4.0 * noise(1) + 6.0 * noise(2) - 4.0 * noise(3) + noise(4)) / 16.0;
    return high * Decay(t, length, 3);
}

double Air(double t, double length, int64_t sampleIndex) {
    const double noise = (NoiseAt(4, sampleIndex) - NoiseAt(4, sampleIndex - 1)) * 0.5;
    const double fadeOut = t > length - 0.1 ? (length - t) / 0.1 : 1.0;
    return noise * Attack(t, 0.3) * std::max(fadeOut, 0.0);
}

double Bass(double t, double frequency) {
    const double tone = SineOfTurns(frequency * t) + 0.5 * SineOfTurns(2.0 * frequency * t) +
                        0.25 * SineOfTurns(3.0 * frequency * t);
    return tone * Attack(t, 0.005) * Decay(t, kBassLength, 2);
}

double Pad(double t, double length, double frequency) {
    // sin(h x) from the two below it: 2 cos(x) sin((h - 1) x) - sin((h - 2) x).
    const double turns = frequency * t, twiceCosine = 2.0 * SineOfTurns(turns + 0.25);
    double below = 0.0, harmonic = SineOfTurns(turns), tone = harmonic;
    for (int h = 2; h <= 8; ++h) {
        const double next = twiceCosine * harmonic - below;
        below = harmonic;
        harmonic = next;
        tone += harmonic / h;
    }
    const double fadeOut = t > length - 0.1 ? (length - t) / 0.1 : 1.0;
    return tone * Attack(t, 0.08) * std::max(fadeOut, 0.0);
}

double Pluck(double t, double frequency) {
    const double weights[] = {1.0, 0.6, 0.45, 0.35, 0.3, 0.25};
    double tone = 0.0;
    for (int h = 1; h <= 6; ++h) tone += weights[h - 1] * SineOfTurns(h * frequency * t);
    return tone * Attack(t, 0.003) * Decay(t, kPluckLength, 2);
}
