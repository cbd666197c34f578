#pragma once
#include <cstddef>
#include <cstdint>

#include "core/frame_types.h"

// The records shared with the host. In the 32-bit plug-in they are the host's binary
// interface, checked field by field below; natively they only carry the same data.
struct VisModule;
using ModuleProc = int32_t (*)(VisModule*);
using ModuleVoidProc = void (*)(VisModule*);
using ModuleAt = VisModule* (*)(int32_t index);

struct VisModule {
    const char* moduleTitle;
    WindowHandle parentWindow;
    InstanceHandle instance;
    int32_t hostValue1;
    int32_t hostValue2;
    int32_t hostValue3;
    int32_t delayHint;
    int32_t spectrumChannels;
    int32_t waveformChannels;
    uint8_t spectrum[2 * kBins];
    uint8_t waveform[2 * kBins];
    ModuleVoidProc configProc;
    ModuleProc initProc;
    ModuleProc renderProc;
    ModuleVoidProc quitProc;
    void* hostData;
};

struct PluginHeader {
    int32_t headerVersion;
    const char* headerTitle;
    ModuleAt moduleAt;
};

// Every build lays the fields out in the host's order: three pointers, six ints, the
// sample bytes, then five pointers, each in the next free slot that fits its alignment.
namespace vis_module_layout {
constexpr size_t P = sizeof(void*);
constexpr size_t spectrumAt = 3 * P + 6 * 4;
constexpr size_t procsAt = (spectrumAt + 4 * kBins + P - 1) / P * P;
}  // namespace vis_module_layout
static_assert(sizeof(PluginHeader) == 3 * vis_module_layout::P);
static_assert(offsetof(VisModule, hostValue1) == 3 * vis_module_layout::P);
static_assert(offsetof(VisModule, spectrum) == vis_module_layout::spectrumAt);
static_assert(offsetof(VisModule, waveform) == vis_module_layout::spectrumAt + 2 * kBins);
static_assert(offsetof(VisModule, configProc) == vis_module_layout::procsAt);
static_assert(offsetof(VisModule, hostData) == vis_module_layout::procsAt + 4 * vis_module_layout::P);
static_assert(sizeof(VisModule) == vis_module_layout::procsAt + 5 * vis_module_layout::P);

// The 32-bit plug-in is the host's binary interface: every offset as the host has it.
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(PluginHeader) == 12);
static_assert(offsetof(PluginHeader, headerTitle) == 4 && offsetof(PluginHeader, moduleAt) == 8);
static_assert(sizeof(VisModule) == 2360);
static_assert(offsetof(VisModule, parentWindow) == 4 && offsetof(VisModule, instance) == 8);
static_assert(offsetof(VisModule, hostValue1) == 12 && offsetof(VisModule, hostValue3) == 20);
static_assert(offsetof(VisModule, delayHint) == 24 && offsetof(VisModule, spectrumChannels) == 28);
static_assert(offsetof(VisModule, waveformChannels) == 32 && offsetof(VisModule, spectrum) == 36);
static_assert(offsetof(VisModule, waveform) == 1188 && offsetof(VisModule, configProc) == 2340);
static_assert(offsetof(VisModule, initProc) == 2344 && offsetof(VisModule, renderProc) == 2348);
static_assert(offsetof(VisModule, quitProc) == 2352 && offsetof(VisModule, hostData) == 2356);
#endif

extern const char kPluginTitle[];

// The library's one export, looked up by name.
extern "C"
#ifdef _WIN32
    __declspec(dllexport)
#endif
        PluginHeader* vambloVisGetHeader();

VisModule* moduleAt(int32_t index);
