#pragma once
#include "host/vis_module.h"

WindowHandle OpenControlPanel(VisModule* module);
int CloseControlPanel();
// The render thread's frame-rate line; never waits for the panel's thread.
void ShowFrameRate(const char* text);
