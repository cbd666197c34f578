#pragma once
#include <atomic>
#include <cstdint>
#include <thread>

#include "host/vis_module.h"

// 1 once Quit has asked the render thread to end.
extern std::atomic<int32_t> quitFlag;
// 1 when the processor reports MMX; chooses the effects' packed paths.
extern int32_t mmxAvailable;
// Null while the plug-in is not running.
extern std::thread* renderThread;

void Config(VisModule* module);
int32_t Init(VisModule* module);
void Quit(VisModule* module);
// Sets mmxAvailable from the processor identification; never faults.
void ProbeMmx();
