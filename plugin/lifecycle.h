#pragma once
#include <atomic>
#include <cstdint>
#include <thread>

#include "core/mmx.h"
#include "core/vis_module.h"
#include "engine/engine.h"

// The plug-in's one engine, for as long as the host keeps the library loaded.
extern Engine pluginEngine;

// 1 once Quit has asked the render thread to end.
extern std::atomic<int32_t> quitFlag;
// Null while the plug-in is not running.
extern std::thread* renderThread;

void Config(VisModule* module);
int32_t Init(VisModule* module);
void Quit(VisModule* module);
