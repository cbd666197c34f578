#pragma once
#include <cstdint>

// Opaque handles handed through the engine to the platform (a Win32 HWND or HINSTANCE
// in the plug-in, something else or nothing on other platforms).
using WindowHandle = void*;
using InstanceHandle = void*;

// A frame snapshot of the host's samples: spectrum of both channels, then waveform.
constexpr int kBins = 576;
constexpr int kSnapshotBytes = 2304;
constexpr int kSpectrumOffset0 = 0;
constexpr int kSpectrumOffset1 = 576;
constexpr int kWaveformOffset0 = 1152;
constexpr int kWaveformOffset1 = 1728;
