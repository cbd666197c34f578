#pragma once
#include <cstdint>

// The demo track's instruments. Each voice is a pure function of the time since its note
// began (and, for noise, of the absolute sample index), built from integer noise and
// double arithmetic alone: no libm call, so every machine computes the same bits.

// sin(2 * pi * turns).
double SineOfTurns(double turns);
// Noise in -1..1 for one sample index; seed picks an independent sequence.
double NoiseAt(uint32_t seed, int64_t sampleIndex);
// Frequency of a MIDI note (69 = 440 Hz).
double NoteFrequency(int midiNote);

// How long each voice sounds, in seconds.
constexpr double kKickLength = 0.30;
constexpr double kSnareLength = 0.20;
constexpr double kHatLength = 0.06;
constexpr double kOpenHatLength = 0.25;
constexpr double kBassLength = 0.22;
constexpr double kPluckLength = 0.15;

// A falling sine with a click of noise at its start.
double Kick(double t, int64_t sampleIndex);
// A short tone under a burst of brightened noise.
double Snare(double t, int64_t sampleIndex);
// Noise with all but its top removed.
double Hat(double t, double length, int64_t sampleIndex);
// A held breath of brightened noise under the chords, filling the upper bins.
double Air(double t, double length, int64_t sampleIndex);
// A note with three harmonics and a plucked envelope.
double Bass(double t, double frequency);
// One held chord note: eight harmonics falling as 1/h, faded in and out over its length.
double Pad(double t, double length, double frequency);
// A short bright note for the arpeggio.
double Pluck(double t, double frequency);
